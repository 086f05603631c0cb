#pragma once

#include <QDate>
#include <QDateTime>
#include <QString>

#include <array>

namespace tarvik {

// Who is working, in which role, with which record rights (filled at login).
struct LoginContext {
    QString OperCode;
    QString OperName;
    QString PartCode;
    bool New = false;
    bool Edit = false;
    bool Del = false;
    bool Check = false;
    bool Set = false;
    bool KHedit = false;
    bool Price = false;
    QString PriceHidden; // "" when prices may be seen, "1" otherwise

    bool isSuper() const { return OperCode.trimmed() == QLatin1String("000"); }
    bool seesPrices() const { return Price || isSuper(); }
};

// Options loaded at login and when the main window is shown.
struct SystemOptions {
    QString CompanyName;
    int AmountDecimals = 2;
    int PriceDecimals = 2;
    int TotalDecimals = 2;
    bool AutoItemCode = false;
    std::array<QString, 12> CustomCaptions;
    std::array<bool, 12> CustomVisible{};
    QString AmountFormat = QStringLiteral("0.##");
    QString PriceFormat = QStringLiteral(",0.00");
    QString TotalFormat = QStringLiteral(",0.00");
    int BackupPolicy = 0;
    int PrintRows = 5;
    bool BarcodeInput = false;
};

LoginContext &loginContext();
SystemOptions &systemOptions();

// Application constants.
inline const QString kProductName = QStringLiteral("Tarvik生产管理软件");
inline const QString kVersion = QStringLiteral("v2.25(企业版) ");
inline const QString kCompanyName = QStringLiteral("Tarvik软件");
inline const QString kAppTitle = QStringLiteral("Tarvik生产管理软件(企业版)");

// The program's clock; tests may fix it.
QDateTime now();
QDate today();
void setFixedNow(const QDateTime &fixed); // invalid QDateTime = the real clock

} // namespace tarvik
