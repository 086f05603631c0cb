// tarvik-admin: creates Tarvik databases (SQLite or PostgreSQL) and fills demo data.
#include "data/database.h"
#include "data/dmdata.h"
#include "data/seed.h"
#include "master/demo.h"

#include <QCoreApplication>
#include <QTextStream>

#include <cstdio>
#include <functional>

using namespace tarvik;

namespace {

void usage(QTextStream &err)
{
    err << "用法:\n"
           "  tarvik-admin init --sqlite PATH     新建 SQLite 数据库文件\n"
           "  tarvik-admin init --pg URI          在空的 PostgreSQL 数据库中建表 (postgresql://...)\n"
           "  tarvik-admin demo --sqlite PATH     向数据库写入演示数据\n"
           "  tarvik-admin demo --pg URI\n";
    err.flush();
}

QString targetFrom(const QStringList &args, int from, QTextStream &err)
{
    for (int i = from; i + 1 < args.size(); ++i) {
        if (args[i] == QLatin1String("--sqlite") || args[i] == QLatin1String("--pg"))
            return args[i + 1];
    }
    usage(err);
    return {};
}

// The demo data of each layer, in the order they build on each other (one line per layer).
struct DemoStep {
    const char *what;
    std::function<Result<void>(Database &)> fill;
};
const DemoStep kDemoSteps[] = {
    {"基本资料（类型、选项、原材料）", master::fillGoodsDemo},
};

int runDemo(const QString &target, QTextStream &out, QTextStream &err)
{
    auto opened = Database::open(target);
    if (!opened) {
        err << opened.error().message << '\n' << opened.error().detail << '\n';
        return 1;
    }
    // The store classes of the layers work through the data module.
    TdmData dm(std::move(*opened));
    dmData = &dm;
    Database &db = dm.db();
    Transaction tx(db);
    if (!tx.ok()) {
        err << tx.error().message << '\n' << tx.error().detail << '\n';
        dmData = nullptr;
        return 1;
    }
    int failed = 0;
    for (const DemoStep &step : kDemoSteps) {
        if (auto r = step.fill(db); !r) {
            err << QString::fromUtf8(step.what) << "：" << r.message() << '\n' << r.error().detail << '\n';
            failed = 1;
            break;
        }
        out << "已写入演示数据：" << QString::fromUtf8(step.what) << '\n';
    }
    if (!failed) {
        if (auto r = tx.commit(); !r) {
            err << r.message() << '\n' << r.error().detail << '\n';
            failed = 1;
        }
    }
    if (failed)
        err << "演示数据没有写入（全部撤销）。\n";
    dmData = nullptr;
    return failed;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);
    const QStringList args = app.arguments();
    if (args.size() < 2) {
        usage(err);
        return 2;
    }
    const QString command = args[1];
    if (command == QLatin1String("init")) {
        const QString target = targetFrom(args, 2, err);
        if (target.isEmpty())
            return 2;
        auto db = createDatabase(target);
        if (!db) {
            err << db.error().message << '\n' << db.error().detail << '\n';
            return 1;
        }
        out << "已创建数据库: " << (*db)->spec().display() << '\n';
        return 0;
    }
    if (command == QLatin1String("demo")) {
        const QString target = targetFrom(args, 2, err);
        if (target.isEmpty())
            return 2;
        return runDemo(target, out, err);
    }
    usage(err);
    return 2;
}
