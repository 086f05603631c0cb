// tarvik-crash-writer: a workstation that saves one bill in a multi-statement transaction and
// can be killed at any point of it. Used by the reliability tests.
//
//   tarvik-crash-writer TARGET BILLNUMBER step   announces "k" after statement k (and "committed"
//                                                after the commit) on stdout, then waits for a line
//                                                on stdin before it goes on
//   tarvik-crash-writer TARGET BILLNUMBER run    the same without waiting
#include "data/database.h"

#include <QCoreApplication>

#include <cstdio>
#include <functional>
#include <vector>

using namespace tarvik;

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc != 4)
        return 2;
    const QString target = QString::fromLocal8Bit(argv[1]);
    const QString bill = QString::fromLocal8Bit(argv[2]);
    const bool step = QByteArray(argv[3]) == "step";
    auto opened = Database::open(target);
    if (!opened) {
        std::fprintf(stderr, "%s\n", qPrintable(opened.error().detail));
        return 1;
    }
    Database &db = **opened;

    auto announce = [&](const char *what) {
        std::printf("%s\n", what);
        std::fflush(stdout);
        if (step) {
            char line[16];
            if (!std::fgets(line, sizeof line, stdin))
                std::_Exit(3);
        }
    };

    // The statements of one save: header, lines, a master change, a bulk insert large enough
    // to spill the page cache into the log before the commit, a removed line, the approval.
    const QString bulkText(1000, QChar(0x6599)); // 料
    std::vector<std::function<Result<QSqlQuery>()>> statements;
    statements.push_back([&] {
        return db.exec(QStringLiteral("INSERT INTO DepotM (F_Code, F_Flag, F_OperFlag, F_MakeDate, F_date, F_Maker) "
                                      "VALUES (?, 1, 1, ?, ?, ?)"),
                       {bill, QDate(2024, 5, 6), QDate(2024, 5, 6), QStringLiteral("王建国")});
    });
    for (int i = 1; i <= 10; ++i)
        statements.push_back([&, i] {
            return db.exec(QStringLiteral("INSERT INTO DepotD (F_Code, F_GoodCode, F_GoodName, F_amount, F_price, F_totalPrice, F_flag) "
                                          "VALUES (?, ?, ?, ?, 2.5, ?, 0)"),
                           {bill, QStringLiteral("L%1").arg(i), QStringLiteral("材料%1").arg(i), double(i), 2.5 * i});
        });
    statements.push_back([&] { return db.exec(QStringLiteral("UPDATE t_goods SET F_price = F_price + 1 WHERE F_code = 'K1'")); });
    statements.push_back([&] {
        return db.exec(QStringLiteral("INSERT INTO DepotD (F_Code, F_GoodCode, F_Mem, F_amount, F_flag) "
                                      "WITH RECURSIVE n(x) AS (SELECT 1 UNION ALL SELECT x + 1 FROM n WHERE x < 3000) "
                                      "SELECT ?, 'BULK', ?, x, 0 FROM n"),
                       {bill, bulkText});
    });
    statements.push_back([&] {
        return db.exec(QStringLiteral("DELETE FROM DepotD WHERE F_Code = ? AND F_GoodCode = 'L3'"), {bill});
    });
    statements.push_back([&] {
        return db.exec(QStringLiteral("UPDATE DepotM SET F_CheckFlag = ? WHERE F_Code = ?"), {true, bill});
    });

    std::printf("ready %d\n", int(statements.size()));
    std::fflush(stdout);
    Transaction tx(db);
    if (!tx.ok())
        return 1;
    for (size_t k = 0; k < statements.size(); ++k) {
        if (auto r = statements[k](); !r) {
            std::fprintf(stderr, "%s\n", qPrintable(r.error().detail));
            return 1;
        }
        announce(QByteArray::number(qulonglong(k + 1)).constData());
    }
    if (auto r = tx.commit(); !r) {
        std::fprintf(stderr, "%s\n", qPrintable(r.error().detail));
        return 1;
    }
    announce("committed");
    return 0;
}
