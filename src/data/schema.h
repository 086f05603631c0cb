#pragma once

#include <QString>
#include <QStringList>

#include <vector>

namespace tarvik {

enum class Engine { SQLite, PostgreSQL };

enum class ColType { Auto, Text, Memo, Long, Double, Currency, Date, Bool };

struct ColumnDef {
    QString name;
    ColType type = ColType::Text;
    int length = 0; // the size a screen allows; 0 = free
    bool notNull = false;
};

struct IndexDef {
    QString name;
    QStringList columns;
    bool unique = false;
};

struct TableDef {
    QString name;
    std::vector<ColumnDef> columns;
    std::vector<IndexDef> indexes;
    bool workTable = false; // shadowed per connection by a temporary table

    const ColumnDef *column(const QString &columnName) const; // case-insensitive
    bool hasColumn(const QString &columnName) const { return column(columnName) != nullptr; }
};

// Every table of the database, described once.
const std::vector<TableDef> &schemaTables();
const TableDef *findTable(const QString &name); // case-insensitive

// The eleven user-defined columns in caption order (F_ZF1..F_ZF5, F_SZ1..F_SZ3, F_RQ1..F_RQ3).
const QStringList &customColumns();

QString columnSql(const ColumnDef &column, Engine engine);
QString createTableSql(const TableDef &table, Engine engine, bool temporary = false);
QStringList createIndexSql(const TableDef &table, Engine engine);
// Full DDL of a new database, in dependency-free order.
QStringList schemaDdl(Engine engine);

} // namespace tarvik
