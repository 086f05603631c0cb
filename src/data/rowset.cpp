#include "data/rowset.h"

#include <QDate>
#include <QPointer>
#include <QSqlRecord>

#include <algorithm>
#include <unordered_map>

namespace tarvik {

RowSet::RowSet(QObject *parent) : QObject(parent) {}

Result<void> RowSet::open(Database &db, const QString &sql, const QVariantList &params)
{
    auto q = db.exec(sql, params);
    if (!q)
        return q.error();
    m_sql = sql;
    m_params = params;
    m_useNamed = false;
    return load(*q);
}

Result<void> RowSet::open(Database &db, const QString &sql, const QVariantMap &params)
{
    auto q = db.exec(sql, params);
    if (!q)
        return q.error();
    m_sql = sql;
    m_named = params;
    m_useNamed = true;
    return load(*q);
}

Result<void> RowSet::reopen(Database &db)
{
    const int keyField = fieldIndex(QStringLiteral("F_ID"));
    const QVariant key = keyField >= 0 ? value(m_current, keyField) : QVariant();
    const int oldCurrent = m_current;
    const QString sortBy = m_sortField;
    const Qt::SortOrder order = m_sortOrder;
    auto r = m_useNamed ? open(db, m_sql, m_named) : open(db, m_sql, m_params);
    if (!r)
        return r;
    if (!sortBy.isEmpty())
        sort(sortBy, order);
    if (!key.isNull() && locate(QStringLiteral("F_ID"), key))
        return {};
    if (!m_rows.empty())
        setCurrent(std::clamp(oldCurrent, 0, count() - 1));
    return {};
}

Result<void> RowSet::load(QSqlQuery &q)
{
    const QSqlRecord rec = q.record();
    m_fields.clear();
    for (int i = 0; i < rec.count(); ++i)
        m_fields << rec.fieldName(i);
    rebuildIndex();
    m_rows.clear();
    m_removed.clear();
    ++m_generation;
    const int n = int(m_fields.size());
    while (q.next()) {
        Row r;
        r.values.resize(n);
        for (int i = 0; i < n; ++i)
            r.values[i] = q.value(i);
        r.original = r.values;
        r.uid = m_nextUid++;
        m_rows.push_back(std::move(r));
    }
    m_open = true;
    m_sortField.clear();
    m_current = m_rows.empty() ? -1 : 0;
    emit reset();
    emit currentChanged(m_current);
    return {};
}

void RowSet::setFields(const QStringList &fields)
{
    m_fields = fields;
    rebuildIndex();
    m_rows.clear();
    m_removed.clear();
    ++m_generation;
    m_open = true;
    m_sql.clear();
    m_current = -1;
    emit reset();
    emit currentChanged(m_current);
}

void RowSet::close()
{
    m_fields.clear();
    m_index.clear();
    m_rows.clear();
    m_removed.clear();
    ++m_generation;
    m_open = false;
    m_current = -1;
    emit reset();
    emit currentChanged(m_current);
}

void RowSet::rebuildIndex()
{
    m_index.clear();
    for (int i = 0; i < m_fields.size(); ++i) {
        const QString k = m_fields[i].toLower();
        if (!m_index.contains(k))
            m_index.insert(k, i);
    }
}

int RowSet::fieldIndex(const QString &name) const
{
    return m_index.value(name.toLower(), -1);
}

int RowSet::addField(const QString &name)
{
    if (int i = fieldIndex(name); i >= 0)
        return i;
    m_fields << name;
    rebuildIndex();
    for (auto &r : m_rows) {
        r.values.append(QVariant());
        r.original.append(QVariant());
    }
    for (auto &d : m_removed) {
        d.row.values.append(QVariant());
        d.row.original.append(QVariant());
    }
    emit reset();
    return int(m_fields.size()) - 1;
}

QVariant RowSet::value(int row, int field) const
{
    if (row < 0 || row >= count() || field < 0 || field >= fieldCount())
        return {};
    return m_rows[size_t(row)].values[field];
}

QVariantMap RowSet::rowMap(int row) const
{
    QVariantMap m;
    for (int i = 0; i < fieldCount(); ++i)
        m.insert(m_fields[i], value(row, i));
    return m;
}

void RowSet::setValue(int row, int field, const QVariant &v)
{
    if (row < 0 || row >= count() || field < 0 || field >= fieldCount())
        return;
    QVariant &slot = m_rows[size_t(row)].values[field];
    if (sameValue(slot, v) && slot.isNull() == v.isNull())
        return;
    slot = v;
    emit valueChanged(row, field);
}

void RowSet::setValue(int row, const QString &field, const QVariant &v)
{
    int f = fieldIndex(field);
    Q_ASSERT_X(f >= 0, "RowSet::setValue", qPrintable(field));
    setValue(row, f, v);
}

int RowSet::append()
{
    Row r;
    r.values.resize(fieldCount());
    r.original.resize(fieldCount());
    r.inserted = true;
    r.uid = m_nextUid++;
    m_rows.push_back(std::move(r));
    const int row = count() - 1;
    emit rowInserted(row);
    setCurrent(row);
    return row;
}

int RowSet::appendRow(const QVariantMap &values)
{
    const int row = append();
    for (auto it = values.begin(); it != values.end(); ++it) {
        int f = fieldIndex(it.key());
        if (f < 0)
            f = addField(it.key());
        setValue(row, f, it.value());
    }
    return row;
}

void RowSet::remove(int row)
{
    if (row < 0 || row >= count())
        return;
    Row r = std::move(m_rows[size_t(row)]);
    m_rows.erase(m_rows.begin() + row);
    if (!r.inserted)
        m_removed.push_back({row, std::move(r)});
    emit rowRemoved(row);
    if (m_current >= count())
        m_current = count() - 1;
    emit currentChanged(m_current);
}

bool RowSet::isNew(int row) const
{
    return row >= 0 && row < count() && m_rows[size_t(row)].inserted;
}

bool RowSet::rowChanged(const Row &r) const
{
    for (int i = 0; i < r.values.size(); ++i)
        if (!sameValue(r.values[i], r.original[i]))
            return true;
    return false;
}

bool RowSet::isModified(int row) const
{
    return row >= 0 && row < count() && !m_rows[size_t(row)].inserted && rowChanged(m_rows[size_t(row)]);
}

bool RowSet::hasPendingChanges() const
{
    if (!m_removed.empty())
        return true;
    for (const auto &r : m_rows)
        if (r.inserted || rowChanged(r))
            return true;
    return false;
}

void RowSet::setCurrent(int row)
{
    if (m_rows.empty())
        row = -1;
    else
        row = std::clamp(row, 0, count() - 1);
    if (row == m_current)
        return;
    m_current = row;
    emit currentChanged(m_current);
}

bool RowSet::locate(const QString &field, const QVariant &v)
{
    const int f = fieldIndex(field);
    if (f < 0)
        return false;
    const QString wanted = v.toString();
    for (int i = 0; i < count(); ++i)
        if (m_rows[size_t(i)].values[f].toString() == wanted) {
            setCurrent(i);
            return true;
        }
    return false;
}

namespace {

bool isNumber(const QVariant &v)
{
    switch (v.metaType().id()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Double:
    case QMetaType::Float:
    case QMetaType::Bool:
        return true;
    default:
        return false;
    }
}

int compareValues(const QVariant &a, const QVariant &b)
{
    if (a.isNull() || b.isNull())
        return int(!a.isNull()) - int(!b.isNull());
    if (isNumber(a) && isNumber(b)) {
        const double x = a.toDouble(), y = b.toDouble();
        return x < y ? -1 : (x > y ? 1 : 0);
    }
    if (a.metaType().id() == QMetaType::QDate || b.metaType().id() == QMetaType::QDate)
        return QString::compare(dateText(a), dateText(b));
    return QString::compare(a.toString(), b.toString());
}

} // namespace

bool RowSet::sameValue(const QVariant &a, const QVariant &b)
{
    if (a.isNull() || b.isNull())
        return a.isNull() && b.isNull();
    if (isNumber(a) && isNumber(b))
        return a.toDouble() == b.toDouble();
    if (a.metaType().id() == QMetaType::QDate || b.metaType().id() == QMetaType::QDate)
        return dateText(a) == dateText(b);
    return a.toString() == b.toString();
}

void RowSet::sort(const QString &field, Qt::SortOrder order)
{
    const int f = fieldIndex(field);
    if (f < 0)
        return;
    const quint64 currentUid = m_current >= 0 ? m_rows[size_t(m_current)].uid : 0;
    std::stable_sort(m_rows.begin(), m_rows.end(), [&](const Row &x, const Row &y) {
        const int c = compareValues(x.values[f], y.values[f]);
        return order == Qt::AscendingOrder ? c < 0 : c > 0;
    });
    m_sortField = m_fields[f];
    m_sortOrder = order;
    emit reset();
    for (int i = 0; i < count(); ++i)
        if (m_rows[size_t(i)].uid == currentUid) {
            m_current = i;
            break;
        }
    emit currentChanged(m_current);
}

namespace {

QVariant columnValue(const ColumnDef &col, const QVariant &v, Engine engine)
{
    if (v.isNull())
        return v;
    switch (col.type) {
    case ColType::Currency:
        return engine == Engine::SQLite ? QVariant(roundMoney(v.toDouble())) : v;
    case ColType::Date: {
        const QDate d = toDate(v);
        return d.isValid() ? QVariant(d) : QVariant();
    }
    case ColType::Bool:
        return QVariant(v.toBool());
    case ColType::Long:
    case ColType::Double:
        if (v.metaType().id() == QMetaType::QString && v.toString().trimmed().isEmpty())
            return QVariant();
        return v;
    default:
        return v;
    }
}

} // namespace

Result<void> RowSet::applyUpdates(Database &db, const QString &table, const QString &key)
{
    const TableDef *def = findTable(table);
    Q_ASSERT_X(def, "RowSet::applyUpdates", qPrintable(table));
    if (!def)
        return makeError(QStringLiteral("保存失败，请检测数据库连接！"), QStringLiteral("unknown table ") + table);
    const int keyField = fieldIndex(key);
    if (!hasPendingChanges())
        return {};

    Transaction tx(db);
    if (!tx.ok())
        return tx.error();

    for (const auto &d : m_removed) {
        if (keyField < 0 || d.row.values[keyField].isNull())
            continue;
        auto r = db.exec(QStringLiteral("DELETE FROM %1 WHERE %2 = ?").arg(def->name, key), {d.row.values[keyField]});
        if (!r)
            return r.error();
    }

    std::unordered_map<quint64, qint64> newKeys;
    for (const auto &row : m_rows) {
        if (row.inserted) {
            QStringList cols, marks;
            QVariantList vals;
            for (int i = 0; i < fieldCount(); ++i) {
                if (i == keyField || row.values[i].isNull())
                    continue;
                const ColumnDef *col = def->column(m_fields[i]);
                if (!col || col->type == ColType::Auto)
                    continue;
                const QVariant v = columnValue(*col, row.values[i], db.engine());
                if (v.isNull())
                    continue;
                cols << col->name;
                marks << QStringLiteral("?");
                vals << v;
            }
            QString sql = cols.isEmpty()
                ? QStringLiteral("INSERT INTO %1 DEFAULT VALUES").arg(def->name)
                : QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)").arg(def->name, cols.join(QLatin1Char(',')), marks.join(QLatin1Char(',')));
            if (def->hasColumn(key)) {
                auto id = db.insert(sql, vals);
                if (!id)
                    return id.error();
                newKeys[row.uid] = *id;
            } else if (auto r = db.exec(sql, vals); !r) {
                return r.error();
            }
        } else if (rowChanged(row)) {
            if (keyField < 0)
                return makeError(QStringLiteral("保存失败，请检测数据库连接！"), QStringLiteral("no key field ") + key);
            QStringList sets;
            QVariantList vals;
            for (int i = 0; i < fieldCount(); ++i) {
                if (i == keyField || sameValue(row.values[i], row.original[i]))
                    continue;
                const ColumnDef *col = def->column(m_fields[i]);
                if (!col || col->type == ColType::Auto)
                    continue;
                sets << col->name + QStringLiteral(" = ?");
                vals << columnValue(*col, row.values[i], db.engine());
            }
            if (sets.isEmpty())
                continue;
            vals << row.values[keyField];
            auto r = db.exec(QStringLiteral("UPDATE %1 SET %2 WHERE %3 = ?").arg(def->name, sets.join(QLatin1Char(',')), key), vals);
            if (!r)
                return r.error();
        }
    }

    // The rows count as stored only once the outermost transaction commits.
    QPointer<RowSet> self(this);
    const quint64 generation = m_generation;
    db.afterCommit([self, generation, keyField, newKeys = std::move(newKeys)]() {
        if (!self || self->m_generation != generation)
            return;
        for (auto &row : self->m_rows) {
            if (row.inserted) {
                auto it = newKeys.find(row.uid);
                if (it != newKeys.end() && keyField >= 0)
                    row.values[keyField] = it->second;
                row.inserted = false;
            }
            row.original = row.values;
        }
        self->m_removed.clear();
    });
    return tx.commit();
}

void RowSet::cancelUpdates()
{
    std::vector<Row> kept;
    kept.reserve(m_rows.size() + m_removed.size());
    for (auto &r : m_rows) {
        if (r.inserted)
            continue;
        r.values = r.original;
        kept.push_back(std::move(r));
    }
    // Put removed rows back where they were, earliest removal last so positions hold.
    for (auto it = m_removed.rbegin(); it != m_removed.rend(); ++it) {
        Row r = std::move(it->row);
        r.values = r.original;
        const size_t at = std::min(size_t(std::max(it->position, 0)), kept.size());
        kept.insert(kept.begin() + at, std::move(r));
    }
    m_rows = std::move(kept);
    m_removed.clear();
    if (m_current >= count())
        m_current = count() - 1;
    if (m_current < 0 && !m_rows.empty())
        m_current = 0;
    emit reset();
    emit currentChanged(m_current);
}

} // namespace tarvik
