#pragma once

#include <QString>
#include <QVariantList>

namespace tarvik {

// A statement built from literal pieces, its values kept apart as bound parameters.
struct SqlStatement {
    QString sql;
    QVariantList params;

    SqlStatement &add(const QString &piece, const QVariantList &values = {})
    {
        sql += piece;
        params += values;
        return *this;
    }
    SqlStatement &add(const SqlStatement &other) { return add(other.sql, other.params); }
    bool isEmpty() const { return sql.isEmpty(); }
};

} // namespace tarvik
