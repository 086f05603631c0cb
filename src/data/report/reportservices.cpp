#include "data/report/reportservices.h"

#include "data/prompts.h"
#include "data/report/reportdesigner.h"
#include "data/report/reportpreview.h"
#include "data/rowset.h"
#include "data/widgets/checkeddateedit.h"

namespace tarvik {

int previewReport(Report &report)
{
    ReportPreview preview(report, activeOwner());
    return prompts().execDialog(preview);
}

int designReport(Report &report)
{
    ReportDesigner designer(report, activeOwner());
    return prompts().execDialog(designer);
}

void PrintBillReport(const QString &name, const RowSet &header, const RowSet &lines)
{
    if (header.isEmpty())
        return;
    Report report;
    report.load(name);
    report.setVariables(dataModuleReportVariable);
    report.setBill(header, lines);
    previewReport(report);
}

void DesignBillReport(const QString &name, const RowSet &header, const RowSet &lines)
{
    Report report;
    report.load(name);
    report.setVariables(dataModuleReportVariable);
    report.setBill(header, lines);
    designReport(report);
}

void PrintListReport(const QString &name, const RowSet &rows, const ReportColumns &columns, ReportVariables variables)
{
    if (rows.isEmpty())
        return;
    Report report;
    report.load(name);
    report.setVariables(std::move(variables));
    report.setList(rows, columns);
    previewReport(report);
}

void DesignListReport(const QString &name, const RowSet &rows, const ReportColumns &columns, ReportVariables variables)
{
    Report report;
    report.load(name);
    report.setVariables(std::move(variables));
    report.setList(rows, columns);
    designReport(report);
}

void PrintMasterDetailReport(const QString &name, const RowSet &master, const ReportColumns &columns,
                             const ReportDetail &detail, ReportVariables variables)
{
    if (master.isEmpty())
        return;
    Report report;
    report.load(name);
    report.setVariables(std::move(variables));
    report.setMasterDetail(master, columns, detail.rows, detail.columns, detail.masterKey, detail.detailKey);
    previewReport(report);
}

void DesignMasterDetailReport(const QString &name, const RowSet &master, const ReportColumns &columns,
                              const ReportDetail &detail, ReportVariables variables)
{
    Report report;
    report.load(name);
    report.setVariables(std::move(variables));
    report.setMasterDetail(master, columns, detail.rows, detail.columns, detail.masterKey, detail.detailKey);
    designReport(report);
}

QString DateRangeCaption(const QDate &from, const QDate &to, const QString &prefix)
{
    const QString pattern = QStringLiteral("yyyy年MM月dd日");
    const QString start = from.isValid() ? from.toString(pattern) : QStringLiteral("启用系统");
    const QString end = to.isValid() ? to.toString(pattern) : QStringLiteral("记帐最后一天");
    const QString word = prefix.trimmed().isEmpty() ? QStringLiteral("统计") : prefix;
    return word + QStringLiteral("日期：自 ") + start + QStringLiteral(" 至 ") + end;
}

QString DateRangeCaption(const CheckedDateEdit &from, const CheckedDateEdit &to, const QString &prefix)
{
    return DateRangeCaption(from.checkedDate(), to.checkedDate(), prefix);
}

} // namespace tarvik
