// tarvik-admin: creates Tarvik databases (SQLite or PostgreSQL) and fills demo data.
#include "data/database.h"
#include "data/seed.h"

#include <QCoreApplication>
#include <QTextStream>

#include <cstdio>

using namespace tarvik;

namespace {

void usage(QTextStream &err)
{
    err << "用法:\n"
           "  tarvik-admin init --sqlite PATH     新建 SQLite 数据库文件\n"
           "  tarvik-admin init --pg URI          在空的 PostgreSQL 数据库中建表 (postgresql://...)\n";
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
    usage(err);
    return 2;
}
