#pragma once

#include "data/database.h"
#include "data/result.h"

#include <QString>
#include <QVariant>

#include <memory>

class QComboBox;

namespace tarvik {

class RowSet;

// Item kinds of the stock formula.
enum StockKind { StockRaw = 1, StockProduct = 2 };

// The data module: the one connection and the shared operations every screen
// uses. Statements take bound parameters; a failure is shown with the
// operation's message (the driver's text under "详细信息") and turned into
// false, empty text or 0, and the caller goes on.
class TdmData {
public:
    explicit TdmData(std::unique_ptr<Database> db);
    ~TdmData();

    Database &db() { return *m_db; }
    bool connected() const { return m_db != nullptr; }
    // The database actually open (file path or URI).
    QString databaseTarget() const { return m_db ? m_db->target() : QString(); }
    std::unique_ptr<Database> replaceDatabase(std::unique_ptr<Database> db);

    bool ExecSql(const QString &sql, const QVariantList &params = {});
    bool DeleteRecordById(const QString &table, const QVariant &id);
    QString QueryText(const QString &sql, const QVariantList &params = {});
    double QueryFloat(const QString &sql, const QVariantList &params = {});
    int QueryInt(const QString &sql, const QVariantList &params = {});
    bool OpenQuery(const QString &sql, const QVariantList &params, RowSet &set);
    bool FillComboItems(const QString &sql, const QVariantList &params, QComboBox *combo);

    // Next number after the largest the statement returns ("" or null: prefix + today + 00..1).
    Result<QString> NextSerialNumber(const QString &sql, const QVariantList &params, const QString &prefix, int digits);
    bool HasPermission(const QString &code);
    Result<double> GetStockAmount(const QString &itemCode, const QString &excludedBill, int itemKind);
    Result<double> LastGoodPrice(const QString &itemCode, const QString &excludedBill, int billKind);
    Result<double> LastProductPrice(const QString &itemCode, const QString &excludedBill, int billKind);

    void AutoBackup();
    static bool BackupDue(int policy, const QDate &day);
    static QString BackupFileName(const QString &folder, const QDate &day);
    void BuildDisplayFormats();
    bool CompactDatabase();

    static QString ScramblePassword(const QString &plain);
    static QString UnscramblePassword(const QString &stored);

private:
    std::unique_ptr<Database> m_db;
};

// The one data module of the program (null before start-up connects).
extern TdmData *dmData;

// The message texts of the shared operations (they end with three dots and one blank).
inline const QString kMsgOpFailed = QStringLiteral("操作失败，请检查数据连接... ");
inline const QString kMsgOpenFailed = QStringLiteral("打开操作失败，请检查数据连接... ");
inline const QString kMsgDeleteFailed = QStringLiteral("删除操作失败，请检查数据连接... ");
inline const QString kMsgSaveFailed = QStringLiteral("保存失败，请检测数据库连接！");

// Text in the GBK code page (the stored form of passwords is built from it).
QByteArray toGbk(const QString &text);
QString fromGbk(const QByteArray &bytes);

// "0.##", ",0.00##", ... from decimal counts.
QString amountFormatFor(int decimals);
QString moneyFormatFor(int decimals);

} // namespace tarvik
