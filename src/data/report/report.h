#pragma once

#include "data/report/reportcolumn.h"
#include "data/report/templateengine.h"
#include "data/result.h"

#include <QPageLayout>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVector>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

class QImage;
class QPagedPaintDevice;
class QPainter;
class QTextDocument;

namespace tarvik {

class RowSet;

// Report variables: a supplier answers the names it knows and returns an
// invalid QVariant for the others. What no supplier answers prints empty.
using ReportVariables = std::function<QVariant(const QString &name)>;

// The data module's supplier: "PageMaxRow" (lines per printed page from the
// options) and "sCurKHname" (the company name).
QVariant dataModuleReportVariable(const QString &name);

// The variables every template may use, in the order the designer lists them.
const QStringList &reportVariableNames();

// The template folder: "Qr" in the program folder (tests may point it elsewhere).
QString reportFolder();
void setReportFolder(const QString &folder); // empty = the program folder's "Qr"
// The file of a template: <folder>/<name>.html, the name matched without regard to case.
QString reportTemplatePath(const QString &name);
// Reads a template; nullopt when there is no such file.
std::optional<QString> readReportTemplate(const QString &name);
// Writes a template back (through a temporary file, so a failed write leaves the old one).
Result<void> saveReportTemplate(const QString &name, const QString &text);

// Paper of a template, from <meta name="paper|orientation|margins|page-footer">.
struct ReportPageSetup {
    QPageLayout layout;   // paper, orientation, margins in millimetres
    bool autoOrientation = false; // landscape when a list is wider than the paper
    QString footer;       // page footer text; "{page}" and "{pages}" are replaced
};
ReportPageSetup parsePageSetup(const QString &html);

// One print or design request: a template, its data and its variables.
// Datasets are copied when they are bound, so the preview shows what was
// current when printing started.
class Report {
public:
    Report();
    ~Report();
    Report(const Report &) = delete;
    Report &operator=(const Report &) = delete;

    // Loads <folder>/<name>.html. A missing file leaves an empty report (false, no message).
    bool load(const QString &name);
    void setSource(const QString &text); // the designer's text
    const QString &name() const { return m_name; }
    const QString &source() const { return m_source; }
    bool isMissing() const { return m_missing; }

    // A bill: "frxDM" is the current row of the header, "frxDD" the lines.
    void setBill(const RowSet &header, const RowSet &lines);
    // A list: "frxDM" is every row; columns give titles, widths, formats and footers.
    void setList(const RowSet &rows, const ReportColumns &columns);
    // A list with a detail list: every row of "frxDM" holds its own "frxDD"
    // rows (detail rows whose detailKey equals the row's masterKey); empty keys
    // give every detail row to every master row.
    void setMasterDetail(const RowSet &master, const ReportColumns &masterColumns, const RowSet &detail,
                         const ReportColumns &detailColumns, const QString &masterKey, const QString &detailKey);
    void setVariables(ReportVariables supplier);
    // Lays out only the first rows of a list (0: all). The designer's live
    // preview uses it so typing stays quick on long lists.
    void setRowLimit(int rows);
    int rowLimit() const { return m_rowLimit; }
    int listRowCount() const; // rows of a list as bound, before any limit

    QVariant variable(const QString &name) const;
    int pageMaxRow() const;

    // The data the template sees (built on first use).
    const report::Node &data() const;

    struct Output {
        QString html;
        std::optional<report::TemplateError> error;
        bool empty = false; // no template: nothing to show or print
        int contentWidth = 0; // screen width of a list's columns (for "auto" orientation)
    };
    Output render() const;

private:
    struct Table {
        QStringList fields;
        std::vector<QVector<QVariant>> rows;
        ReportColumns columns;
    };
    enum class Kind { None, Bill, List, MasterDetail };
    static Table snapshot(const RowSet &set, const ReportColumns &columns, int onlyRow = -1);
    void invalidate() { m_data.reset(); }
    report::Node build() const;

    QString m_name;
    QString m_source;
    bool m_missing = true;
    Kind m_kind = Kind::None;
    Table m_master;
    Table m_detail;
    QString m_masterKey;
    QString m_detailKey;
    ReportVariables m_variables;
    int m_rowLimit = 0;
    mutable std::unique_ptr<report::Node> m_data;
};

// The page size a document is laid out in for a page layout (the printable
// area less the footer strip), in document units.
QSizeF reportDocumentPageSize(const QPageLayout &layout, bool withFooter);

// Rendered HTML laid out in pages for a paper, painted on printers, PDF
// writers, the preview and images.
class ReportDocument {
public:
    explicit ReportDocument(const Report::Output &output, const QString &templateName = {});
    ~ReportDocument();

    bool isEmpty() const { return m_empty; }
    bool hasError() const { return m_error.has_value(); }
    const std::optional<report::TemplateError> &error() const { return m_error; }
    const ReportPageSetup &setup() const { return m_setup; }
    // The page layout the template asks for (orientation decided for "auto").
    QPageLayout preferredLayout() const;

    void layoutFor(const QPageLayout &layout);
    int pageCount() const;
    QTextDocument &document() { return *m_doc; }
    // Plain text of one page (tests and look-ups).
    QString pageText(int page) const;

    // Paints every page on the device's own page layout; false when the device cannot be painted on.
    bool paint(QPagedPaintDevice *device);
    Result<void> exportPdf(const QString &file);
    QImage pageImage(int page, int dpi = 96);

private:
    void paintPage(QPainter &p, int page, double scale);

    std::unique_ptr<QTextDocument> m_doc;
    ReportPageSetup m_setup;
    std::optional<report::TemplateError> m_error;
    bool m_empty = false;
    QPageLayout m_layout;
    bool m_hasLayout = false;
};

// An HTML page that tells what is wrong with a template (preview and designer).
QString reportErrorHtml(const report::TemplateError &error, const QString &templateName);

// Template names. Lists: base + "1" for an operator who may not see prices.
// Bills: variant 0 (normal), 1 (A4), 2 (without unit price and amount); an
// operator who may not see prices always gets variant 2.
QString listTemplateName(const QString &base);
QString billTemplateName(const QString &base, int variant);

} // namespace tarvik
