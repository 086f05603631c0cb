#include "data/export/excelformat.h"

#include "data/grid/displayformat.h"

#include <QStringList>

#include <cmath>

namespace tarvik {

namespace {

struct Section {
    QString prefix;
    QString suffix;
    bool grouping = false;
    bool hasDigits = false;
    int minInt = 0;
    int minDec = 0;
    int maxDec = 0;
};

Section parse(const QString &text)
{
    Section s;
    bool afterPoint = false;
    int intPlaces = 0, firstZero = -1;
    QChar quote;
    for (QChar c : text) {
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
            else
                (s.hasDigits ? s.suffix : s.prefix) += c;
            continue;
        }
        if (c == QLatin1Char('"') || c == QLatin1Char('\'')) {
            quote = c;
        } else if (c == QLatin1Char('0') || c == QLatin1Char('#')) {
            s.hasDigits = true;
            s.suffix.clear(); // literals between digits are not kept
            if (afterPoint) {
                ++s.maxDec;
                if (c == QLatin1Char('0'))
                    s.minDec = s.maxDec;
            } else {
                if (c == QLatin1Char('0') && firstZero < 0)
                    firstZero = intPlaces;
                ++intPlaces;
            }
        } else if (c == QLatin1Char('.')) {
            afterPoint = true;
        } else if (c == QLatin1Char(',')) {
            if (!afterPoint)
                s.grouping = true;
        } else {
            (s.hasDigits ? s.suffix : s.prefix) += c;
        }
    }
    s.minInt = firstZero < 0 ? 0 : intPlaces - firstZero;
    return s;
}

// Literal text in Excel's notation: quoted runs, a double quote escaped by a backslash,
// signs and brackets as they are.
QString literal(const QString &text)
{
    QString out, run;
    auto flush = [&] {
        if (!run.isEmpty())
            out += QLatin1Char('"') + run + QLatin1Char('"');
        run.clear();
    };
    for (QChar c : text) {
        if (c == QLatin1Char('"')) {
            flush();
            out += QStringLiteral("\\\"");
        } else if (QStringLiteral("$-+/():!^&~{}<>= ").contains(c)) {
            flush();
            out += c; // Excel shows these without quotes
        } else {
            run += c;
        }
    }
    flush();
    return out;
}

QString excelSection(const Section &s, bool integral)
{
    if (!s.hasDigits)
        return literal(s.prefix + s.suffix);
    QString out = literal(s.prefix);
    if (s.grouping)
        out += QStringLiteral("#,##") + (s.minInt > 0 ? QString(std::min(s.minInt, 3), QLatin1Char('0')) : QStringLiteral("#"));
    else
        out += s.minInt > 0 ? QString(s.minInt, QLatin1Char('0')) : QStringLiteral("#");
    if (s.maxDec > 0 && !(integral && s.minDec == 0))
        out += QLatin1Char('.') + QString(s.minDec, QLatin1Char('0')) + QString(s.maxDec - s.minDec, QLatin1Char('#'));
    return out + literal(s.suffix);
}

} // namespace

QString excelNumberFormat(const QString &picture, double value)
{
    if (picture.trimmed().isEmpty())
        return {};
    const QStringList texts = pictureSections(picture);
    QList<Section> sections;
    for (const QString &t : texts)
        sections << parse(t);
    const bool hasNegative = texts.size() > 1 && !texts[1].isEmpty();
    const Section &used = value < 0 && hasNegative ? sections[1] : sections[0];
    const double r = roundHalfAway(std::fabs(value), used.maxDec);
    const bool integral = r == std::floor(r);

    QStringList parts;
    for (int i = 0; i < sections.size() && i < 3; ++i)
        parts << excelSection(sections[i], integral);
    if (parts.size() > 1 && !hasNegative)
        parts[1] = QLatin1Char('-') + parts[0];
    if (parts.size() > 2 && texts[2].isEmpty())
        parts[2] = parts[0];
    return parts.join(QLatin1Char(';'));
}

} // namespace tarvik
