#pragma once

#include "data/grid/gridcolumn.h"

#include <QAbstractTableModel>
#include <QPointer>

#include "data/rowset.h"

namespace tarvik {


// A table model over a RowSet and a list of grid columns. It follows the
// RowSet's signals; edits go through RowSet::setValue.
class RowSetModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit RowSetModel(QObject *parent = nullptr);

    void setRowSet(RowSet *set);
    RowSet *rowSet() const { return m_set; }

    const QVector<GridColumn> &columns() const { return m_columns; }
    void setColumns(const QVector<GridColumn> &columns);
    // Changes one column in place (no structural change: widths and visibility are the view's business).
    void updateColumn(int column, const GridColumn &col);
    // Field index in the RowSet of a column, -1 when the RowSet lacks it.
    int fieldOf(int column) const;

    void setReadOnly(bool readOnly);
    bool isReadOnly() const { return m_readOnly; }
    void setCellStyle(CellStyleFn fn);
    CellStyle cellStyle(int row, int column) const;

    QVariant value(int row, int column) const;
    QString displayText(int row, int column) const;
    Qt::Alignment alignment(int column) const;
    bool isCheckColumn(int column) const;

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

signals:
    void contentChanged(); // any row added, removed, changed or replaced (footers recompute)

private:
    void onReset();
    void onRowInserted(int row);
    void onRowRemoved(int row);
    void onValueChanged(int row, int field);
    void rebindFields();

    QPointer<RowSet> m_set;
    QVector<GridColumn> m_columns;
    QVector<int> m_fieldIndex;
    int m_rowCount = 0; // rows announced to the views (the RowSet tells of changes after making them)
    bool m_readOnly = false;
    CellStyleFn m_style;
    mutable QVector<int> m_alignCache; // default alignments by column, -1 not yet known
};

} // namespace tarvik
