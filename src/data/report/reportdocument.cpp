#include "data/report/report.h"

#include "data/report/templateengine.h"
#include "data/session.h"

#include <QAbstractTextDocumentLayout>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <QRegularExpression>
#include <QTextBlock>
#include <QTextDocument>
#include <QUrl>

#include <cmath>

namespace tarvik {

namespace {

// Layout is done at 96 dots per inch whatever the screen, so pages break the
// same on every workstation and in tests.
constexpr double kLayoutDpi = 96.0;
constexpr double kFooterStrip = 22.0; // document units kept free for the page footer

QPaintDevice *layoutDevice()
{
    static QImage device = [] {
        QImage img(1, 1, QImage::Format_RGB32);
        img.setDotsPerMeterX(3780);
        img.setDotsPerMeterY(3780);
        return img;
    }();
    return &device;
}

QFont reportDefaultFont()
{
    QFont f;
    f.setFamilies({QStringLiteral("SimSun"), QStringLiteral("宋体"), QStringLiteral("Noto Serif CJK SC"),
                   QStringLiteral("Noto Sans CJK SC")});
    f.setPointSizeF(10);
    return f;
}

} // namespace

// ------------------------------------------------------------------ page set-up

ReportPageSetup parsePageSetup(const QString &html)
{
    ReportPageSetup s;
    QPageSize size(QPageSize::A4);
    QPageLayout::Orientation orientation = QPageLayout::Portrait;
    QMarginsF margins(10, 10, 10, 10);

    static const QRegularExpression metaTag(QStringLiteral("<meta\\b[^>]*>"), QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression nameAttr(QStringLiteral("\\bname\\s*=\\s*\"([^\"]*)\""),
                                             QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression contentAttr(QStringLiteral("\\bcontent\\s*=\\s*\"([^\"]*)\""),
                                                QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression sizeText(QStringLiteral("^\\s*(\\d+(?:\\.\\d+)?)\\s*[x×*]\\s*(\\d+(?:\\.\\d+)?)\\s*(mm)?\\s*$"),
                                             QRegularExpression::CaseInsensitiveOption);

    bool landscapeFromSize = false;
    auto it = metaTag.globalMatch(html);
    while (it.hasNext()) {
        const QString tag = it.next().captured(0);
        const QString name = nameAttr.match(tag).captured(1).trimmed().toLower();
        const QString content = contentAttr.match(tag).captured(1).trimmed();
        if (name == QLatin1String("paper")) {
            const QString c = content.toUpper();
            static const QList<std::pair<QString, QPageSize::PageSizeId>> named{
                {QStringLiteral("A3"), QPageSize::A3},       {QStringLiteral("A4"), QPageSize::A4},
                {QStringLiteral("A5"), QPageSize::A5},       {QStringLiteral("B5"), QPageSize::B5},
                {QStringLiteral("LETTER"), QPageSize::Letter}, {QStringLiteral("LEGAL"), QPageSize::Legal}};
            bool found = false;
            for (const auto &[n, id] : named) {
                if (c == n) {
                    size = QPageSize(id);
                    found = true;
                }
            }
            const auto m = sizeText.match(content);
            if (!found && m.hasMatch()) {
                double w = m.captured(1).toDouble();
                double h = m.captured(2).toDouble();
                if (w >= 20 && h >= 20 && w <= 2000 && h <= 2000) {
                    // Paper sizes are kept upright; a wide form prints landscape.
                    landscapeFromSize = w > h;
                    if (landscapeFromSize)
                        std::swap(w, h);
                    size = QPageSize(QSizeF(w, h), QPageSize::Millimeter, QString(), QPageSize::ExactMatch);
                }
            }
        } else if (name == QLatin1String("orientation")) {
            const QString c = content.toLower();
            if (c == QLatin1String("landscape") || c == QStringLiteral("横向"))
                orientation = QPageLayout::Landscape;
            else if (c == QLatin1String("auto") || c == QStringLiteral("自动"))
                s.autoOrientation = true;
            else
                orientation = QPageLayout::Portrait;
        } else if (name == QLatin1String("margins")) {
            QList<double> v;
            for (const QString &part : content.split(QRegularExpression(QStringLiteral("[\\s,;]+")), Qt::SkipEmptyParts)) {
                bool ok = false;
                const double d = QString(part).remove(QStringLiteral("mm")).toDouble(&ok);
                if (ok && d >= 0 && d <= 100)
                    v << d;
            }
            if (v.size() == 1)
                margins = QMarginsF(v[0], v[0], v[0], v[0]);
            else if (v.size() == 2)
                margins = QMarginsF(v[1], v[0], v[1], v[0]);
            else if (v.size() == 4)
                margins = QMarginsF(v[3], v[0], v[1], v[2]); // top right bottom left, as in CSS
        } else if (name == QLatin1String("page-footer")) {
            s.footer = content;
        }
    }
    if (landscapeFromSize)
        orientation = QPageLayout::Landscape;
    s.layout = QPageLayout(size, orientation, margins, QPageLayout::Millimeter);
    return s;
}

// ------------------------------------------------------------------ ReportDocument

QSizeF reportDocumentPageSize(const QPageLayout &layout, bool withFooter)
{
    const QRectF paint = layout.paintRect(QPageLayout::Point);
    QSizeF size(paint.width() * kLayoutDpi / 72.0, paint.height() * kLayoutDpi / 72.0);
    if (withFooter)
        size.rheight() -= kFooterStrip;
    return size;
}

QString reportErrorHtml(const report::TemplateError &error, const QString &templateName)
{
    const QString file = error.partial.isEmpty() ? templateName : error.partial;
    return QStringLiteral("<html><body>"
                          "<p style=\"font-size:16pt; font-weight:bold; color:#b00000;\">报表模板有错误，无法打印</p>"
                          "<p>模板文件：%1</p>"
                          "<p style=\"font-size:12pt; color:#b00000;\">%2</p>"
                          "<p>请用“设置”打开报表设计窗口修改模板。可用的字段和变量列在设计窗口右侧，"
                          "模板的写法见 Qr 文件夹中的 README.md。</p>"
                          "</body></html>")
        .arg(report::escapeHtml(QDir::toNativeSeparators(reportTemplatePath(file))), report::escapeHtml(error.message));
}

ReportDocument::ReportDocument(const Report::Output &output, const QString &templateName)
    : m_doc(std::make_unique<QTextDocument>())
{
    m_doc->documentLayout()->setPaintDevice(layoutDevice());
    m_doc->setDefaultFont(reportDefaultFont());
    m_doc->setDocumentMargin(0);
    m_empty = output.empty;
    m_error = output.error;
    QString html;
    if (m_error) {
        html = reportErrorHtml(*m_error, templateName);
        m_setup = parsePageSetup(QString());
    } else if (!m_empty) {
        html = output.html;
        m_setup = parsePageSetup(html);
        if (m_setup.autoOrientation) {
            const QSizeF portrait = reportDocumentPageSize(
                QPageLayout(m_setup.layout.pageSize(), QPageLayout::Portrait, m_setup.layout.margins(), QPageLayout::Millimeter),
                false);
            m_setup.layout.setOrientation(output.contentWidth > portrait.width() ? QPageLayout::Landscape
                                                                                  : QPageLayout::Portrait);
        }
    } else {
        m_setup = parsePageSetup(QString());
    }
    // Pictures in templates (<img src="logo.png">) are found beside the templates.
    m_doc->setBaseUrl(QUrl::fromLocalFile(reportFolder() + QLatin1Char('/')));
    m_doc->setHtml(html);
    layoutFor(m_setup.layout);
}

ReportDocument::~ReportDocument() = default;

QPageLayout ReportDocument::preferredLayout() const
{
    return m_setup.layout;
}

void ReportDocument::layoutFor(const QPageLayout &layout)
{
    m_layout = layout;
    m_doc->setPageSize(reportDocumentPageSize(layout, !m_setup.footer.isEmpty()));
}

int ReportDocument::pageCount() const
{
    return m_empty ? 0 : m_doc->pageCount();
}

QString ReportDocument::pageText(int page) const
{
    if (m_empty)
        return {};
    const double h = m_doc->pageSize().height();
    QAbstractTextDocumentLayout *layout = m_doc->documentLayout();
    QString text;
    for (QTextBlock b = m_doc->begin(); b.isValid(); b = b.next()) {
        const QRectF r = layout->blockBoundingRect(b);
        if (int(std::floor((r.top() + 0.5) / h)) == page && !b.text().isEmpty())
            text += b.text() + QLatin1Char('\n');
    }
    return text;
}

void ReportDocument::paintPage(QPainter &p, int page, double scale)
{
    const QSizeF size = m_doc->pageSize();
    p.save();
    p.scale(scale, scale);
    p.save();
    p.setClipRect(QRectF(QPointF(0, 0), size));
    p.translate(0, -page * size.height());
    QAbstractTextDocumentLayout::PaintContext ctx;
    ctx.clip = QRectF(0, page * size.height(), size.width(), size.height());
    ctx.palette.setColor(QPalette::Text, Qt::black);
    m_doc->documentLayout()->draw(&p, ctx);
    p.restore();
    if (!m_setup.footer.isEmpty()) {
        QString footer = m_setup.footer;
        footer.replace(QLatin1String("{page}"), QString::number(page + 1));
        footer.replace(QLatin1String("{pages}"), QString::number(pageCount()));
        QFont f = reportDefaultFont();
        f.setPointSizeF(9);
        p.setFont(QFont(f, layoutDevice()));
        p.setPen(Qt::black);
        p.drawText(QRectF(0, size.height(), size.width(), kFooterStrip), Qt::AlignHCenter | Qt::AlignBottom, footer);
    }
    p.restore();
}

bool ReportDocument::paint(QPagedPaintDevice *device)
{
    layoutFor(device->pageLayout());
    QPainter p(device);
    if (!p.isActive())
        return false;
    const double scale = device->logicalDpiY() / kLayoutDpi;
    const int pages = pageCount();
    for (int i = 0; i < pages; ++i) {
        if (i > 0)
            device->newPage();
        paintPage(p, i, scale);
    }
    return true;
}

Result<void> ReportDocument::exportPdf(const QString &file)
{
    const QString message = QStringLiteral("无法写入 PDF 文件“%1”，请检查文件夹是否存在并且可以写入。")
                                .arg(QDir::toNativeSeparators(file));
    const QString part = file + QStringLiteral(".part");
    bool painted = false;
    {
        QPdfWriter writer(part);
        writer.setResolution(300);
        writer.setTitle(QFileInfo(file).completeBaseName());
        writer.setCreator(kProductName);
        writer.setPageLayout(m_layout);
        painted = paint(&writer);
    }
    if (!painted) {
        QFile::remove(part);
        return makeError(message, QStringLiteral("cannot open %1").arg(part));
    }
    if (QFileInfo(part).size() <= 0) {
        QFile::remove(part);
        return makeError(message, QStringLiteral("nothing written"));
    }
    if (QFileInfo::exists(file) && !QFile::remove(file)) {
        QFile::remove(part);
        return makeError(message, QStringLiteral("cannot replace %1").arg(file));
    }
    if (!QFile::rename(part, file)) {
        QFile::remove(part);
        return makeError(message, QStringLiteral("cannot rename %1").arg(part));
    }
    return {};
}

QImage ReportDocument::pageImage(int page, int dpi)
{
    const QRect full = m_layout.fullRectPixels(dpi);
    const QRect paint = m_layout.paintRectPixels(dpi);
    QImage img(full.size(), QImage::Format_RGB32);
    img.fill(Qt::white);
    img.setDotsPerMeterX(int(std::lround(dpi / 0.0254)));
    img.setDotsPerMeterY(int(std::lround(dpi / 0.0254)));
    if (page < 0 || page >= pageCount())
        return img;
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.translate(paint.topLeft());
    paintPage(p, page, dpi / kLayoutDpi);
    return img;
}

} // namespace tarvik
