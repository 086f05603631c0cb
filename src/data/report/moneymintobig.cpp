#include "data/report/moneymintobig.h"

#include "data/report/reportformat.h"

namespace tarvik {

QString moneyTwoDecimals(double amount)
{
    return roundedDecimalText(amount, 2);
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
