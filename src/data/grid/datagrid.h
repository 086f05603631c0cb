#pragma once

#include "data/grid/gridcolumn.h"

#include <QPointer>
#include <QWidget>

class QKeyEvent;
class QMenu;
class QTableView;
class QHeaderView;

namespace tarvik {

class RowSet;
class RowSetModel;
class GridDelegate;
class GridFooter;
class GridView;

// The data grid of every list, query and bill screen: a table over a RowSet
// with one footer row under it (static texts or running sums over all rows).
// Columns are kept in display order: dragging a title moves the column.
class DataGrid : public QWidget {
    Q_OBJECT
public:
    explicit DataGrid(QWidget *parent = nullptr);
    ~DataGrid() override;

    void setRowSet(RowSet *set);
    RowSet *rowSet() const;

    // Columns, in display order.
    const QVector<GridColumn> &columns() const;
    int columnCount() const;
    const GridColumn &column(int i) const; // an empty column when i is out of range
    int columnIndex(const QString &field) const; // case-insensitive, -1 when absent
    int addColumn(const GridColumn &col);
    void insertColumn(int at, const GridColumn &col);
    void removeColumn(int i);
    void clearColumns();
    void setColumns(const QVector<GridColumn> &columns);
    void setColumn(int i, const GridColumn &col);
    void moveColumn(int from, int to);

    void setColumnField(int i, const QString &field);
    void setColumnTitle(int i, const QString &title);
    void setColumnWidth(int i, int width);
    void setColumnVisible(int i, bool visible);
    void setColumnReadOnly(int i, bool readOnly);
    void setColumnAlignment(int i, ColumnAlign alignment);
    void setColumnDisplayFormat(int i, const QString &format);
    void setColumnFooterFormat(int i, const QString &format);
    void setColumnFooterKind(int i, FooterKind kind);
    void setColumnFooterValue(int i, const QString &text);
    void setColumnEditButton(int i, bool shown);
    void setColumnPickList(int i, const QStringList &items);
    void setColumnCheckBox(int i, bool checkBox);
    void setColumnMaxLength(int i, int length);
    void setColumnSortMarker(int i, SortMarker marker);
    void setColumnWithheld(int i, bool withheld);

    // The whole grid read-only (browse state) or editable.
    void setReadOnly(bool readOnly);
    bool isReadOnly() const;
    // Several rows may be selected (Ctrl/Shift); the selection covers whole rows.
    void setMultiSelect(bool multi);
    bool isMultiSelect() const;

    // Current cell. The current row is the RowSet's current row, both ways.
    int currentRow() const;
    void setCurrentRow(int row);
    int currentColumn() const;
    void setCurrentColumn(int column);
    bool focusField(const QString &field); // makes that column current and focuses the grid
    QList<int> selectedRows() const;       // ascending; the current row when nothing is selected

    // Editing.
    bool isEditing() const;
    void commitEdit(); // posts the cell being edited
    void cancelEdit(); // drops the cell being edited
    void editCurrentCell();

    // Footers.
    double footerValue(const QString &field) const; // the sum of that field over all rows
    double fieldSum(const QString &field) const;    // same, whether or not a column shows it
    QString footerText(int column) const;           // as drawn
    bool hasFooter() const;
    void refreshFooters();

    // Per-cell colours.
    void setCellStyle(CellStyleFn fn);
    CellStyle cellStyle(int row, int column) const;

    // What is shown, for export and printing.
    QVariant value(int row, int column) const;
    QString displayText(int row, int column) const;
    Qt::Alignment cellAlignment(int column) const;
    QList<int> shownColumns() const; // visible columns in display order
    QStringList shownTitles() const;
    QList<QStringList> shownRows() const;
    QStringList shownFooters() const;
    int rowCount() const;

    // The pop-up menu shown on a right click (none when null).
    void setPopupMenu(QMenu *menu);
    QMenu *popupMenu() const;

    QTableView *view() const;
    QHeaderView *header() const;
    RowSetModel *model() const { return m_model; }

signals:
    void editButtonClicked(int row, const QString &field);
    // Emitted on Enter (after the cell being edited is posted), before the grid's own move
    // to the next column. A handler that moved the focus itself sets *handled = true.
    void enterPressed(int row, int column, bool *handled);
    void doubleClicked(int row);
    void titleClicked(int column);
    // Every key the grid gets, first. A handler that uses the key calls accept() on it.
    void keyPressed(QKeyEvent *event);
    void currentRowChanged(int row);
    void currentColumnChanged(int column);
    void columnsChanged();

private:
    friend class GridView;
    friend class GridDelegate;
    void applyColumnGeometry();
    void structuralChange(const std::function<void(QVector<GridColumn> &)> &change);
    void updateColumnProperty(int i, const std::function<void(GridColumn &)> &change);
    void handleEnter();
    void onViewCurrentChanged();
    void onRowSetCurrentChanged(int row);
    void onSectionMoved(int logical, int oldVisual, int newVisual);
    void onSectionResized(int logical, int oldSize, int newSize);
    int firstVisibleColumn() const;
    int nextVisibleColumn(int from) const;
    void updateFooterVisibility();

    GridView *m_view;
    GridFooter *m_footer;
    RowSetModel *m_model;
    GridDelegate *m_delegate;
    QPointer<QMenu> m_menu;
    bool m_syncing = false;
    bool m_applying = false;
    bool m_multi = false;
    int m_lastRow = -1;
    int m_lastColumn = -1;
    mutable QVector<double> m_sums;
    mutable bool m_sumsDirty = true;
};

} // namespace tarvik
