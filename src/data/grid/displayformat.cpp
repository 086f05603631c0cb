#include "data/grid/displayformat.h"

#include "data/database.h"

#include <QDate>
#include <QDateTime>

#include <cmath>
#include <cstdio>

namespace tarvik {

namespace {

// |value| as decimal digits: integer part and fraction part, from its 15
// significant digits (the precision a double holds), so 1.005 rounds as typed.
struct Decimal {
    QString intPart;  // no leading zeros; empty for 0
    QString fracPart; // digits after the point
};

Decimal toDecimal(double value)
{
    Decimal d;
    value = std::fabs(value);
    if (value == 0.0 || !std::isfinite(value))
        return d;
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.14e", value); // d.dddddddddddddde±XX
    const QString s = QString::fromLatin1(buf);
    const int e = s.indexOf(QLatin1Char('e'));
    QString digits = s.left(e);
    digits.remove(QLatin1Char('.'));
    const int exponent = s.mid(e + 1).toInt();
    const int point = exponent + 1; // digits before the decimal point
    if (point <= 0) {
        d.fracPart = QString(-point, QLatin1Char('0')) + digits;
    } else if (point >= digits.size()) {
        d.intPart = digits + QString(point - digits.size(), QLatin1Char('0'));
    } else {
        d.intPart = digits.left(point);
        d.fracPart = digits.mid(point);
    }
    while (d.intPart.startsWith(QLatin1Char('0')))
        d.intPart.remove(0, 1);
    return d;
}

// Rounds half away from zero to `decimals` fraction digits (fracPart gets exactly that many).
void roundDecimal(Decimal &d, int decimals)
{
    if (d.fracPart.size() <= decimals) {
        d.fracPart += QString(decimals - d.fracPart.size(), QLatin1Char('0'));
        return;
    }
    const bool up = d.fracPart.at(decimals) >= QLatin1Char('5');
    d.fracPart.truncate(decimals);
    if (!up)
        return;
    QString all = d.intPart + d.fracPart;
    int i = all.size() - 1;
    for (; i >= 0; --i) {
        if (all[i] == QLatin1Char('9')) {
            all[i] = QLatin1Char('0');
        } else {
            all[i] = QChar(all[i].unicode() + 1);
            break;
        }
    }
    if (i < 0)
        all.prepend(QLatin1Char('1'));
    d.intPart = all.left(all.size() - decimals);
    d.fracPart = all.right(decimals);
    while (d.intPart.startsWith(QLatin1Char('0')))
        d.intPart.remove(0, 1);
}

bool isZero(const Decimal &d)
{
    for (QChar c : d.intPart)
        if (c != QLatin1Char('0'))
            return false;
    for (QChar c : d.fracPart)
        if (c != QLatin1Char('0'))
            return false;
    return true;
}

struct Section {
    QString prefix; // literals before the first digit placeholder
    QString suffix; // literals after it
    int intZeros = 0;
    int minDecimals = 0;
    int maxDecimals = 0;
    bool grouping = false;
    bool hasDigits = false;
};

Section parseSection(const QString &s)
{
    Section sec;
    bool afterPoint = false;
    QChar quote;
    for (int i = 0; i < s.size(); ++i) {
        const QChar c = s[i];
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
            else
                (sec.hasDigits ? sec.suffix : sec.prefix) += c;
            continue;
        }
        if (c == QLatin1Char('"') || c == QLatin1Char('\'')) {
            quote = c;
        } else if (c == QLatin1Char('0') || c == QLatin1Char('#')) {
            sec.hasDigits = true;
            if (afterPoint) {
                ++sec.maxDecimals;
                if (c == QLatin1Char('0'))
                    sec.minDecimals = sec.maxDecimals;
            } else if (c == QLatin1Char('0')) {
                ++sec.intZeros;
            }
        } else if (c == QLatin1Char('.')) {
            if (!afterPoint)
                afterPoint = true;
            // a second point is ignored
        } else if (c == QLatin1Char(',')) {
            sec.grouping = true;
        } else {
            (sec.hasDigits ? sec.suffix : sec.prefix) += c;
        }
    }
    return sec;
}

QString renderSection(const Section &sec, double value)
{
    if (!sec.hasDigits)
        return sec.prefix + sec.suffix;
    Decimal d = toDecimal(value);
    roundDecimal(d, sec.maxDecimals);
    QString intText = d.intPart;
    if (intText.size() < sec.intZeros)
        intText.prepend(QString(sec.intZeros - intText.size(), QLatin1Char('0')));
    if (sec.grouping && intText.size() > 3) {
        for (int i = intText.size() - 3; i > 0; i -= 3)
            intText.insert(i, QLatin1Char(','));
    }
    QString frac = d.fracPart;
    while (frac.size() > sec.minDecimals && frac.endsWith(QLatin1Char('0')))
        frac.chop(1);
    QString out = sec.prefix + intText;
    if (!frac.isEmpty())
        out += QLatin1Char('.') + frac;
    return out + sec.suffix;
}

QString generalNumber(const QVariant &v)
{
    switch (v.metaType().id()) {
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::UInt:
    case QMetaType::ULongLong:
        return v.toString();
    default: {
        const double d = v.toDouble();
        if (d == 0.0)
            return QStringLiteral("0");
        return QString::number(d, 'g', 15);
    }
    }
}

bool looksLikeDateText(const QString &s)
{
    if (s.size() < 10 || s.size() > 26)
        return false;
    for (int i = 0; i < 10; ++i) {
        const QChar c = s[i];
        const bool dash = i == 4 || i == 7;
        if (dash ? c != QLatin1Char('-') : !c.isDigit())
            return false;
    }
    return s.size() == 10 || s[10] == QLatin1Char(' ') || s[10] == QLatin1Char('T');
}

} // namespace

QStringList pictureSections(const QString &picture)
{
    QStringList out;
    QString cur;
    QChar quote;
    for (QChar c : picture) {
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
        } else if (c == QLatin1Char('"') || c == QLatin1Char('\'')) {
            quote = c;
        } else if (c == QLatin1Char(';')) {
            out << cur;
            cur.clear();
            continue;
        }
        cur += c;
    }
    out << cur;
    return out;
}

QString formatNumber(double value, const QString &picture)
{
    if (!std::isfinite(value))
        return QString::number(value);
    if (picture.isEmpty())
        return generalNumber(QVariant(value));
    const QStringList sections = pictureSections(picture);
    const Section positive = parseSection(sections[0]);

    // Which section applies is decided on the value as the positive section rounds it.
    Decimal rounded = toDecimal(value);
    roundDecimal(rounded, positive.maxDecimals);
    if (positive.hasDigits && isZero(rounded)) {
        if (sections.size() > 2 && !sections[2].isEmpty())
            return renderSection(parseSection(sections[2]), 0.0);
        return renderSection(positive, 0.0);
    }
    if (value < 0) {
        if (sections.size() > 1 && !sections[1].isEmpty())
            return renderSection(parseSection(sections[1]), -value);
        return QLatin1Char('-') + renderSection(positive, -value);
    }
    return renderSection(positive, value);
}

PictureDigits pictureDigits(const QString &picture)
{
    const Section s = parseSection(pictureSections(picture).value(0));
    return {s.minDecimals, s.maxDecimals, s.grouping, s.hasDigits};
}

double roundHalfAway(double value, int decimals)
{
    if (!std::isfinite(value))
        return value;
    Decimal d = toDecimal(value);
    roundDecimal(d, std::max(decimals, 0));
    QString text = (d.intPart.isEmpty() ? QStringLiteral("0") : d.intPart);
    if (!d.fracPart.isEmpty())
        text += QLatin1Char('.') + d.fracPart;
    const double r = text.toDouble();
    return value < 0 ? -r : r;
}

bool isNumericValue(const QVariant &v)
{
    switch (v.metaType().id()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Double:
    case QMetaType::Float:
    case QMetaType::Short:
    case QMetaType::UShort:
        return true;
    default:
        return false;
    }
}

bool isDateValue(const QVariant &v)
{
    const int t = v.metaType().id();
    if (t == QMetaType::QDate || t == QMetaType::QDateTime)
        return true;
    return t == QMetaType::QString && looksLikeDateText(v.toString());
}

QString formatDisplay(const QVariant &value, const QString &picture)
{
    if (!value.isValid() || value.isNull())
        return {};
    const int t = value.metaType().id();
    if (t == QMetaType::Bool)
        return value.toBool() ? QStringLiteral("是") : QStringLiteral("否");
    if (isNumericValue(value))
        return picture.isEmpty() ? generalNumber(value) : formatNumber(value.toDouble(), picture);
    if (t == QMetaType::QDate || t == QMetaType::QDateTime) {
        if (isSentinelDate(value))
            return {};
        if (t == QMetaType::QDateTime) {
            const QDateTime dt = value.toDateTime();
            if (dt.time() != QTime(0, 0))
                return dt.toString(QStringLiteral("yyyy-MM-dd hh:mm:ss"));
        }
        return dateText(value);
    }
    const QString text = value.toString();
    if (looksLikeDateText(text)) {
        // Absent dates are stored as "1900-08-14" and shown empty.
        if (text.left(10) < QLatin1String("1901-08-14"))
            return {};
        return text;
    }
    if (!picture.isEmpty()) {
        bool ok = false;
        const double d = text.trimmed().toDouble(&ok);
        if (ok)
            return formatNumber(d, picture);
    }
    return text;
}

} // namespace tarvik
