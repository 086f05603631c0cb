#pragma once

#include "data/report/report.h"

#include <QDate>
#include <QString>

namespace tarvik {

class CheckedDateEdit;
class RowSet;

// Printing and designing through templates Qr/<name>.html. Every request
// sets its own variables: bills get the data module's (PageMaxRow,
// sCurKHname); lists get the screen's supplier, with the data module's
// answering what the screen's does not. Previews and designers are modal
// (through prompts().execDialog).

// Previews a bill: "frxDM" the current header row, "frxDD" the lines.
// Nothing happens when the header has no rows.
void PrintBillReport(const QString &name, const RowSet &header, const RowSet &lines);
// Opens the designer on a bill template (also with an empty header).
void DesignBillReport(const QString &name, const RowSet &header, const RowSet &lines);

// Previews a list: "frxDM" every row, with the columns the grid shows.
// Nothing happens when the list is empty.
void PrintListReport(const QString &name, const RowSet &rows, const ReportColumns &columns,
                     ReportVariables variables = {});
void DesignListReport(const QString &name, const RowSet &rows, const ReportColumns &columns,
                      ReportVariables variables = {});

// Templates with a list and a detail list (requirement lists, the product list):
// every row of "frxDM" holds its "frxDD" rows linked by masterKey = detailKey.
struct ReportDetail {
    const RowSet &rows;
    ReportColumns columns;
    QString masterKey;
    QString detailKey;
};
void PrintMasterDetailReport(const QString &name, const RowSet &master, const ReportColumns &columns,
                             const ReportDetail &detail, ReportVariables variables = {});
void DesignMasterDetailReport(const QString &name, const RowSet &master, const ReportColumns &columns,
                              const ReportDetail &detail, ReportVariables variables = {});

// "统计日期：自 2024年03月01日 至 记帐最后一天": prefix (or "统计" when blank)
// + "日期：自 " + from + " 至 " + to; an unticked start reads "启用系统", an
// unticked end "记帐最后一天".
QString DateRangeCaption(const CheckedDateEdit &from, const CheckedDateEdit &to, const QString &prefix = {});
// The same from dates (an invalid date stands for an unticked picker).
QString DateRangeCaption(const QDate &from, const QDate &to, const QString &prefix = {});

// Runs the preview of a prepared report (modal). Returns the dialog's result.
int previewReport(Report &report);
// Runs the designer of a prepared report (modal).
int designReport(Report &report);

} // namespace tarvik
