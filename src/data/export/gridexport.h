#pragma once

#include "data/result.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>

namespace tarvik {

class DataGrid;

// The export formats in the order of the save dialog's filter (1-based).
enum class ExportFormat { Xlsx = 1, Text = 2, Html = 3, Rtf = 4, Csv = 5 };

// The save dialog's filter and default extension.
inline const QString kExportFilter = QStringLiteral(
    "Excel 文档 (*.xlsx)|*.XLSX|Text files (*.txt)|*.TXT|HTML file (*.htm)|*.HTM|"
    "Rich Text Format (*.rtf)|*.RTF|Comma separated values (*.csv)|*.CSV");
inline const QString kExportDefaultExtension = QStringLiteral("XLSX");

// One exported cell: the text the grid shows and, for the workbook, the value
// behind it with its number picture.
struct ExportCell {
    QString text;
    QVariant value;
    QString picture;
};

// What a grid shows, ready to be written: visible columns in grid order, their
// titles, every row (not only the selection) and the footer row when the grid has one.
struct ExportTable {
    QStringList titles;
    QList<Qt::Alignment> alignments; // per column
    QList<int> widths;               // pixels, per column
    QList<QList<ExportCell>> rows;
    QList<ExportCell> footer;        // empty when the grid has no footer
    QString name;                    // sheet name / document title
};

ExportTable exportTableFromGrid(const DataGrid &grid);

// The format of a 1-based filter index (out of range gives the workbook).
ExportFormat exportFormatOfFilter(int filterIndex);
QString exportExtension(ExportFormat format); // "xlsx", "txt", "htm", "rtf", "csv"

// The chosen name with "." + extension appended unless its last characters,
// compared without regard to case, already are the extension.
QString withExportExtension(const QString &file, const QString &extension);

// Writes the table to `file` in the given format. The file is written under a
// temporary name in the target folder and renamed into place only when complete,
// so a failure leaves no half-written file (and an older file of that name intact).
Result<void> writeExportFile(const ExportTable &table, const QString &file, ExportFormat format);

// The export command of every list and query screen: the save dialog (filter above,
// the given default file name and filter index), the chosen format written with all
// rows of the grid, then the question "导出 “name” 成功，打开该文件吗？" and on OK the
// file handed to the desktop. A failure is shown as an error and the question is not
// asked. True when a file was written.
bool ExportGrid(DataGrid *grid, const QString &defaultName, int filterIndex);

} // namespace tarvik
