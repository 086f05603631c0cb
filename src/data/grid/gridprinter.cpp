#include "data/grid/gridprinter.h"

#include "data/grid/datagrid.h"
#include "data/prompts.h"
#include "data/session.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPagedPaintDevice>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QTextOption>

#include <algorithm>

namespace tarvik {

namespace {

struct Column {
    int index;
    double x;
    double width;
};

QTextOption cellOption(Qt::Alignment align, bool wrap)
{
    QTextOption o(align | Qt::AlignVCenter);
    o.setWrapMode(wrap ? QTextOption::WrapAtWordBoundaryOrAnywhere : QTextOption::NoWrap);
    return o;
}

} // namespace

QString gridPrintFooter(const QString &footer)
{
    if (footer.trimmed() == QLatin1String("date"))
        return QStringLiteral("打印日期：") + today().toString(QStringLiteral("yyyy-MM-dd"));
    return footer;
}

int paintGrid(const DataGrid &grid, const GridPrintSettings &settings, QPainter &p, const QRectF &page,
              const std::function<bool()> &newPage)
{
    const bool wrap = settings.option == 0;
    QFont body(QStringLiteral("宋体"));
    body.setPointSizeF(9);
    QFont bold = body;
    bold.setBold(true);
    QFont titleFont = body;
    titleFont.setPointSizeF(14);
    titleFont.setBold(true);
    QFont small = body;
    small.setPointSizeF(8);

    p.setFont(body);
    const QFontMetricsF fm(body, p.device());
    const double line = fm.height();
    const double pad = fm.averageCharWidth() * 0.5;
    const double rowHeight = line + 2 * pad;

    // Every visible column, widths scaled to fill the page width.
    QList<Column> cols;
    double designed = 0;
    for (int c : grid.shownColumns())
        designed += std::max(grid.column(c).width, 1);
    double x = page.left();
    for (int c : grid.shownColumns()) {
        const double w = designed > 0 ? page.width() * std::max(grid.column(c).width, 1) / designed : 0;
        cols.append({c, x, w});
        x += w;
    }

    const double headerBand = settings.headerText.trimmed().isEmpty() ? 0 : QFontMetricsF(small, p.device()).height() * 1.6;
    const QString footerText = settings.footerText.trimmed().isEmpty() ? QString() : gridPrintFooter(settings.footerText);
    const double footerBand = QFontMetricsF(small, p.device()).height() * 1.6;
    const double bodyTop = page.top() + headerBand;
    const double bodyBottom = page.bottom() - footerBand;

    int pageNo = 0;
    double y = 0;
    auto pageFrame = [&] {
        ++pageNo;
        p.setFont(small);
        p.setPen(Qt::black);
        if (headerBand > 0)
            p.drawText(QRectF(page.left(), page.top(), page.width(), headerBand), Qt::AlignLeft | Qt::AlignVCenter,
                       settings.headerText);
        const QRectF foot(page.left(), bodyBottom, page.width(), footerBand);
        p.drawText(foot, Qt::AlignHCenter | Qt::AlignVCenter, QStringLiteral("第 %1 页").arg(pageNo));
        if (!footerText.isEmpty())
            p.drawText(foot, Qt::AlignRight | Qt::AlignVCenter, footerText);
        p.setFont(body);
        y = bodyTop;
    };
    auto heightOf = [&](const QStringList &texts) {
        if (!wrap)
            return rowHeight;
        double h = rowHeight;
        for (int i = 0; i < cols.size() && i < texts.size(); ++i) {
            const QRectF r = fm.boundingRect(QRectF(0, 0, std::max(cols[i].width - 2 * pad, 1.0), 1e6),
                                             Qt::TextWordWrap | Qt::TextWrapAnywhere, texts[i]);
            h = std::max(h, r.height() + 2 * pad);
        }
        return std::min(h, bodyBottom - bodyTop - rowHeight); // a row never needs more than a page
    };
    auto drawRow = [&](const QStringList &texts, double h, const std::function<CellStyle(int)> &styleOf) {
        for (int i = 0; i < cols.size(); ++i) {
            const QRectF cell(cols[i].x, y, cols[i].width, h);
            const CellStyle st = styleOf(i);
            if (st.background.isValid())
                p.fillRect(cell, st.background);
            p.setPen(Qt::black);
            p.drawRect(cell);
            p.save();
            p.setClipRect(cell);
            p.setFont(st.bold ? bold : body);
            p.setPen(st.text.isValid() ? st.text : QColor(Qt::black));
            p.drawText(cell.adjusted(pad, pad * 0.5, -pad, -pad * 0.5), texts.value(i),
                       cellOption(grid.cellAlignment(cols[i].index), wrap));
            p.restore();
        }
        y += h;
    };
    QStringList titles;
    for (const auto &c : cols)
        titles << grid.column(c.index).title;
    auto drawTitles = [&] {
        const double h = heightOf(titles);
        for (int i = 0; i < cols.size(); ++i) {
            const QRectF cell(cols[i].x, y, cols[i].width, h);
            p.fillRect(cell, QColor(230, 230, 230));
            p.setPen(Qt::black);
            p.drawRect(cell);
            p.setFont(bold);
            p.drawText(cell.adjusted(pad, 0, -pad, 0), titles[i], cellOption(Qt::AlignHCenter, wrap));
        }
        p.setFont(body);
        y += h;
    };

    pageFrame();
    // Title lines: an empty line, the title, an empty line.
    if (!settings.title.isEmpty()) {
        const QFontMetricsF tfm(titleFont, p.device());
        y += line;
        p.setFont(titleFont);
        p.drawText(QRectF(page.left(), y, page.width(), tfm.height()), Qt::AlignHCenter | Qt::AlignVCenter,
                   settings.title);
        p.setFont(body);
        y += tfm.height() + line;
    }
    if (cols.isEmpty())
        return pageNo;
    drawTitles();

    for (int r = 0; r < grid.rowCount(); ++r) {
        QStringList texts;
        for (const auto &c : cols)
            texts << grid.displayText(r, c.index);
        const double h = heightOf(texts);
        if (y + h > bodyBottom && y > bodyTop + rowHeight * 1.5) {
            if (!newPage())
                return pageNo;
            pageFrame();
            drawTitles();
        }
        drawRow(texts, h, [&](int i) { return grid.cellStyle(r, cols[i].index); });
    }
    if (grid.hasFooter()) {
        QStringList texts;
        for (const auto &c : cols)
            texts << grid.footerText(c.index);
        const double h = heightOf(texts);
        if (y + h > bodyBottom) {
            if (!newPage())
                return pageNo;
            pageFrame();
            drawTitles();
        }
        CellStyle footerStyle;
        footerStyle.background = QColor(240, 240, 240);
        footerStyle.bold = true;
        drawRow(texts, h, [&](int) { return footerStyle; });
    }
    return pageNo;
}

int printGrid(const DataGrid &grid, const GridPrintSettings &settings, QPagedPaintDevice &device)
{
    QPainter p;
    if (!p.begin(&device))
        return 0;
    const QRectF page(QPointF(0, 0), QSizeF(device.width(), device.height()));
    const int pages = paintGrid(grid, settings, p, page, [&device] { return device.newPage(); });
    p.end();
    return pages;
}

bool PrintGrid(DataGrid *grid, const QString &title, int option, const QString &footer, const QString &header)
{
    if (!grid)
        return false;
    static int lastOption = 1;
    if (option == 0 || option == 1)
        lastOption = option;
    GridPrintSettings s;
    s.title = title;
    s.option = lastOption;
    s.footerText = footer;
    s.headerText = header;

    QPrinter printer(QPrinter::HighResolution);
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setPageMargins(QMarginsF(15, 15, 15, 15), QPageLayout::Millimeter);
    printer.setColorMode(QPrinter::Color);
    printer.setDocName(title);
    QPrintPreviewDialog dlg(&printer, grid->window());
    dlg.setWindowTitle(QStringLiteral("打印预览"));
    QObject::connect(&dlg, &QPrintPreviewDialog::paintRequested, &dlg,
                     [grid, s](QPrinter *target) { printGrid(*grid, s, *target); });
    prompts().execDialog(dlg);
    return true;
}

} // namespace tarvik
