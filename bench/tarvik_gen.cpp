// tarvik-gen: fills a new Tarvik database with a realistic factory for benchmarks.
#include "bench/generator.h"
#include "data/seed.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTextStream>

#include <sys/resource.h>

using namespace tarvik;

namespace {

void usage(QTextStream &err)
{
    err << "用法: tarvik-gen (--sqlite PATH | --pg URI) [--init] [--scale F] [--seed N]\n"
           "                [--materials N] [--products N] [--bills N] [--lines N] [--last-day yyyy-MM-dd]\n"
           "  --init   先新建数据库（与 tarvik-admin init 相同），再生成数据\n"
           "  默认规模：5000 种原材料、1000 种产成品、50000 张单据、1000000 行明细、三年\n";
    err.flush();
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);
    const QStringList args = app.arguments();
    QString target;
    bool init = false;
    bench::GenOptions o;
    QMap<QString, QString> values;
    for (int i = 1; i < args.size(); ++i) {
        const QString &a = args[i];
        if (a == QLatin1String("--init")) {
            init = true;
        } else if (a.startsWith(QLatin1String("--")) && i + 1 < args.size()) {
            values[a.mid(2)] = args[++i];
        } else {
            usage(err);
            return 2;
        }
    }
    target = values.value(QStringLiteral("sqlite"), values.value(QStringLiteral("pg")));
    if (target.isEmpty()) {
        usage(err);
        return 2;
    }
    if (values.contains(QStringLiteral("scale")))
        o = bench::GenOptions::scaled(values[QStringLiteral("scale")].toDouble());
    auto number = [&](const char *key, auto &field) {
        const QString k = QString::fromLatin1(key);
        if (values.contains(k))
            field = decltype(field + 0)(values[k].toLongLong());
    };
    number("seed", o.seed);
    number("materials", o.materials);
    number("products", o.products);
    number("bills", o.bills);
    number("lines", o.lines);
    if (values.contains(QStringLiteral("last-day")))
        o.lastDay = QDate::fromString(values[QStringLiteral("last-day")], QStringLiteral("yyyy-MM-dd"));
    if (!o.lastDay.isValid()) {
        usage(err);
        return 2;
    }

    QElapsedTimer clock;
    clock.start();
    std::unique_ptr<Database> db;
    if (init) {
        auto created = createDatabase(target);
        if (!created) {
            err << created.error().message << '\n' << created.error().detail << '\n';
            return 1;
        }
        db = std::move(*created);
        out << QStringLiteral("已新建数据库 %1（%2 秒）\n").arg(db->spec().display()).arg(clock.elapsed() / 1000.0, 0, 'f', 2);
        out.flush();
    } else {
        auto opened = Database::open(target);
        if (!opened) {
            err << opened.error().message << '\n' << opened.error().detail << '\n';
            return 1;
        }
        db = std::move(*opened);
    }
    QElapsedTimer genClock;
    genClock.start();
    auto stats = bench::generateDatabase(*db, o, [&](const QString &text) {
        out << QStringLiteral("[%1 秒] ").arg(genClock.elapsed() / 1000.0, 7, 'f', 1) << text << '\n';
        out.flush();
    });
    if (!stats) {
        err << stats.error().message << '\n' << stats.error().detail << '\n';
        return 1;
    }
    const double seconds = genClock.elapsed() / 1000.0;
    struct rusage ru {};
    getrusage(RUSAGE_SELF, &ru);
    out << QStringLiteral("原材料 %1，产成品 %2（停用 %3），物料清单 %4 行，往来单位 %5\n")
               .arg(stats->materials).arg(stats->products).arg(stats->stoppedItems).arg(stats->bomLines).arg(stats->partners)
        << QStringLiteral("生产计划 %1（%2 行），投产 %3\n").arg(stats->plans).arg(stats->planLines).arg(stats->launches)
        << QStringLiteral("单据 %1（已审核 %2），明细 %3 行\n").arg(stats->bills).arg(stats->approvedBills).arg(stats->lines)
        << QStringLiteral("生成用时 %1 秒，峰值内存 %2 MB\n").arg(seconds, 0, 'f', 1).arg(ru.ru_maxrss / 1024.0, 0, 'f', 1);
    return 0;
}
