#include "data/grid/rowsetmodel.h"

#include "data/grid/displayformat.h"
#include "data/rowset.h"

#include <QApplication>
#include <QFont>
#include <QPalette>

namespace tarvik {

FooterKind footerKindFromCode(int code)
{
    switch (code) {
    case 1: return FooterKind::Text;
    case 2: return FooterKind::Sum;
    default: return FooterKind::None;
    }
}

int footerKindCode(FooterKind kind)
{
    switch (kind) {
    case FooterKind::Text: return 1;
    case FooterKind::Sum: return 2;
    default: return 0;
    }
}

CellStyle CellStyle::redOnButtonFace()
{
    CellStyle s;
    s.text = QColor(Qt::red);
    s.background = QApplication::palette().color(QPalette::Button);
    return s;
}

RowSetModel::RowSetModel(QObject *parent) : QAbstractTableModel(parent) {}

void RowSetModel::setRowSet(RowSet *set)
{
    if (m_set == set)
        return;
    beginResetModel();
    if (m_set)
        disconnect(m_set, nullptr, this, nullptr);
    m_set = set;
    if (m_set) {
        connect(m_set, &RowSet::reset, this, &RowSetModel::onReset);
        connect(m_set, &RowSet::rowInserted, this, &RowSetModel::onRowInserted);
        connect(m_set, &RowSet::rowRemoved, this, &RowSetModel::onRowRemoved);
        connect(m_set, &RowSet::valueChanged, this, &RowSetModel::onValueChanged);
        connect(m_set, &QObject::destroyed, this, [this] {
            beginResetModel();
            m_set = nullptr;
            rebindFields();
            endResetModel();
            m_alignCache.clear();
            emit contentChanged();
        });
    }
    rebindFields();
    endResetModel();
    m_alignCache.clear();
    emit contentChanged();
}

void RowSetModel::setColumns(const QVector<GridColumn> &columns)
{
    beginResetModel();
    m_columns = columns;
    rebindFields();
    endResetModel();
    m_alignCache.clear();
    emit contentChanged();
}

void RowSetModel::updateColumn(int column, const GridColumn &col)
{
    if (column < 0 || column >= m_columns.size())
        return;
    const bool fieldChanged = m_columns[column].field.compare(col.field, Qt::CaseInsensitive) != 0;
    m_columns[column] = col;
    if (fieldChanged)
        rebindFields();
    emit headerDataChanged(Qt::Horizontal, column, column);
    if (rowCount() > 0)
        emit dataChanged(index(0, column), index(rowCount() - 1, column));
    m_alignCache.clear();
    emit contentChanged();
}

void RowSetModel::rebindFields()
{
    m_rowCount = m_set ? m_set->count() : 0;
    m_fieldIndex.resize(m_columns.size());
    for (int i = 0; i < m_columns.size(); ++i)
        m_fieldIndex[i] = m_set ? m_set->fieldIndex(m_columns[i].field) : -1;
}

int RowSetModel::fieldOf(int column) const
{
    return m_fieldIndex.value(column, -1);
}

void RowSetModel::setReadOnly(bool readOnly)
{
    m_readOnly = readOnly;
}

void RowSetModel::setCellStyle(CellStyleFn fn)
{
    m_style = std::move(fn);
    if (rowCount() > 0 && columnCount() > 0)
        emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1));
}

CellStyle RowSetModel::cellStyle(int row, int column) const
{
    return m_style ? m_style(row, column) : CellStyle{};
}

QVariant RowSetModel::value(int row, int column) const
{
    const int f = fieldOf(column);
    return (m_set && f >= 0) ? m_set->value(row, f) : QVariant();
}

bool RowSetModel::isCheckColumn(int column) const
{
    if (column < 0 || column >= m_columns.size())
        return false;
    return m_columns[column].checkBox;
}

QString RowSetModel::displayText(int row, int column) const
{
    if (column < 0 || column >= m_columns.size())
        return {};
    const QVariant v = value(row, column);
    if (isCheckColumn(column) || v.metaType().id() == QMetaType::Bool)
        return v.isNull() ? QString() : (v.toBool() ? QStringLiteral("是") : QStringLiteral("否"));
    return formatDisplay(v, m_columns[column].displayFormat);
}

Qt::Alignment RowSetModel::alignment(int column) const
{
    if (column < 0 || column >= m_columns.size())
        return Qt::AlignLeft | Qt::AlignVCenter;
    switch (m_columns[column].alignment) {
    case ColumnAlign::Left: return Qt::AlignLeft | Qt::AlignVCenter;
    case ColumnAlign::Center: return Qt::AlignHCenter | Qt::AlignVCenter;
    case ColumnAlign::Right: return Qt::AlignRight | Qt::AlignVCenter;
    case ColumnAlign::Default: break;
    }
    // Numbers line up on the right, as the column of a numeric field does by default.
    if (m_alignCache.size() != m_columns.size())
        m_alignCache = QVector<int>(m_columns.size(), -1);
    if (m_alignCache[column] >= 0)
        return Qt::Alignment(m_alignCache[column]);
    Qt::Alignment found = Qt::AlignLeft | Qt::AlignVCenter;
    if (m_set) {
        const int f = fieldOf(column);
        for (int r = 0; f >= 0 && r < m_set->count() && r < 20; ++r) {
            const QVariant v = m_set->value(r, f);
            if (v.isNull())
                continue;
            if (isNumericValue(v))
                found = Qt::AlignRight | Qt::AlignVCenter;
            break;
        }
    }
    m_alignCache[column] = int(found);
    return found;
}

int RowSetModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_rowCount;
}

int RowSetModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_columns.size());
}

QVariant RowSetModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || !m_set)
        return {};
    const int row = index.row(), col = index.column();
    switch (role) {
    case Qt::DisplayRole:
        return isCheckColumn(col) ? QVariant() : QVariant(displayText(row, col));
    case Qt::EditRole:
        return value(row, col);
    case Qt::CheckStateRole:
        if (isCheckColumn(col))
            return value(row, col).toBool() ? Qt::Checked : Qt::Unchecked;
        return {};
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(alignment(col));
    case Qt::ForegroundRole: {
        const CellStyle s = cellStyle(row, col);
        return s.text.isValid() ? QVariant(s.text) : QVariant();
    }
    case Qt::BackgroundRole: {
        const CellStyle s = cellStyle(row, col);
        return s.background.isValid() ? QVariant(s.background) : QVariant();
    }
    case Qt::FontRole: {
        if (!m_style)
            return {};
        if (cellStyle(row, col).bold) {
            QFont f;
            f.setBold(true);
            return f;
        }
        return {};
    }
    default:
        return {};
    }
}

bool RowSetModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (!index.isValid() || !m_set || !(flags(index) & (Qt::ItemIsEditable | Qt::ItemIsUserCheckable)))
        return false;
    const int f = fieldOf(index.column());
    if (f < 0)
        return false;
    if (role == Qt::CheckStateRole) {
        m_set->setValue(index.row(), f, QVariant(value.toInt() == Qt::Checked));
        return true;
    }
    if (role != Qt::EditRole)
        return false;
    m_set->setValue(index.row(), f, value);
    return true;
}

Qt::ItemFlags RowSetModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags fl = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    const int col = index.column();
    const bool editable = !m_readOnly && col < m_columns.size() && !m_columns[col].readOnly && fieldOf(col) >= 0;
    if (editable)
        fl |= isCheckColumn(col) ? Qt::ItemIsUserCheckable : Qt::ItemIsEditable;
    return fl;
}

QVariant RowSetModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= m_columns.size())
        return QAbstractTableModel::headerData(section, orientation, role);
    if (role == Qt::DisplayRole)
        return m_columns[section].title;
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(Qt::Alignment(Qt::AlignCenter));
    return {};
}

void RowSetModel::onReset()
{
    beginResetModel();
    rebindFields();
    endResetModel();
    m_alignCache.clear();
    emit contentChanged();
}

void RowSetModel::onRowInserted(int row)
{
    // The RowSet has already added the row; announce it now.
    beginInsertRows({}, row, row);
    m_rowCount = m_set ? m_set->count() : 0;
    endInsertRows();
    m_alignCache.clear();
    emit contentChanged();
}

void RowSetModel::onRowRemoved(int row)
{
    if (row >= m_rowCount) {
        onReset();
        return;
    }
    beginRemoveRows({}, row, row);
    m_rowCount = m_set ? m_set->count() : 0;
    endRemoveRows();
    m_alignCache.clear();
    emit contentChanged();
}

void RowSetModel::onValueChanged(int row, int)
{
    // A style may depend on any field of the row (a negative quantity reddens the whole line).
    if (columnCount() > 0)
        emit dataChanged(index(row, 0), index(row, columnCount() - 1));
    m_alignCache.clear();
    emit contentChanged();
}

} // namespace tarvik
