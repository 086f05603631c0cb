// tarvik-bench: per-call cost of the stock look-up and of bill numbering on a generated
// database, as ratios to the bare statements that read the same rows.
#include "data/database.h"
#include "data/dmdata.h"
#include "data/session.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QSqlError>
#include <QSqlQuery>
#include <QTextStream>

#include <algorithm>
#include <functional>
#include <vector>

using namespace tarvik;

namespace {

QTextStream out(stdout);

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

// Per-call times of several ways of doing the same thing. For every input each way runs once,
// in an order that rotates, so the page cache and a burst of load from elsewhere on the machine
// touch all of them alike; rounds repeat that, and each figure is the median over the rounds.
struct Figures {
    std::vector<double> times;  // median ns per call, per way
    std::vector<double> ratios; // way i against the baseline way
};

Figures compare(int n, int rounds, const std::vector<std::function<void(int)>> &ways, size_t base)
{
    for (const auto &w : ways) // warm the page cache and the statement caches
        for (int i = 0; i < n; ++i)
            w(i);
    std::vector<std::vector<double>> t(ways.size()), r(ways.size());
    QElapsedTimer clock;
    for (int round = 0; round < rounds; ++round) {
        std::vector<qint64> sum(ways.size(), 0);
        for (int i = 0; i < n; ++i) {
            for (size_t k = 0; k < ways.size(); ++k) {
                const size_t w = (k + size_t(i) + size_t(round)) % ways.size();
                clock.start();
                ways[w](i);
                sum[w] += clock.nsecsElapsed();
            }
        }
        for (size_t w = 0; w < ways.size(); ++w) {
            t[w].push_back(double(sum[w]) / n);
            r[w].push_back(double(sum[w]) / double(sum[base]));
        }
    }
    Figures f;
    for (size_t w = 0; w < ways.size(); ++w) {
        f.times.push_back(median(t[w]));
        f.ratios.push_back(median(r[w]));
    }
    return f;
}

QStringList sampleCodes(Database &db, const QString &table, int n)
{
    QStringList all;
    auto r = db.exec(QStringLiteral("SELECT F_code FROM %1 ORDER BY F_code").arg(table));
    if (r)
        while (r->next())
            all << r->value(0).toString();
    QStringList picked;
    if (all.isEmpty())
        return picked;
    const double step = double(all.size()) / n;
    for (int i = 0; i < n && int(i * step) < all.size(); ++i)
        picked << all[int(i * step)];
    return picked;
}

void explain(Database &db, const QString &sql, const QVariantList &params)
{
    if (!db.isSqlite()) {
        // PostgreSQL cannot prepare EXPLAIN, and values are never pasted into the text: use psql.
        out << "    (PostgreSQL: EXPLAIN ANALYZE EXECUTE in psql)\n";
        return;
    }
    auto r = db.exec(QStringLiteral("EXPLAIN QUERY PLAN ") + sql, params);
    if (!r) {
        out << "  (EXPLAIN failed: " << r.error().detail << ")\n";
        return;
    }
    while (r->next())
        out << "    " << r->value(3).toString() << '\n';
}

qint64 scalarOr(Database &db, const char *sql, const QVariantList &params = {})
{
    auto r = db.scalar(QString::fromLatin1(sql), params);
    return r ? r->toLongLong() : -1;
}

QString us(double ns) { return QString::number(ns / 1000.0, 'f', 1) + QStringLiteral(" µs"); }

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    QString target;
    int items = 300;
    int rounds = 7;
    bool showPlans = false;
    for (int i = 1; i < args.size(); ++i) {
        if ((args[i] == QLatin1String("--sqlite") || args[i] == QLatin1String("--pg")) && i + 1 < args.size())
            target = args[++i];
        else if (args[i] == QLatin1String("--items") && i + 1 < args.size())
            items = args[++i].toInt();
        else if (args[i] == QLatin1String("--rounds") && i + 1 < args.size())
            rounds = args[++i].toInt();
        else if (args[i] == QLatin1String("--explain"))
            showPlans = true;
    }
    if (target.isEmpty())
        target = qEnvironmentVariable("TARVIK_BENCH_PG");
    if (target.isEmpty() || items < 1 || rounds < 1) {
        QTextStream(stderr) << "用法: tarvik-bench (--sqlite PATH | --pg URI) [--items N] [--rounds N] [--explain]\n"
                               "      (没有参数时使用环境变量 TARVIK_BENCH_PG)\n";
        return 2;
    }
    auto opened = Database::open(target);
    if (!opened) {
        QTextStream(stderr) << opened.error().message << '\n' << opened.error().detail << '\n';
        return 1;
    }
    TdmData dm(std::move(*opened));
    dmData = &dm;
    Database &db = dm.db();
    const QString engine = db.isSqlite() ? QStringLiteral("SQLite") : QStringLiteral("PostgreSQL");
    const qint64 lines = scalarOr(db, "SELECT count(*) FROM DepotD");
    out << "== " << engine << "  " << db.spec().display() << "  (" << lines << " 行明细)\n";

    // ---- GetStockAmount against the bare statements over the item's lines:
    // "signed" computes the same movement figure (lines joined to their headers for kind and
    // direction), "lines" only adds up the item's lines (what the join itself costs).
    QSqlQuery bareLines(db.handle()), bareSigned(db.handle());
    const QString linesSql = QStringLiteral("SELECT SUM(F_amount) FROM DepotD WHERE F_GoodCode = ?");
    const QString signedSql = QStringLiteral(
        "SELECT SUM(d.F_amount * m.F_OperFlag) FROM DepotD d JOIN DepotM m ON d.F_Code = m.F_Code"
        " WHERE d.F_GoodCode = ? AND m.F_Flag IN (%1)");
    double checksum = 0;
    auto run = [&](QSqlQuery &q, const QString &code) {
        q.bindValue(0, code);
        q.exec();
        if (q.next())
            checksum += q.value(0).toDouble();
        q.finish();
    };
    for (const auto &[table, kind, label] : {std::tuple{QStringLiteral("t_goods"), int(StockRaw), QStringLiteral("原材料")},
                                             std::tuple{QStringLiteral("Product"), int(StockProduct), QStringLiteral("产成品")}}) {
        const QStringList codes = sampleCodes(db, table, items);
        if (codes.isEmpty())
            continue;
        const QString kinds = kind == StockRaw ? QStringLiteral("1, -1, 2, -2") : QStringLiteral("3, -3, 5, -5");
        bareLines.setForwardOnly(true);
        bareSigned.setForwardOnly(true);
        if (!bareLines.prepare(linesSql) || !bareSigned.prepare(signedSql.arg(kinds))) {
            QTextStream(stderr) << bareLines.lastError().text() << bareSigned.lastError().text() << '\n';
            return 1;
        }
        qint64 sampleLines = 0;
        for (const QString &c : codes)
            sampleLines += scalarOr(db, "SELECT count(*) FROM DepotD WHERE F_GoodCode = ?", {c});
        const Figures f = compare(
            int(codes.size()), rounds,
            {[&](int i) { auto r = dm.GetStockAmount(codes[i], QString(), kind); checksum += r ? *r : 0; },
             [&](int i) { run(bareSigned, codes[i]); },
             [&](int i) { run(bareLines, codes[i]); }},
            1);
        out << QStringLiteral("GetStockAmount %1（%2 种，平均 %3 行/种）：每次 %4；裸语句（同一数字）%5，比值 %6；"
                              "只加明细 %7，比值 %8\n")
                   .arg(label)
                   .arg(codes.size())
                   .arg(double(sampleLines) / codes.size(), 0, 'f', 0)
                   .arg(us(f.times[0]), us(f.times[1]))
                   .arg(f.ratios[0], 0, 'f', 2)
                   .arg(us(f.times[2]))
                   .arg(f.times[0] / f.times[2], 0, 'f', 2);
        if (showPlans) {
            out << "  plan of the signed statement:\n";
            explain(db, signedSql.arg(kinds), {codes.front()});
            out << "  plan of the lines-only statement:\n";
            explain(db, linesSql, {codes.front()});
        }
    }

    // ---- NextSerialNumber on a busy day, with the statement shapes a bill editor can use
    auto lastDay = db.scalar(QStringLiteral("SELECT MAX(F_date) FROM DepotM"));
    const QDate day = lastDay ? toDate(*lastDay) : QDate();
    setFixedNow(QDateTime(day, QTime(10, 0)));
    struct Shape {
        QString name;
        QString sql;
        std::function<QVariantList(const QString &prefix, int kind)> params;
    };
    const QString stamp = day.toString(QStringLiteral("yyyyMMdd"));
    const std::vector<Shape> shapes = {
        {QStringLiteral("LIKE 前缀"),
         QStringLiteral("SELECT MAX(F_Code) FROM DepotM WHERE ") + db.likeClause(QStringLiteral("F_Code")) + QStringLiteral(" AND F_Flag = ?"),
         [&](const QString &p, int k) { return QVariantList{Database::likePattern(p + stamp, Database::Match::Prefix), k}; }},
        {QStringLiteral("编号区间"),
         QStringLiteral("SELECT MAX(F_Code) FROM DepotM WHERE F_Code >= ? AND F_Code < ? AND F_Flag = ?"),
         [&](const QString &p, int k) { return QVariantList{p + stamp, p + stamp + QStringLiteral("A"), k}; }},
    };
    const std::vector<std::pair<QString, int>> kinds = {{QStringLiteral("CJD"), 1},  {QStringLiteral("CCD"), -1},
                                                        {QStringLiteral("LTD"), 2},  {QStringLiteral("LCD"), -2},
                                                        {QStringLiteral("PJD"), 3},  {QStringLiteral("PCD"), -3},
                                                        {QStringLiteral("XTD"), 5},  {QStringLiteral("XSD"), -5}};
    QSqlQuery bareMax(db.handle());
    bareMax.setForwardOnly(true);
    bareMax.prepare(QStringLiteral("SELECT MAX(F_Code) FROM DepotM WHERE F_Code >= ? AND F_Code < ?"));
    const int calls = 400;
    for (const Shape &shape : shapes) {
        QString lastNumber;
        const Figures f = compare(
            calls, rounds,
            {[&](int i) {
                const auto &[prefix, kind] = kinds[size_t(i) % kinds.size()];
                auto r = dm.NextSerialNumber(shape.sql, shape.params(prefix, kind), prefix, 3);
                if (r)
                    lastNumber = *r;
            },
            [&](int i) {
                const auto &[prefix, kind] = kinds[size_t(i) % kinds.size()];
                bareMax.bindValue(0, prefix + stamp);
                bareMax.bindValue(1, prefix + stamp + QStringLiteral("A"));
                bareMax.exec();
                if (bareMax.next())
                    checksum += bareMax.value(0).toString().size();
                bareMax.finish();
            }},
            1);
        out << QStringLiteral("NextSerialNumber %1（%2，得到 %3）：每次 %4，按编号索引的裸 MAX %5，比值 %6\n")
                   .arg(shape.name, stamp, lastNumber, us(f.times[0]), us(f.times[1]))
                   .arg(f.ratios[0], 0, 'f', 2);
        if (showPlans) {
            out << "  plan:\n";
            explain(db, shape.sql, shape.params(QStringLiteral("CJD"), 1));
        }
    }
    out << QStringLiteral("（校验和 %1）\n").arg(checksum, 0, 'f', 0);
    out.flush();
    dmData = nullptr;
    return 0;
}
