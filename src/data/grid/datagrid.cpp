#include "data/grid/datagrid.h"

#include "data/grid/displayformat.h"
#include "data/grid/griddelegate.h"
#include "data/grid/rowsetmodel.h"
#include "data/rowset.h"

#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMenu>
#include <QPainter>
#include <QPainterPath>
#include <QScrollBar>
#include <QTableView>
#include <QVBoxLayout>

#include <algorithm>

namespace tarvik {

// Titles with the sort markers the title-click handlers set.
class GridHeader : public QHeaderView {
public:
    GridHeader(DataGrid *grid) : QHeaderView(Qt::Horizontal), m_grid(grid)
    {
        setSectionsClickable(true);
        setSectionsMovable(true);
        setDefaultAlignment(Qt::AlignCenter);
        setHighlightSections(false);
    }

protected:
    void paintSection(QPainter *painter, const QRect &rect, int logical) const override
    {
        painter->save();
        QHeaderView::paintSection(painter, rect, logical);
        painter->restore();
        if (logical < 0 || logical >= m_grid->columnCount())
            return;
        const SortMarker m = m_grid->column(logical).sortMarker;
        if (m == SortMarker::None)
            return;
        const int s = 4;
        const QPointF c(rect.right() - 8, rect.center().y());
        QPainterPath path;
        if (m == SortMarker::Up) {
            path.moveTo(c.x() - s, c.y() + s / 2.0);
            path.lineTo(c.x() + s, c.y() + s / 2.0);
            path.lineTo(c.x(), c.y() - s / 2.0 - 1);
        } else {
            path.moveTo(c.x() - s, c.y() - s / 2.0);
            path.lineTo(c.x() + s, c.y() - s / 2.0);
            path.lineTo(c.x(), c.y() + s / 2.0 + 1);
        }
        path.closeSubpath();
        painter->save();
        painter->setRenderHint(QPainter::Antialiasing);
        painter->fillPath(path, palette().color(QPalette::Dark));
        painter->restore();
    }

private:
    DataGrid *m_grid;
};

// The table itself: keys go to the grid's signals first, Enter moves on.
class GridView : public QTableView {
public:
    explicit GridView(DataGrid *grid) : QTableView(grid), m_grid(grid) {}

    bool editing() const { return state() == QAbstractItemView::EditingState; }
    void commitCurrent()
    {
        if (!editing())
            return;
        QWidget *editor = QApplication::focusWidget();
        while (editor && editor->parentWidget() != viewport())
            editor = editor->parentWidget();
        if (editor) {
            commitData(editor);
            closeEditor(editor, QAbstractItemDelegate::NoHint);
        }
    }
    void cancelCurrent()
    {
        if (!editing())
            return;
        QWidget *editor = QApplication::focusWidget();
        while (editor && editor->parentWidget() != viewport())
            editor = editor->parentWidget();
        if (editor)
            closeEditor(editor, QAbstractItemDelegate::RevertModelCache);
    }
    void startEdit() { edit(currentIndex()); }

protected:
    void keyPressEvent(QKeyEvent *e) override
    {
        e->ignore();
        emit m_grid->keyPressed(e);
        if (e->isAccepted())
            return;
        e->accept();
        if ((e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter)) {
            const int col = m_grid->currentColumn();
            if ((e->modifiers() & Qt::ControlModifier) && col >= 0 && m_grid->column(col).editButton) {
                emit m_grid->editButtonClicked(m_grid->currentRow(), m_grid->column(col).field);
                return;
            }
            m_grid->handleEnter();
            return;
        }
        QTableView::keyPressEvent(e);
    }
    void mouseDoubleClickEvent(QMouseEvent *e) override
    {
        const QModelIndex idx = indexAt(e->position().toPoint());
        QTableView::mouseDoubleClickEvent(e);
        if (idx.isValid())
            emit m_grid->doubleClicked(idx.row());
    }
    void scrollContentsBy(int dx, int dy) override
    {
        QTableView::scrollContentsBy(dx, dy);
        if (dx)
            m_grid->refreshFooters();
    }

private:
    DataGrid *m_grid;
};

// The footer row under the table, cell for cell under the visible columns.
class GridFooter : public QWidget {
public:
    GridFooter(DataGrid *grid, GridView *view) : QWidget(grid), m_grid(grid), m_view(view)
    {
        setAutoFillBackground(false);
        setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    }
    QSize sizeHint() const override
    {
        return QSize(100, m_view->verticalHeader()->defaultSectionSize() + 4);
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter p(this);
        const QPalette pal = palette();
        p.fillRect(rect(), pal.color(QPalette::Button));
        const QHeaderView *h = m_view->horizontalHeader();
        const int x0 = m_view->frameWidth()
            + (m_view->verticalHeader()->isVisible() ? m_view->verticalHeader()->width() : 0);
        const int viewportWidth = m_view->viewport()->width();
        p.setClipRect(QRect(x0, 0, viewportWidth, height()));
        p.setPen(pal.color(QPalette::Mid));
        for (int v = 0; v < h->count(); ++v) {
            const int logical = h->logicalIndex(v);
            if (h->isSectionHidden(logical))
                continue;
            const int x = x0 + h->sectionViewportPosition(logical);
            const QRect cell(x, 0, h->sectionSize(logical), height() - 1);
            if (cell.right() < x0 || cell.left() > x0 + viewportWidth)
                continue;
            p.setPen(pal.color(QPalette::Mid));
            p.drawRect(cell.adjusted(0, 0, -1, 0));
            const QString text = m_grid->footerText(logical);
            if (text.isEmpty())
                continue;
            p.setPen(pal.color(QPalette::ButtonText));
            p.drawText(cell.adjusted(3, 0, -4, 0), int(m_grid->cellAlignment(logical)) | Qt::TextSingleLine, text);
        }
    }

private:
    DataGrid *m_grid;
    GridView *m_view;
};

DataGrid::DataGrid(QWidget *parent) : QWidget(parent)
{
    m_model = new RowSetModel(this);
    m_view = new GridView(this);
    m_view->setHorizontalHeader(new GridHeader(this));
    m_view->setModel(m_model);
    m_delegate = new GridDelegate(this);
    m_view->setItemDelegate(m_delegate);
    m_view->verticalHeader()->setVisible(false);
    m_view->verticalHeader()->setDefaultSectionSize(QFontMetrics(font()).height() + 8);
    m_view->setSelectionBehavior(QAbstractItemView::SelectItems);
    m_view->setSelectionMode(QAbstractItemView::SingleSelection);
    m_view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_view->setTabKeyNavigation(true);
    m_view->setWordWrap(false);
    m_view->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    m_footer = new GridFooter(this, m_view);
    setReadOnly(true);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_view, 1);
    layout->addWidget(m_footer);
    m_footer->hide();
    setFocusProxy(m_view);

    QHeaderView *h = m_view->horizontalHeader();
    connect(h, &QHeaderView::sectionClicked, this, [this](int logical) { emit titleClicked(logical); });
    connect(h, &QHeaderView::sectionMoved, this, &DataGrid::onSectionMoved);
    connect(h, &QHeaderView::sectionResized, this, &DataGrid::onSectionResized);
    connect(h, &QHeaderView::geometriesChanged, m_footer, qOverload<>(&QWidget::update));
    connect(m_view->horizontalScrollBar(), &QScrollBar::valueChanged, m_footer, qOverload<>(&QWidget::update));
    connect(m_model, &RowSetModel::contentChanged, this, [this] {
        m_sumsDirty = true;
        m_footer->update();
    });
    connect(m_model, &QAbstractItemModel::modelReset, this, [this] {
        applyColumnGeometry();
        onRowSetCurrentChanged(rowSet() ? rowSet()->current() : -1);
    });
    connect(m_model, &QAbstractItemModel::rowsInserted, this, [this] {
        if (rowSet())
            onRowSetCurrentChanged(rowSet()->current());
    });
    connect(m_view->selectionModel(), &QItemSelectionModel::currentChanged, this, &DataGrid::onViewCurrentChanged);
    m_view->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_view, &QWidget::customContextMenuRequested, this, [this](const QPoint &pos) {
        if (m_menu)
            m_menu->popup(m_view->viewport()->mapToGlobal(pos));
    });
}

void DataGrid::setPopupMenu(QMenu *menu)
{
    m_menu = menu;
}

QMenu *DataGrid::popupMenu() const
{
    return m_menu;
}

DataGrid::~DataGrid() = default;

QTableView *DataGrid::view() const
{
    return m_view;
}

QHeaderView *DataGrid::header() const
{
    return m_view->horizontalHeader();
}

void DataGrid::setRowSet(RowSet *set)
{
    if (RowSet *old = m_model->rowSet())
        disconnect(old, nullptr, this, nullptr);
    m_model->setRowSet(set);
    if (set)
        connect(set, &RowSet::currentChanged, this, &DataGrid::onRowSetCurrentChanged);
    onRowSetCurrentChanged(set ? set->current() : -1);
}

RowSet *DataGrid::rowSet() const
{
    return m_model->rowSet();
}

// ---------------------------------------------------------------- columns

const QVector<GridColumn> &DataGrid::columns() const
{
    return m_model->columns();
}

int DataGrid::columnCount() const
{
    return int(m_model->columns().size());
}

const GridColumn &DataGrid::column(int i) const
{
    // Out of range (a field the grid lacks) gives an empty column rather than a crash.
    static const GridColumn none;
    if (i < 0 || i >= columnCount())
        return none;
    return m_model->columns()[i];
}

int DataGrid::columnIndex(const QString &field) const
{
    const auto &cols = m_model->columns();
    for (int i = 0; i < cols.size(); ++i)
        if (cols[i].field.compare(field, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

void DataGrid::structuralChange(const std::function<void(QVector<GridColumn> &)> &change)
{
    const int row = currentRow();
    const QString currentField = currentColumn() >= 0 ? column(currentColumn()).field : QString();
    m_view->cancelCurrent();
    QVector<GridColumn> cols = m_model->columns();
    change(cols);
    m_syncing = true;
    m_model->setColumns(cols); // resets the model; geometry follows in the reset handler
    m_syncing = false;
    const int col = currentField.isEmpty() ? -1 : columnIndex(currentField);
    if (row >= 0 && row < rowCount())
        m_view->setCurrentIndex(m_model->index(row, col >= 0 ? col : std::max(firstVisibleColumn(), 0)));
    m_sumsDirty = true;
    updateFooterVisibility();
    emit columnsChanged();
}

int DataGrid::addColumn(const GridColumn &col)
{
    insertColumn(columnCount(), col);
    return columnCount() - 1;
}

void DataGrid::insertColumn(int at, const GridColumn &col)
{
    structuralChange([&](QVector<GridColumn> &cols) { cols.insert(std::clamp(at, 0, int(cols.size())), col); });
}

void DataGrid::removeColumn(int i)
{
    if (i < 0 || i >= columnCount())
        return;
    structuralChange([&](QVector<GridColumn> &cols) { cols.removeAt(i); });
}

void DataGrid::clearColumns()
{
    structuralChange([](QVector<GridColumn> &cols) { cols.clear(); });
}

void DataGrid::setColumns(const QVector<GridColumn> &columns)
{
    structuralChange([&](QVector<GridColumn> &cols) { cols = columns; });
}

void DataGrid::setColumn(int i, const GridColumn &col)
{
    if (i < 0 || i >= columnCount())
        return;
    updateColumnProperty(i, [&](GridColumn &c) { c = col; });
}

void DataGrid::moveColumn(int from, int to)
{
    if (from < 0 || from >= columnCount() || to < 0 || to >= columnCount() || from == to)
        return;
    structuralChange([&](QVector<GridColumn> &cols) { cols.move(from, to); });
}

void DataGrid::updateColumnProperty(int i, const std::function<void(GridColumn &)> &change)
{
    if (i < 0 || i >= columnCount())
        return;
    GridColumn c = column(i);
    change(c);
    m_model->updateColumn(i, c);
    m_applying = true;
    m_view->setColumnHidden(i, !c.visible);
    if (c.visible && m_view->columnWidth(i) != c.width)
        m_view->setColumnWidth(i, c.width);
    m_applying = false;
    updateFooterVisibility();
    m_view->horizontalHeader()->viewport()->update();
    m_footer->update();
}

void DataGrid::setColumnField(int i, const QString &field)
{
    updateColumnProperty(i, [&](GridColumn &c) { c.field = field; });
}
void DataGrid::setColumnTitle(int i, const QString &title)
{
    updateColumnProperty(i, [&](GridColumn &c) { c.title = title; });
}
void DataGrid::setColumnWidth(int i, int width)
{
    updateColumnProperty(i, [&](GridColumn &c) { c.width = width; });
}
void DataGrid::setColumnVisible(int i, bool visible)
{
    updateColumnProperty(i, [&](GridColumn &c) { c.visible = visible; });
}
void DataGrid::setColumnReadOnly(int i, bool readOnly)
{
    updateColumnProperty(i, [&](GridColumn &c) { c.readOnly = readOnly; });
}
void DataGrid::setColumnAlignment(int i, ColumnAlign alignment)
{
    updateColumnProperty(i, [&](GridColumn &c) { c.alignment = alignment; });
}
void DataGrid::setColumnDisplayFormat(int i, const QString &format)
{
    updateColumnProperty(i, [&](GridColumn &c) { c.displayFormat = format; });
}
void DataGrid::setColumnFooterFormat(int i, const QString &format)
{
    updateColumnProperty(i, [&](GridColumn &c) { c.footerFormat = format; });
}
void DataGrid::setColumnFooterKind(int i, FooterKind kind)
{
    updateColumnProperty(i, [&](GridColumn &c) { c.footerKind = kind; });
}
void DataGrid::setColumnFooterValue(int i, const QString &text)
{
    updateColumnProperty(i, [&](GridColumn &c) { c.footerValue = text; });
}
void DataGrid::setColumnEditButton(int i, bool shown)
{
    updateColumnProperty(i, [&](GridColumn &c) { c.editButton = shown; });
}
void DataGrid::setColumnPickList(int i, const QStringList &items)
{
    updateColumnProperty(i, [&](GridColumn &c) { c.pickList = items; });
}
void DataGrid::setColumnCheckBox(int i, bool checkBox)
{
    updateColumnProperty(i, [&](GridColumn &c) { c.checkBox = checkBox; });
}
void DataGrid::setColumnMaxLength(int i, int length)
{
    updateColumnProperty(i, [&](GridColumn &c) { c.maxLength = length; });
}
void DataGrid::setColumnSortMarker(int i, SortMarker marker)
{
    updateColumnProperty(i, [&](GridColumn &c) { c.sortMarker = marker; });
}

void DataGrid::setColumnWithheld(int i, bool withheld)
{
    updateColumnProperty(i, [&](GridColumn &c) {
        c.withheld = withheld;
        if (withheld)
            c.visible = false;
    });
}

void DataGrid::applyColumnGeometry()
{
    m_applying = true;
    const auto &cols = m_model->columns();
    QHeaderView *h = m_view->horizontalHeader();
    for (int i = 0; i < cols.size(); ++i) {
        // Visual order is column order: undo any section moves the header still remembers.
        if (h->visualIndex(i) != i)
            h->moveSection(h->visualIndex(i), i);
        m_view->setColumnHidden(i, !cols[i].visible);
        if (cols[i].visible)
            m_view->setColumnWidth(i, std::max(cols[i].width, 4));
    }
    m_applying = false;
    updateFooterVisibility();
    m_footer->update();
}

void DataGrid::onSectionMoved(int, int oldVisual, int newVisual)
{
    if (m_applying)
        return;
    // Keep display order and column order the same: put the section back and move the column.
    m_applying = true;
    m_view->horizontalHeader()->moveSection(newVisual, oldVisual);
    m_applying = false;
    moveColumn(oldVisual, newVisual);
}

void DataGrid::onSectionResized(int logical, int, int newSize)
{
    if (m_applying || m_syncing || logical < 0 || logical >= columnCount() || newSize <= 0)
        return;
    if (m_view->isColumnHidden(logical))
        return;
    GridColumn c = column(logical);
    if (c.width == newSize)
        return;
    c.width = newSize;
    m_model->updateColumn(logical, c);
    m_footer->update();
}

// ---------------------------------------------------------------- state

void DataGrid::setReadOnly(bool readOnly)
{
    if (readOnly)
        m_view->cancelCurrent();
    m_model->setReadOnly(readOnly);
    m_view->setEditTriggers(readOnly ? QAbstractItemView::NoEditTriggers
                                     : QAbstractItemView::DoubleClicked | QAbstractItemView::AnyKeyPressed
                                           | QAbstractItemView::EditKeyPressed | QAbstractItemView::SelectedClicked);
    m_view->viewport()->update();
}

bool DataGrid::isReadOnly() const
{
    return m_model->isReadOnly();
}

void DataGrid::setMultiSelect(bool multi)
{
    m_multi = multi;
    m_view->setSelectionBehavior(multi ? QAbstractItemView::SelectRows : QAbstractItemView::SelectItems);
    m_view->setSelectionMode(multi ? QAbstractItemView::ExtendedSelection : QAbstractItemView::SingleSelection);
}

bool DataGrid::isMultiSelect() const
{
    return m_multi;
}

int DataGrid::rowCount() const
{
    return m_model->rowCount();
}

int DataGrid::currentRow() const
{
    if (RowSet *s = rowSet())
        return s->current();
    return -1;
}

void DataGrid::setCurrentRow(int row)
{
    if (RowSet *s = rowSet())
        s->setCurrent(row);
}

int DataGrid::currentColumn() const
{
    const QModelIndex idx = m_view->currentIndex();
    if (idx.isValid())
        return idx.column();
    return m_lastColumn >= 0 && m_lastColumn < columnCount() ? m_lastColumn : firstVisibleColumn();
}

void DataGrid::setCurrentColumn(int column)
{
    if (column < 0 || column >= columnCount())
        return;
    m_lastColumn = column;
    const int row = currentRow();
    if (row < 0 || row >= rowCount())
        return;
    m_view->commitCurrent();
    m_view->setCurrentIndex(m_model->index(row, column));
    m_view->scrollTo(m_model->index(row, column));
}

bool DataGrid::focusField(const QString &field)
{
    const int col = columnIndex(field);
    if (col < 0)
        return false;
    setCurrentColumn(col);
    m_view->setFocus();
    return true;
}

QList<int> DataGrid::selectedRows() const
{
    QList<int> rows;
    for (const QModelIndex &idx : m_view->selectionModel()->selectedIndexes())
        if (!rows.contains(idx.row()))
            rows << idx.row();
    std::sort(rows.begin(), rows.end());
    if (rows.isEmpty() && currentRow() >= 0)
        rows << currentRow();
    return rows;
}

int DataGrid::firstVisibleColumn() const
{
    const auto &cols = columns();
    for (int i = 0; i < cols.size(); ++i)
        if (cols[i].visible)
            return i;
    return -1;
}

int DataGrid::nextVisibleColumn(int from) const
{
    const auto &cols = columns();
    for (int i = from + 1; i < cols.size(); ++i)
        if (cols[i].visible)
            return i;
    return -1;
}

void DataGrid::onViewCurrentChanged()
{
    const QModelIndex idx = m_view->currentIndex();
    if (!idx.isValid())
        return;
    if (idx.column() != m_lastColumn) {
        m_lastColumn = idx.column();
        emit currentColumnChanged(m_lastColumn);
    }
    if (m_syncing)
        return;
    RowSet *s = rowSet();
    if (s && s->current() != idx.row()) {
        m_syncing = true;
        s->setCurrent(idx.row());
        m_syncing = false;
    }
    if (idx.row() != m_lastRow) {
        m_lastRow = idx.row();
        emit currentRowChanged(m_lastRow);
    }
}

void DataGrid::onRowSetCurrentChanged(int row)
{
    if (m_syncing)
        return;
    if (row < 0 || row >= rowCount()) {
        if (m_lastRow != -1) {
            m_lastRow = -1;
            emit currentRowChanged(-1);
        }
        return;
    }
    int col = m_view->currentIndex().isValid() ? m_view->currentIndex().column() : m_lastColumn;
    if (col < 0 || col >= columnCount())
        col = std::max(firstVisibleColumn(), 0);
    if (columnCount() > 0 && (m_view->currentIndex().row() != row || m_view->currentIndex().column() != col)) {
        m_syncing = true;
        m_view->commitCurrent();
        m_view->setCurrentIndex(m_model->index(row, col));
        m_view->scrollTo(m_model->index(row, col));
        m_syncing = false;
    }
    if (row != m_lastRow) {
        m_lastRow = row;
        emit currentRowChanged(row);
    }
}

bool DataGrid::isEditing() const
{
    return m_view->editing();
}

void DataGrid::commitEdit()
{
    m_view->commitCurrent();
}

void DataGrid::cancelEdit()
{
    m_view->cancelCurrent();
}

void DataGrid::editCurrentCell()
{
    m_view->setFocus();
    m_view->startEdit();
}

void DataGrid::handleEnter()
{
    const int row = currentRow();
    const int col = currentColumn();
    bool handled = false;
    emit enterPressed(row, col, &handled);
    if (handled)
        return;
    // Enter moves to the next visible column, wrapping to the first column of the next row.
    const int next = nextVisibleColumn(currentColumn());
    if (next >= 0) {
        setCurrentColumn(next);
        return;
    }
    const int first = firstVisibleColumn();
    if (first < 0)
        return;
    const int r = currentRow();
    if (r + 1 < rowCount())
        setCurrentRow(r + 1);
    setCurrentColumn(first);
}

// ---------------------------------------------------------------- footers

double DataGrid::fieldSum(const QString &field) const
{
    RowSet *s = rowSet();
    if (!s)
        return 0.0;
    const int f = s->fieldIndex(field);
    if (f < 0)
        return 0.0;
    double sum = 0.0;
    for (int r = 0; r < s->count(); ++r) {
        const QVariant v = s->value(r, f);
        if (!v.isNull())
            sum += v.toDouble();
    }
    return sum;
}

double DataGrid::footerValue(const QString &field) const
{
    const int col = columnIndex(field);
    if (col < 0)
        return fieldSum(field);
    if (m_sumsDirty || m_sums.size() != columnCount()) {
        m_sums = QVector<double>(columnCount(), 0.0);
        for (int i = 0; i < columnCount(); ++i)
            if (column(i).footerKind == FooterKind::Sum)
                m_sums[i] = fieldSum(column(i).field);
        m_sumsDirty = false;
    }
    return column(col).footerKind == FooterKind::Sum ? m_sums[col] : fieldSum(field);
}

QString DataGrid::footerText(int i) const
{
    if (i < 0 || i >= columnCount())
        return {};
    const GridColumn &c = column(i);
    switch (c.footerKind) {
    case FooterKind::Text:
        return c.footerValue;
    case FooterKind::Sum:
        return formatNumber(footerValue(c.field), c.footerFormat);
    default:
        return {};
    }
}

bool DataGrid::hasFooter() const
{
    for (const auto &c : columns())
        if (c.footerKind != FooterKind::None)
            return true;
    return false;
}

void DataGrid::updateFooterVisibility()
{
    m_footer->setVisible(hasFooter());
}

void DataGrid::refreshFooters()
{
    m_sumsDirty = true;
    m_footer->update();
}

void DataGrid::setCellStyle(CellStyleFn fn)
{
    m_model->setCellStyle(std::move(fn));
}

CellStyle DataGrid::cellStyle(int row, int column) const
{
    return m_model->cellStyle(row, column);
}

// ---------------------------------------------------------------- shown texts

QVariant DataGrid::value(int row, int column) const
{
    return m_model->value(row, column);
}

QString DataGrid::displayText(int row, int column) const
{
    return m_model->displayText(row, column);
}

Qt::Alignment DataGrid::cellAlignment(int column) const
{
    return m_model->alignment(column);
}

QList<int> DataGrid::shownColumns() const
{
    QList<int> out;
    for (int i = 0; i < columnCount(); ++i)
        if (column(i).visible)
            out << i;
    return out;
}

QStringList DataGrid::shownTitles() const
{
    QStringList out;
    for (int c : shownColumns())
        out << column(c).title;
    return out;
}

QList<QStringList> DataGrid::shownRows() const
{
    const QList<int> cols = shownColumns();
    QList<QStringList> rows;
    for (int r = 0; r < rowCount(); ++r) {
        QStringList line;
        for (int c : cols)
            line << displayText(r, c);
        rows << line;
    }
    return rows;
}

QStringList DataGrid::shownFooters() const
{
    QStringList out;
    for (int c : shownColumns())
        out << footerText(c);
    return out;
}

} // namespace tarvik
