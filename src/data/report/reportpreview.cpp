#include "data/report/reportpreview.h"

#include "data/prompts.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrintPreviewWidget>
#include <QSpinBox>
#include <QStackedWidget>
#include <QStandardPaths>
#include <QToolBar>
#include <QVBoxLayout>

namespace tarvik {

ReportPreview::ReportPreview(Report &report, QWidget *parent)
    : QDialog(parent), m_report(report), m_doc(std::make_unique<ReportDocument>(report.render(), report.name())),
      m_printer(QPrinter::HighResolution)
{
    setWindowTitle(QStringLiteral("打印预览 - %1").arg(report.name()));
    setWindowFlags(windowFlags() | Qt::WindowMaximizeButtonHint | Qt::WindowMinimizeButtonHint);
    resize(960, 720);

    m_printer.setDocName(report.name());
    m_printer.setPageLayout(m_doc->preferredLayout());

    auto *tools = new QToolBar(this);
    tools->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    m_print = tools->addAction(QStringLiteral("打印"), this, &ReportPreview::print);
    m_print->setShortcut(QKeySequence::Print);
    m_pageSetup = tools->addAction(QStringLiteral("页面设置"), this, &ReportPreview::pageSetup);
    m_pdf = tools->addAction(QStringLiteral("导出PDF"), this, &ReportPreview::exportPdf);
    tools->addSeparator();
    m_first = tools->addAction(QStringLiteral("首页"), this, [this] { goToPage(1); });
    m_first->setShortcut(Qt::CTRL | Qt::Key_Home);
    m_prev = tools->addAction(QStringLiteral("上一页"), this, [this] { goToPage(currentPage() - 1); });
    m_prev->setShortcut(Qt::Key_PageUp);
    m_page = new QSpinBox(tools);
    m_page->setMinimum(1);
    m_page->setKeyboardTracking(false);
    tools->addWidget(m_page);
    m_pageOf = new QLabel(tools);
    tools->addWidget(m_pageOf);
    m_next = tools->addAction(QStringLiteral("下一页"), this, [this] { goToPage(currentPage() + 1); });
    m_next->setShortcut(Qt::Key_PageDown);
    m_last = tools->addAction(QStringLiteral("末页"), this, [this] { goToPage(pageCount()); });
    m_last->setShortcut(Qt::CTRL | Qt::Key_End);
    tools->addSeparator();
    QAction *zoomOut = tools->addAction(QStringLiteral("缩小"), this, [this] {
        if (m_view)
            m_view->zoomOut();
    });
    zoomOut->setShortcut(QKeySequence::ZoomOut);
    m_zoom = new QComboBox(tools);
    m_zoom->addItem(QStringLiteral("适合宽度"), -1);
    m_zoom->addItem(QStringLiteral("整页"), -2);
    for (int z : {50, 75, 100, 125, 150, 200})
        m_zoom->addItem(QStringLiteral("%1%").arg(z), z);
    tools->addWidget(m_zoom);
    QAction *zoomIn = tools->addAction(QStringLiteral("放大"), this, [this] {
        if (m_view)
            m_view->zoomIn();
    });
    zoomIn->setShortcut(QKeySequence::ZoomIn);
    tools->addSeparator();
    QAction *close = tools->addAction(QStringLiteral("关闭"), this, &QDialog::reject);
    close->setShortcut(Qt::Key_Escape);

    m_stack = new QStackedWidget(this);
    m_view = new QPrintPreviewWidget(&m_printer, m_stack);
    m_emptyLabel = new QLabel(m_stack);
    m_emptyLabel->setAlignment(Qt::AlignCenter);
    m_emptyLabel->setText(QStringLiteral("（空报表）"));
    m_stack->addWidget(m_view);
    m_stack->addWidget(m_emptyLabel);
    m_status = new QLabel(this);
    m_status->setContentsMargins(6, 2, 6, 2);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(tools);
    layout->addWidget(m_stack, 1);
    layout->addWidget(m_status);

    connect(m_view, &QPrintPreviewWidget::paintRequested, this, &ReportPreview::paintPages);
    connect(m_view, &QPrintPreviewWidget::previewChanged, this, &ReportPreview::updateNavigation);
    connect(m_page, qOverload<int>(&QSpinBox::valueChanged), this, [this](int p) {
        if (m_view && p != m_view->currentPage())
            m_view->setCurrentPage(p);
    });
    connect(m_zoom, qOverload<int>(&QComboBox::activated), this, [this](int index) {
        const int z = m_zoom->itemData(index).toInt();
        if (z == -1)
            m_view->fitToWidth();
        else if (z == -2)
            m_view->setZoomMode(QPrintPreviewWidget::FitInView);
        else
            setZoomPercent(z);
    });

    if (m_doc->isEmpty()) {
        m_stack->setCurrentWidget(m_emptyLabel);
        m_status->setText(QStringLiteral("报表为空：没有模板文件 %1")
                              .arg(QDir::toNativeSeparators(reportTemplatePath(report.name()))));
    } else if (m_doc->hasError()) {
        m_status->setText(QStringLiteral("<span style=\"color:#b00000\">模板有错误：%1</span>")
                              .arg(m_doc->error()->message.toHtmlEscaped()));
    }
    const bool printable = !m_doc->isEmpty() && !m_doc->hasError();
    m_print->setEnabled(printable);
    m_pdf->setEnabled(printable);
    m_pageSetup->setEnabled(printable);
    setZoomPercent(100);
    m_zoom->setCurrentIndex(m_zoom->findData(100));
    m_view->updatePreview();
    updateNavigation();
}

ReportPreview::~ReportPreview() = default;

int ReportPreview::pageCount() const
{
    return m_doc->pageCount();
}

int ReportPreview::currentPage() const
{
    return m_view ? m_view->currentPage() : 0;
}

QString ReportPreview::statusText() const
{
    return m_status->text();
}

void ReportPreview::paintPages(QPrinter *printer)
{
    if (m_doc->isEmpty())
        return;
    m_doc->paint(printer);
}

void ReportPreview::updateNavigation()
{
    const int pages = pageCount();
    const int cur = currentPage();
    m_page->blockSignals(true);
    m_page->setMaximum(std::max(pages, 1));
    m_page->setValue(std::clamp(cur, 1, std::max(pages, 1)));
    m_page->blockSignals(false);
    m_page->setEnabled(pages > 1);
    m_pageOf->setText(QStringLiteral(" / %1 页 ").arg(pages));
    m_first->setEnabled(cur > 1);
    m_prev->setEnabled(cur > 1);
    m_next->setEnabled(cur < pages);
    m_last->setEnabled(cur < pages);
    if (!m_doc->isEmpty() && !m_doc->hasError())
        m_status->setText(QStringLiteral("共 %1 页").arg(pages));
}

void ReportPreview::goToPage(int page)
{
    if (pageCount() == 0)
        return;
    m_view->setCurrentPage(std::clamp(page, 1, pageCount()));
    updateNavigation();
}

void ReportPreview::setZoomPercent(int percent)
{
    m_view->setZoomMode(QPrintPreviewWidget::CustomZoom);
    m_view->setZoomFactor(percent / 100.0);
}

void ReportPreview::print()
{
    if (!m_print->isEnabled())
        return;
    QPrintDialog dialog(&m_printer, this);
    dialog.setWindowTitle(QStringLiteral("打印"));
    dialog.setMinMax(1, std::max(pageCount(), 1));
    if (prompts().execDialog(dialog) != QDialog::Accepted)
        return;
    if (!m_doc->paint(&m_printer))
        ShowMsg(QStringLiteral("无法打印，请检查打印机是否已连接并且可以使用。"), MsgError);
    m_view->updatePreview();
}

void ReportPreview::pageSetup()
{
    if (!m_pageSetup->isEnabled())
        return;
    QPageSetupDialog dialog(&m_printer, this);
    dialog.setWindowTitle(QStringLiteral("页面设置"));
    if (prompts().execDialog(dialog) != QDialog::Accepted)
        return;
    m_view->updatePreview();
    updateNavigation();
}

void ReportPreview::exportPdf()
{
    if (!m_pdf->isEnabled())
        return;
    const QString dir = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    const auto choice = prompts().saveFile(QStringLiteral("导出 PDF 文件"), dir, m_report.name() + QStringLiteral(".pdf"),
                                           {QStringLiteral("PDF 文件 (*.pdf)")}, 1);
    if (!choice)
        return;
    QString file = choice->file;
    if (!file.endsWith(QLatin1String(".pdf"), Qt::CaseInsensitive))
        file += QStringLiteral(".pdf");
    m_doc->layoutFor(m_printer.pageLayout());
    if (auto r = m_doc->exportPdf(file); !r) {
        ShowMsg(r.message(), MsgError, r.error().detail);
        return;
    }
    m_status->setText(QStringLiteral("已导出 PDF 文件：%1").arg(QDir::toNativeSeparators(file)));
}

} // namespace tarvik
