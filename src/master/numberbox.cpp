#include "master/numberbox.h"

#include <QLocale>

namespace tarvik {

NumberBox::NumberBox(QWidget *parent, int minDecimals, int maxDecimals) : QDoubleSpinBox(parent), m_min(minDecimals)
{
    setButtonSymbols(QAbstractSpinBox::NoButtons);
    setRange(-1e12, 1e12);
    setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    setPlaces(minDecimals, maxDecimals);
}

void NumberBox::setPlaces(int minDecimals, int maxDecimals)
{
    m_min = std::max(0, minDecimals);
    setDecimals(std::max(m_min, maxDecimals));
    setValue(value()); // redraw in the new form
}

namespace {
QLocale grouped()
{
    QLocale l = QLocale::c();
    l.setNumberOptions(QLocale::DefaultNumberOptions);
    return l;
}
} // namespace

QString NumberBox::textFromValue(double v) const
{
    static const QLocale locale = grouped();
    QString text = locale.toString(v, 'f', decimals());
    if (const qsizetype dot = text.indexOf(QLatin1Char('.')); dot >= 0) {
        qsizetype keep = text.size();
        while (keep > dot + 1 + m_min && text.at(keep - 1) == QLatin1Char('0'))
            --keep;
        if (keep == dot + 1)
            --keep; // no places left: no point either
        text.truncate(keep);
    }
    return text;
}

double NumberBox::valueFromText(const QString &text) const
{
    QString plain = text;
    plain.remove(QLatin1Char(','));
    return QLocale::c().toDouble(plain.trimmed());
}

QValidator::State NumberBox::validate(QString &input, int &) const
{
    QString plain = input;
    plain.remove(QLatin1Char(','));
    plain = plain.trimmed();
    if (plain.isEmpty() || plain == QLatin1String("-") || plain == QLatin1String(".") || plain == QLatin1String("-."))
        return QValidator::Intermediate;
    bool ok = false;
    const double v = QLocale::c().toDouble(plain, &ok);
    if (!ok)
        return QValidator::Invalid;
    const qsizetype dot = plain.indexOf(QLatin1Char('.'));
    if (dot >= 0 && plain.size() - dot - 1 > decimals())
        return QValidator::Invalid;
    return (v >= minimum() && v <= maximum()) ? QValidator::Acceptable : QValidator::Invalid;
}

} // namespace tarvik
