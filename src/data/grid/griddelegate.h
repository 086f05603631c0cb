#pragma once

#include <QStyledItemDelegate>

namespace tarvik {

class DataGrid;

// Draws the edit buttons and builds the editors of a DataGrid: numbers are
// edited as numbers, pick lists as drop-downs, edit-button columns keep their
// "…" button while editing. Enter posts the cell and hands the key to the grid.
class GridDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    explicit GridDelegate(DataGrid *grid);

    static constexpr int kButtonWidth = 18;
    static QRect buttonRect(const QRect &cell);

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    void setEditorData(QWidget *editor, const QModelIndex &index) const override;
    void setModelData(QWidget *editor, QAbstractItemModel *model, const QModelIndex &index) const override;
    void updateEditorGeometry(QWidget *editor, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    bool editorEvent(QEvent *event, QAbstractItemModel *model, const QStyleOptionViewItem &option,
                     const QModelIndex &index) override;

    bool isNumericColumn(const QModelIndex &index) const;

protected:
    bool eventFilter(QObject *editor, QEvent *event) override;

private:
    DataGrid *m_grid;
};

} // namespace tarvik
