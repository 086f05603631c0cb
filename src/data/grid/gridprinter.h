#pragma once

#include <QRectF>
#include <QString>

#include <functional>

class QPainter;
class QPagedPaintDevice;

namespace tarvik {

class DataGrid;

// How a grid is printed. Option 0: fit to the page width, rows grow to show
// wrapped text; option 1: fit to the page width, one line per row (texts cut
// to their column). Both print in colour.
struct GridPrintSettings {
    QString title;      // printed under an empty line, followed by an empty line
    int option = 1;
    QString footerText; // right of every page footer ("date": the print date)
    QString headerText; // left of every page header
};

// The footer text as printed: "date" becomes "打印日期：" + today.
QString gridPrintFooter(const QString &footer);

// Paints the grid's visible columns, all rows and the footer row page by page
// into `page` (in the painter's units). `newPage` starts the next page and
// returns false to stop early. Returns the number of pages painted.
int paintGrid(const DataGrid &grid, const GridPrintSettings &settings, QPainter &painter, const QRectF &page,
              const std::function<bool()> &newPage);

// Paints onto a printer or PDF writer; returns the page count (0 when the device cannot be painted on).
int printGrid(const DataGrid &grid, const GridPrintSettings &settings, QPagedPaintDevice &device);

// The grid print preview (QPrintPreviewDialog, run through prompts()).
// Option 0 or 1 chooses the set-up; any other value keeps the last one used
// (option 1 at first). Blank header and footer texts are left out.
bool PrintGrid(DataGrid *grid, const QString &title, int option, const QString &footer, const QString &header);

} // namespace tarvik
