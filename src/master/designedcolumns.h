#pragma once

#include "data/grid/gridcolumn.h"

#include <QString>
#include <QVector>

namespace tarvik {

// The columns a screen is designed with: the layout delivered with the program
// (resources/grids/<name>.tsv), used when the database holds no rows for the grid.
QVector<GridColumn> designedColumns(const QString &gridName);

} // namespace tarvik
