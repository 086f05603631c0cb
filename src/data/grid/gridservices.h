#pragma once

#include "data/result.h"

#include <QString>
#include <QVariantList>

class QAction;
class QMenu;

namespace tarvik {

class DataGrid;
class RowSet;

// The grid services of the data module. Layouts live in cfg_Grid, one row per
// column of a named grid (names compared without regard to case); statements
// run on dmData's connection with bound parameters.

// Replaces the grid's columns by the stored layout, in ascending F_Order. A
// grid without layout rows keeps its designed columns. Rows naming a field the
// (open) RowSet lacks are skipped. False when nothing was loaded.
bool LoadGridLayout(DataGrid *grid, const QString &gridName);

// Writes every column back to its layout row (caption, width, read-only,
// visible, position, alignment, format, footer). Only existing rows are
// updated; rows of columns not in the grid keep their values. A failing
// statement is reported and the other columns are still saved.
bool SaveGridLayout(DataGrid *grid, const QString &gridName);

// The question "真的要保存当前网格设置吗？" and, on OK, SaveGridLayout.
bool AskSaveGridLayout(DataGrid *grid, const QString &gridName);

// Column chooser "字段列表": visibility only, in memory. True on OK.
bool ChooseGridColumns(DataGrid *grid);

// Number formats (mode 1, 2, 3) and removal of price columns for operators
// without the price right (price mode 1 delete, 2 delete "2"/"price", 3 hide).
// Mode 2 without an f_amount or f_totalprice column reports it and returns false
// (the other formats and the price removal still apply).
bool FormatGridColumns(DataGrid *grid, int mode, int priceMode);

// Titles and visibility of F_ZF1..F_ZF5, F_SZ1..F_SZ3, F_RQ1..F_RQ3 from the
// custom captions; stops at the first of them the grid lacks.
void ApplyCustomFieldCaptions(DataGrid *grid);

// Editing set-up of a bill line grid.
void PrepareBillGrid(DataGrid *grid, bool keepAddressEditable);

// The money total of a bill grid: the sum of F_totalPrice over all rows, also
// when the price columns were removed for the operator.
double GridTotalPrice(DataGrid *grid);

// Gives every column on `field` the first column of the statement's rows as
// its pick list; no rows change nothing. Errors are returned, not shown.
Result<void> SetColumnPickList(const QString &sql, const QVariantList &params, DataGrid *grid, const QString &field);

// The grid's pop-up menu with "显示字段列表" (ChooseGridColumns) and
// "保存当前设置" (AskSaveGridLayout with the grid name). Screens may add items.
struct GridMenu {
    QMenu *menu = nullptr;
    QAction *showFields = nullptr;
    QAction *saveLayout = nullptr;
};
GridMenu InstallGridMenu(DataGrid *grid, const QString &gridName);

// Title-click sorting of list grids. Group A: the up marker sorts ascending;
// group B: the up marker sorts descending. A click turns none or down into up
// and up into down (the other columns lose their markers); memo fields (name
// containing "mem") are never sorted, their marker still changes. `target` is
// the RowSet to sort (the grid's own when null); nothing happens while it is closed.
enum class SortGroup { A, B };
void SortGridByTitle(DataGrid *grid, int column, SortGroup group, RowSet *target = nullptr);
void InstallTitleSort(DataGrid *grid, SortGroup group, RowSet *target = nullptr);

} // namespace tarvik
