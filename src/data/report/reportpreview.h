#pragma once

#include "data/report/report.h"

#include <QDialog>
#include <QPrinter>

#include <memory>

class QAction;
class QComboBox;
class QLabel;
class QPrintPreviewWidget;
class QSpinBox;
class QStackedWidget;

namespace tarvik {

// The print preview of a report: print, page set-up, zoom, page navigation
// and export to PDF. A report without a template shows an empty window; a
// template with a mistake shows what is wrong instead of pages.
class ReportPreview : public QDialog {
    Q_OBJECT
public:
    explicit ReportPreview(Report &report, QWidget *parent = nullptr);
    ~ReportPreview() override;

    ReportDocument &document() { return *m_doc; }
    QPrinter &printer() { return m_printer; }
    int pageCount() const;
    int currentPage() const; // 1-based
    QString statusText() const;

    QAction *printAction() const { return m_print; }
    QAction *pageSetupAction() const { return m_pageSetup; }
    QAction *pdfAction() const { return m_pdf; }

    void goToPage(int page);
    void setZoomPercent(int percent);
    void print();
    void pageSetup();
    void exportPdf();

private:
    void paintPages(QPrinter *printer);
    void updateNavigation();

    Report &m_report;
    std::unique_ptr<ReportDocument> m_doc;
    QPrinter m_printer;
    QStackedWidget *m_stack = nullptr;
    QPrintPreviewWidget *m_view = nullptr;
    QLabel *m_emptyLabel = nullptr;
    QLabel *m_status = nullptr;
    QSpinBox *m_page = nullptr;
    QLabel *m_pageOf = nullptr;
    QComboBox *m_zoom = nullptr;
    QAction *m_print = nullptr;
    QAction *m_pageSetup = nullptr;
    QAction *m_pdf = nullptr;
    QAction *m_first = nullptr;
    QAction *m_prev = nullptr;
    QAction *m_next = nullptr;
    QAction *m_last = nullptr;
};

} // namespace tarvik
