#pragma once

#include "data/database.h"

#include <memory>

namespace tarvik {

// Creates every table of the schema in an empty database and the rows a new
// database must hold: Limits, operator "000", SysInfo, KeyValue, the designed
// grid layouts (cfg_Grid) and the import mappings (cfg_import).
Result<void> initializeDatabase(Database &db);

// Makes a new database at `target` (an SQLite file that must not exist yet, or
// an empty PostgreSQL database) and returns it opened for work.
Result<std::unique_ptr<Database>> createDatabase(const QString &target);

// One designed grid layout row (also what cfg_Grid holds).
struct GridLayoutRow {
    QString field;
    QString caption;
    int width = 80;
    bool visible = true;
    bool readOnly = false;
    int alignment = 0;
    QString displayFormat;
    QString footerValue;
    int footerType = 0;
};

// The designed layouts delivered with the program: grid name -> rows in order.
QList<QPair<QString, QList<GridLayoutRow>>> designedGridLayouts();
// Writes one grid's designed layout (replacing any rows of that grid).
Result<void> seedGridLayout(Database &db, const QString &gridName, const QList<GridLayoutRow> &rows);

} // namespace tarvik
