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
    QString footerFormat; // picture of the footer sum; empty: displayFormat

    ReportColumn() = default;
    ReportColumn(QString f, QString t, int w = 80, Qt::Alignment a = Qt::AlignLeft, QString format = {},
                 bool sum = false, QString text = {}, QString sumFormat = {})
        : field(std::move(f)), title(std::move(t)), width(w), alignment(a), displayFormat(std::move(format)),
          footerSum(sum), footerText(std::move(text)), footerFormat(std::move(sumFormat))
    {
    }
};

using ReportColumns = QList<ReportColumn>;

class DataGrid;
// The columns a grid shows, in its order, for a list report: hidden and
// withheld (price) columns left out, titles, widths, alignment (numbers right
// when the grid leaves it open), pictures and footers as the grid has them.
ReportColumns reportColumnsOf(const DataGrid &grid);

} // namespace tarvik
