#pragma once

#include <QList>
#include <QString>

namespace tarvik {

// One column of a list report, as the grid shows it: field, title, width in
// screen pixels, alignment, display picture and footer (a running sum of the
// column or a fixed text such as "合  计").
struct ReportColumn {
    QString field;
    QString title;
    int width = 80;
    Qt::Alignment alignment = Qt::AlignLeft;
    QString displayFormat;
    bool footerSum = false;
    QString footerText;
};

using ReportColumns = QList<ReportColumn>;

} // namespace tarvik
