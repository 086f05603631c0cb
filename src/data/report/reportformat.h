#pragma once

#include <QString>
#include <QVariant>

namespace tarvik {

// A number by a grid picture (formatNumber of the grids), so reports print
// what the grid shows; an empty picture gives the shortest exact text.
QString formatNumberPicture(double value, const QString &picture);

// Rounds the shortest decimal text of |value| to `decimals` places, half away
// from zero; returns the digits with a "." (no sign).
QString roundedDecimalText(double value, int decimals);

// What the report shows for a field, judged from the value and the column
// name (the schema knows which columns are dates and yes/no).
enum class FieldKind { Text, Number, Date, Bool };
FieldKind fieldKindOf(const QString &field, const QVariant &value);

// The display picture a field gets when no column says otherwise, after the
// names the grids use: "amount" quantities, "price" unit prices, "totalprice"
// and "cbprice" money (the system options' formats).
QString defaultPictureFor(const QString &field);

// The text a report prints: numbers by the picture (or the default one), day
// dates "yyyy-MM-dd" with absent dates (before 1901-08-14) empty, yes/no "是"/"否".
QString reportDisplayText(const QString &field, const QVariant &value, const QString &picture = {});
// The plain value as text: numbers in full with "." as decimal point, dates
// "yyyy-MM-dd", yes/no "1"/"0".
QString reportRawText(const QString &field, const QVariant &value);
// The numeric value of a field (0 for null and text that is not a number).
double reportNumber(const QVariant &value);

} // namespace tarvik
