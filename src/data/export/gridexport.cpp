#include "data/export/gridexport.h"

#include "data/export/exportwriters.h"
#include "data/grid/datagrid.h"
#include "data/prompts.h"

#include <QDir>
#include <QFileInfo>
#include <QUrl>

namespace tarvik {

ExportTable exportTableFromGrid(const DataGrid &grid)
{
    ExportTable t;
    const QList<int> cols = grid.shownColumns();
    for (int c : cols) {
        const GridColumn &col = grid.column(c);
        t.titles << col.title;
        t.alignments << grid.cellAlignment(c);
        t.widths << col.width;
    }
    const int rows = grid.rowCount();
    t.rows.reserve(rows);
    for (int r = 0; r < rows; ++r) {
        QList<ExportCell> line;
        line.reserve(cols.size());
        for (int c : cols)
            line.append({grid.displayText(r, c), grid.value(r, c), grid.column(c).displayFormat});
        t.rows.append(std::move(line));
    }
    if (grid.hasFooter()) {
        for (int c : cols) {
            const GridColumn &col = grid.column(c);
            ExportCell cell{grid.footerText(c), {}, col.footerFormat};
            if (col.footerKind == FooterKind::Sum)
                cell.value = grid.footerValue(col.field);
            t.footer.append(cell);
        }
    }
    return t;
}

ExportFormat exportFormatOfFilter(int filterIndex)
{
    if (filterIndex < 1 || filterIndex > 5)
        return ExportFormat::Xlsx;
    return ExportFormat(filterIndex);
}

QString exportExtension(ExportFormat format)
{
    switch (format) {
    case ExportFormat::Xlsx:
        return QStringLiteral("xlsx");
    case ExportFormat::Text:
        return QStringLiteral("txt");
    case ExportFormat::Html:
        return QStringLiteral("htm");
    case ExportFormat::Rtf:
        return QStringLiteral("rtf");
    case ExportFormat::Csv:
        return QStringLiteral("csv");
    }
    return QStringLiteral("xlsx");
}

QString withExportExtension(const QString &file, const QString &extension)
{
    if (file.right(extension.size()).compare(extension, Qt::CaseInsensitive) == 0)
        return file;
    return file + QLatin1Char('.') + extension;
}

Result<void> writeExportFile(const ExportTable &table, const QString &file, ExportFormat format)
{
    switch (format) {
    case ExportFormat::Xlsx:
        return writeXlsx(table, file);
    case ExportFormat::Text:
        return writeTextFile(file, tabText(table), false);
    case ExportFormat::Html:
        return writeTextFile(file, htmlText(table), false);
    case ExportFormat::Rtf:
        return writeTextFile(file, rtfText(table), false);
    case ExportFormat::Csv:
        return writeTextFile(file, csvText(table), true);
    }
    return writeXlsx(table, file);
}

namespace {
QString &lastExportFolder()
{
    static QString folder;
    return folder;
}
} // namespace

bool ExportGrid(DataGrid *grid, const QString &defaultName, int filterIndex)
{
    if (!grid)
        return false;
    const QStringList filters = filtersFromPairs(kExportFilter);
    const auto choice = prompts().saveFile(QStringLiteral("导出数据"), lastExportFolder(), defaultName, filters,
                                           filterIndex >= 1 && filterIndex <= filters.size() ? filterIndex : 1);
    if (!choice || choice->file.isEmpty())
        return false;
    const ExportFormat format = exportFormatOfFilter(choice->filterIndex);
    const QString file = withExportExtension(choice->file, exportExtension(format));

    ExportTable table = exportTableFromGrid(*grid);
    table.name = QFileInfo(file).completeBaseName();
    if (auto r = writeExportFile(table, file, format); !r) {
        ShowMsg(r.error().message, MsgError, r.error().detail);
        return false;
    }
    lastExportFolder() = QFileInfo(file).absolutePath();

    const QString name = QFileInfo(file).fileName();
    if (ShowMsg(QStringLiteral("导出 “") + name + QStringLiteral("” 成功，打开该文件吗？"), MsgQuestion) == MsgOk) {
        if (!prompts().openUrl(QUrl::fromLocalFile(QFileInfo(file).absoluteFilePath())))
            ShowMsg(QStringLiteral("没有找到可以打开“") + name + QStringLiteral("”的程序。"), MsgWarning);
    }
    return true;
}

} // namespace tarvik
