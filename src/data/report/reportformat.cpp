#include "data/report/reportformat.h"

#include "data/database.h"
#include "data/grid/displayformat.h"
#include "data/schema.h"
#include "data/session.h"

#include <QHash>
#include <QRegularExpression>
#include <QSet>
#include <QLocale>

#include <cmath>

namespace tarvik {

namespace {

QString shortestText(double v)
{
    QString s = QString::number(v, 'f', QLocale::FloatingPointShortest);
    if (s == QLatin1String("-0"))
        s = QStringLiteral("0");
    return s;
}

// Every type a column name has anywhere in the schema (a name may mean
// different things in different tables: OperList.F_price is a right, DepotD.F_price money).
const QHash<QString, QSet<ColType>> &columnTypes()
{
    static const QHash<QString, QSet<ColType>> types = [] {
        QHash<QString, QSet<ColType>> t;
        for (const TableDef &table : schemaTables())
            for (const ColumnDef &c : table.columns)
                t[c.name.toLower()].insert(c.type);
        return t;
    }();
    return types;
}

bool isNumericType(int id)
{
    switch (id) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Double:
    case QMetaType::Float:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Long:
    case QMetaType::ULong:
        return true;
    default:
        return false;
    }
}

} // namespace

QString roundedDecimalText(double value, int decimals)
{
    if (!std::isfinite(value))
        value = 0;
    decimals = std::max(decimals, 0);
    const QString shortest = QString::number(std::fabs(value), 'f', QLocale::FloatingPointShortest);
    const qsizetype dot = shortest.indexOf(QLatin1Char('.'));
    const QString whole = dot < 0 ? shortest : shortest.left(dot);
    QString frac = dot < 0 ? QString() : shortest.mid(dot + 1);
    const bool up = frac.size() > decimals && frac.at(decimals) >= QLatin1Char('5');
    frac = (frac + QString(decimals, QLatin1Char('0'))).left(decimals);
    QString digits = whole + frac;
    if (up) {
        qsizetype i = digits.size() - 1;
        while (i >= 0 && digits.at(i) == QLatin1Char('9')) {
            digits[i] = QLatin1Char('0');
            --i;
        }
        if (i < 0)
            digits.prepend(QLatin1Char('1'));
        else
            digits[i] = QChar(digits.at(i).unicode() + 1);
    }
    if (decimals == 0)
        return digits;
    return digits.left(digits.size() - decimals) + QLatin1Char('.') + digits.right(decimals);
}

QString formatNumberPicture(double value, const QString &picture)
{
    if (!std::isfinite(value))
        value = 0;
    if (picture.trimmed().isEmpty())
        return shortestText(value);
    return formatNumber(value, picture);
}

FieldKind fieldKindOf(const QString &field, const QVariant &value)
{
    const int id = value.metaType().id();
    if (id == QMetaType::QDate || id == QMetaType::QDateTime)
        return FieldKind::Date;
    if (id == QMetaType::Bool)
        return FieldKind::Bool;
    const QSet<ColType> types = columnTypes().value(field.toLower());
    const bool numericValue = isNumericType(id);
    const bool textValue = id == QMetaType::QString;
    if (types.size() == 1 && types.contains(ColType::Bool) && (numericValue || value.isNull()))
        return FieldKind::Bool; // SQLite gives yes/no as 0 and 1
    if (types.contains(ColType::Date) && !numericValue) {
        static const QRegularExpression day(QStringLiteral("^\\d{4}-\\d{2}-\\d{2}"));
        if (value.isNull() || (textValue && day.match(value.toString()).hasMatch()))
            return FieldKind::Date;
    }
    if (numericValue)
        return FieldKind::Number;
    const bool numericColumn = types.contains(ColType::Double) || types.contains(ColType::Currency)
        || types.contains(ColType::Long) || types.contains(ColType::Auto);
    if (numericColumn && value.isNull())
        return FieldKind::Number;
    if (numericColumn && textValue) {
        bool ok = false;
        value.toString().trimmed().toDouble(&ok);
        if (ok)
            return FieldKind::Number; // NUMERIC read back as text
    }
    return FieldKind::Text;
}

QString defaultPictureFor(const QString &field)
{
    const SystemOptions &o = systemOptions();
    const QString f = field.toLower();
    QString picture;
    if (f.contains(QLatin1String("_rate")))
        picture = o.AmountFormat;
    if (f.contains(QLatin1String("_price")))
        picture = o.PriceFormat;
    if (f.contains(QLatin1String("totalprice")) || f.contains(QLatin1String("cbprice")))
        picture = o.TotalFormat;
    if (f.contains(QLatin1String("amount")))
        picture = o.AmountFormat;
    return picture;
}

double reportNumber(const QVariant &value)
{
    if (value.isNull())
        return 0;
    bool ok = false;
    const double d = value.toDouble(&ok);
    if (ok && std::isfinite(d))
        return d;
    const double t = value.toString().trimmed().toDouble(&ok);
    return ok && std::isfinite(t) ? t : 0;
}

QString reportDisplayText(const QString &field, const QVariant &value, const QString &picture)
{
    if (value.isNull())
        return {};
    switch (fieldKindOf(field, value)) {
    case FieldKind::Date:
        return isSentinelDate(value) ? QString() : dateText(value);
    case FieldKind::Bool:
        return value.toBool() ? QStringLiteral("是") : QStringLiteral("否");
    case FieldKind::Number: {
        if (value.metaType().id() == QMetaType::QString && value.toString().trimmed().isEmpty())
            return {};
        return formatNumberPicture(reportNumber(value), picture.isEmpty() ? defaultPictureFor(field) : picture);
    }
    case FieldKind::Text:
        break;
    }
    if (!picture.isEmpty() && isNumericType(value.metaType().id()))
        return formatNumberPicture(reportNumber(value), picture);
    return value.toString();
}

QString reportRawText(const QString &field, const QVariant &value)
{
    if (value.isNull())
        return {};
    switch (fieldKindOf(field, value)) {
    case FieldKind::Date:
        return dateText(value);
    case FieldKind::Bool:
        return value.toBool() ? QStringLiteral("1") : QStringLiteral("0");
    case FieldKind::Number:
        if (value.metaType().id() == QMetaType::QString && value.toString().trimmed().isEmpty())
            return {};
        return shortestText(reportNumber(value));
    case FieldKind::Text:
        break;
    }
    return value.toString();
}

} // namespace tarvik
