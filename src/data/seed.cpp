#include "data/seed.h"

#include "data/commands.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTextStream>

namespace tarvik {

namespace {

const char *const kCustomCaptions[12] = {"字符项一", "字符项二", "字符项三", "字符项四", "字符项五", "数值项一",
                                         "数值项二", "数值项三", "日期项一", "日期项二", "日期项三", "备用项"};

bool boolCell(const QString &s)
{
    const QString t = s.trimmed().toLower();
    return t == QLatin1String("1") || t == QLatin1String("true") || t == QLatin1String("y");
}

// Layout files: one per grid, tab-separated, first line the column names
// field, caption, width, visible, readonly, align, format, footerValue, footerType.
QList<GridLayoutRow> parseLayout(const QString &text)
{
    QList<GridLayoutRow> rows;
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (int i = 1; i < lines.size(); ++i) {
        QString line = lines[i];
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        if (line.trimmed().isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        const QStringList c = line.split(QLatin1Char('\t'));
        GridLayoutRow r;
        r.field = c.value(0).trimmed();
        r.caption = c.value(1);
        r.width = c.value(2).toInt();
        r.visible = c.size() > 3 ? boolCell(c[3]) : true;
        r.readOnly = c.size() > 4 ? boolCell(c[4]) : false;
        r.alignment = c.value(5).toInt();
        r.displayFormat = c.value(6);
        r.footerValue = c.value(7);
        r.footerType = c.value(8).toInt();
        rows << r;
    }
    return rows;
}

} // namespace

QList<QPair<QString, QList<GridLayoutRow>>> designedGridLayouts()
{
    QList<QPair<QString, QList<GridLayoutRow>>> out;
    QDir dir(QStringLiteral(":/grids"));
    const auto files = dir.entryInfoList({QStringLiteral("*.tsv")}, QDir::Files, QDir::Name);
    for (const QFileInfo &fi : files) {
        QFile f(fi.filePath());
        if (!f.open(QIODevice::ReadOnly))
            continue;
        out.append({fi.completeBaseName(), parseLayout(QString::fromUtf8(f.readAll()))});
    }
    return out;
}

Result<void> seedGridLayout(Database &db, const QString &gridName, const QList<GridLayoutRow> &rows)
{
    Transaction tx(db);
    if (!tx.ok())
        return tx.error();
    if (auto r = db.exec(QStringLiteral("DELETE FROM cfg_Grid WHERE lower(F_name) = lower(?)"), {gridName}); !r)
        return r.error();
    int order = 0;
    for (const auto &row : rows) {
        auto r = db.exec(QStringLiteral("INSERT INTO cfg_Grid (F_name, F_fieldname, F_caption, F_width, F_visible, "
                                        "F_readonly, F_order, F_alignMent, F_displayFormat, F_footerValue, F_footerType) "
                                        "VALUES (?,?,?,?,?,?,?,?,?,?,?)"),
                         {gridName, row.field, row.caption, row.width, row.visible, row.readOnly, order++,
                          row.alignment, row.displayFormat, row.footerValue, row.footerType});
        if (!r)
            return r.error();
    }
    return tx.commit();
}

Result<void> initializeDatabase(Database &db)
{
    Transaction tx(db);
    if (!tx.ok())
        return tx.error();
    for (const QString &sql : schemaDdl(db.engine()))
        if (auto r = db.exec(sql); !r)
            return r.error();

    for (const auto &c : commandCatalogue())
        if (auto r = db.exec(QStringLiteral("INSERT INTO Limits (F_Code, F_Name, F_Flag) VALUES (?, ?, ?)"),
                             {QString::number(c.code), c.caption, true});
            !r)
            return r.error();

    if (auto r = db.exec(QStringLiteral("INSERT INTO OperList (F_Code, F_Name, F_PassWord, F_PartCode, F_Flag, F_new, "
                                        "F_edit, F_del, F_check, F_set, F_KHedit, F_price, F_Mem) "
                                        "VALUES ('000', ?, '', '', false, true, true, true, true, true, true, true, ?)"),
                         {QStringLiteral("系统管理员"), QStringLiteral("系统超级用户")});
        !r)
        return r.error();

    if (auto r = db.exec(QStringLiteral("INSERT INTO SysInfo (F_Code, F_Name, F_BakPath, F_iAmount, F_iPrice, F_iTotal, "
                                        "F_b2, F_b3, F_b4) VALUES (?, '', '', 2, 2, 2, false, false, false)"),
                         {QStringLiteral("我的公司")});
        !r)
        return r.error();

    for (const char *caption : kCustomCaptions)
        if (auto r = db.exec(QStringLiteral("INSERT INTO KeyValue (F_Value, F_Flag) VALUES (?, false)"),
                             {QString::fromUtf8(caption)});
            !r)
            return r.error();

    for (const auto &[name, rows] : designedGridLayouts())
        if (auto r = seedGridLayout(db, name, rows); !r)
            return r;

    return tx.commit();
}

Result<std::unique_ptr<Database>> createDatabase(const QString &target)
{
    const ConnectionSpec spec = ConnectionSpec::parse(target);
    if (spec.engine == Engine::SQLite && QFileInfo::exists(spec.path))
        return makeError(QStringLiteral("数据库文件“%1”已经存在").arg(spec.display()));
    {
        auto created = Database::open(target, Database::OpenMode::Create);
        if (!created)
            return created.error();
        if (spec.engine == Engine::PostgreSQL) {
            auto n = (*created)->scalar(QStringLiteral(
                "SELECT count(*) FROM information_schema.tables WHERE table_schema = current_schema()"));
            if (!n)
                return n.error();
            if (n->toInt() > 0)
                return makeError(QStringLiteral("数据库“%1”不是空的").arg(spec.display()));
        }
        if (auto r = initializeDatabase(**created); !r)
            return r.error();
    }
    return Database::open(target, Database::OpenMode::Existing);
}

} // namespace tarvik
