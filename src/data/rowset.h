#pragma once

#include "data/database.h"

#include <QHash>
#include <QObject>
#include <QStringList>
#include <QVariant>
#include <QVector>

#include <vector>

namespace tarvik {

// Rows read from one statement and held in memory. Edits, appends and deletes
// stay pending until applyUpdates writes them in one transaction (or
// cancelUpdates drops them). A write that fails leaves every row and every
// pending change as it was, so the next write stores exactly what is shown.
class RowSet : public QObject {
    Q_OBJECT
public:
    explicit RowSet(QObject *parent = nullptr);

    Result<void> open(Database &db, const QString &sql, const QVariantList &params = {});
    Result<void> open(Database &db, const QString &sql, const QVariantMap &params);
    // Re-runs the last statement; the current row moves to the row with the same key when there is one.
    Result<void> reopen(Database &db);
    void setFields(const QStringList &fields); // an empty in-memory set
    void close();
    bool isOpen() const { return m_open; }
    QString sql() const { return m_sql; }

    int fieldCount() const { return int(m_fields.size()); }
    QString fieldName(int field) const { return m_fields.value(field); }
    const QStringList &fieldNames() const { return m_fields; }
    int fieldIndex(const QString &name) const; // case-insensitive, -1 when absent
    bool hasField(const QString &name) const { return fieldIndex(name) >= 0; }
    int addField(const QString &name); // an extra field, null in every row

    int count() const { return int(m_rows.size()); }
    bool isEmpty() const { return m_rows.empty(); }

    QVariant value(int row, int field) const;
    QVariant value(int row, const QString &field) const { return value(row, fieldIndex(field)); }
    QVariant value(const QString &field) const { return value(m_current, fieldIndex(field)); }
    QString text(int row, const QString &field) const { return value(row, field).toString(); }
    QString text(const QString &field) const { return value(field).toString(); }
    QVariantMap rowMap(int row) const;

    void setValue(int row, int field, const QVariant &v);
    void setValue(int row, const QString &field, const QVariant &v);
    void setValue(const QString &field, const QVariant &v) { setValue(m_current, field, v); }

    int append(); // a new empty row, made current
    int appendRow(const QVariantMap &values);
    void remove(int row);
    bool isNew(int row) const;
    bool isModified(int row) const;
    bool hasPendingChanges() const;

    int current() const { return m_current; }
    void setCurrent(int row);
    bool locate(const QString &field, const QVariant &value); // exact match on the value's text

    void sort(const QString &field, Qt::SortOrder order);
    QString sortField() const { return m_sortField; }
    Qt::SortOrder sortOrder() const { return m_sortOrder; }

    // Writes pending changes to `table` (only its own columns), keyed by `key`.
    // Joins an open transaction: the rows count as stored once it commits.
    Result<void> applyUpdates(Database &db, const QString &table, const QString &key = QStringLiteral("F_ID"));
    void cancelUpdates();

    static bool sameValue(const QVariant &a, const QVariant &b);

signals:
    void reset();                     // all rows replaced (open, sort, cancel)
    void rowInserted(int row);
    void rowRemoved(int row);
    void valueChanged(int row, int field);
    void currentChanged(int row);

private:
    struct Row {
        QVector<QVariant> values;
        QVector<QVariant> original;
        bool inserted = false;
        quint64 uid = 0;
    };
    struct Removed {
        int position;
        Row row;
    };

    Result<void> load(QSqlQuery &q);
    void rebuildIndex();
    bool rowChanged(const Row &r) const;

    bool m_open = false;
    QString m_sql;
    QVariantList m_params;
    QVariantMap m_named;
    bool m_useNamed = false;
    QStringList m_fields;
    QHash<QString, int> m_index;
    std::vector<Row> m_rows;
    std::vector<Removed> m_removed;
    int m_current = -1;
    quint64 m_nextUid = 1;
    quint64 m_generation = 0; // bumped when the rows are replaced, so late commit hooks leave new rows alone
    QString m_sortField;
    Qt::SortOrder m_sortOrder = Qt::AscendingOrder;
};

} // namespace tarvik
