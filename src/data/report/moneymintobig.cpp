#include "data/report/moneymintobig.h"

#include <QLocale>

#include <cmath>

namespace tarvik {

QString moneyTwoDecimals(double amount)
{
    if (!std::isfinite(amount))
        return QStringLiteral("0.00");
    // Round the shortest decimal form of the value, not its binary
    // approximation, so 1.005 typed by the user rounds up as on paper.
    const QString shortest = QString::number(std::fabs(amount), 'f', QLocale::FloatingPointShortest);
    const qsizetype dot = shortest.indexOf(QLatin1Char('.'));
    QString whole = dot < 0 ? shortest : shortest.left(dot);
    QString frac = dot < 0 ? QString() : shortest.mid(dot + 1);
    const bool up = frac.size() > 2 && frac.at(2) >= QLatin1Char('5');
    frac = (frac + QStringLiteral("00")).left(2);
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
    return digits.left(digits.size() - 2) + QLatin1Char('.') + digits.right(2);
}

QString MoneyMinToBig(double amount)
{
    static const QString capitals = QStringLiteral("零壹贰叁肆伍陆柒捌玖");
    // Units of places -2..11; 千 (not 仟) for thousands and 十 at place 9, as the bills have always printed.
    static const QString units = QStringLiteral("分角元拾佰千万拾佰千亿十佰千");
    const QString text = moneyTwoDecimals(amount);

    QString result;
    int place = -2;
    for (qsizetype i = text.size() - 1; i >= 0; --i) {
        const QChar c = text.at(i);
        if (c == QLatin1Char('.'))
            continue;
        // Past place 11 (a trillion and more) the units go round again from 万 (万亿, 十万亿, ...).
        int p = place;
        while (p > 11)
            p -= 8;
        result.prepend(QString(capitals.at(c.digitValue())) + units.at(p + 2));
        ++place;
    }
    if (text.endsWith(QLatin1String("00"))) {
        result.chop(4);
        result += QStringLiteral("整");
    }
    return result;
}

} // namespace tarvik
