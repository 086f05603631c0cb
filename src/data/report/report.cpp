#include "data/report/report.h"

#include "data/report/moneymintobig.h"
#include "data/report/reportformat.h"
#include "data/rowset.h"
#include "data/session.h"

#include <QAbstractTextDocumentLayout>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <QRegularExpression>
#include <QSaveFile>
#include <QTextBlock>
#include <QTextDocument>
#include <QUrl>

#include <cmath>

namespace tarvik {

using report::Node;

namespace {

QString &folderOverride()
{
    static QString folder;
    return folder;
}

// Names a template may give for a partial: plain file names inside the folder.
bool isPlainName(const QString &name)
{
    return !name.isEmpty() && !name.contains(QLatin1Char('/')) && !name.contains(QLatin1Char('\\'))
        && !name.startsWith(QLatin1Char('.'));
}

QString alignName(Qt::Alignment a)
{
    if (a & Qt::AlignRight)
        return QStringLiteral("right");
    if (a & Qt::AlignHCenter)
        return QStringLiteral("center");
    return QStringLiteral("left");
}

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

// ------------------------------------------------------------------ variables and files

QVariant dataModuleReportVariable(const QString &name)
{
    if (name.compare(QLatin1String("PageMaxRow"), Qt::CaseInsensitive) == 0)
        return systemOptions().PrintRows;
    if (name.compare(QLatin1String("sCurKHname"), Qt::CaseInsensitive) == 0)
        return systemOptions().CompanyName;
    return {};
}

const QStringList &reportVariableNames()
{
    static const QStringList names{QStringLiteral("PageMaxRow"), QStringLiteral("sCurKHname"),
                                   QStringLiteral("memoDate"), QStringLiteral("memoCaption")};
    return names;
}

QString reportFolder()
{
    if (!folderOverride().isEmpty())
        return folderOverride();
    return QCoreApplication::applicationDirPath() + QStringLiteral("/Qr");
}

void setReportFolder(const QString &folder)
{
    folderOverride() = folder;
}

QString reportTemplatePath(const QString &name)
{
    const QDir dir(reportFolder());
    const QString exact = dir.filePath(name + QStringLiteral(".html"));
    if (QFileInfo::exists(exact))
        return exact;
    // Template names are matched without regard to case, as they were on Windows.
    const QStringList files = dir.entryList({QStringLiteral("*.html")}, QDir::Files);
    for (const QString &f : files)
        if (QFileInfo(f).completeBaseName().compare(name, Qt::CaseInsensitive) == 0)
            return dir.filePath(f);
    return exact;
}

std::optional<QString> readReportTemplate(const QString &name)
{
    if (!isPlainName(name))
        return std::nullopt;
    QFile f(reportTemplatePath(name));
    if (!f.open(QIODevice::ReadOnly))
        return std::nullopt;
    return QString::fromUtf8(f.readAll());
}

Result<void> saveReportTemplate(const QString &name, const QString &text)
{
    const QString path = reportTemplatePath(name);
    const QString message = QStringLiteral("无法保存报表模板文件“%1”，请检查 Qr 文件夹是否存在并且可以写入。")
                                .arg(QDir::toNativeSeparators(path));
    if (!isPlainName(name))
        return makeError(message, QStringLiteral("invalid template name"));
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        return makeError(message, f.errorString());
    if (f.write(text.toUtf8()) < 0)
        return makeError(message, f.errorString());
    if (!f.commit())
        return makeError(message, f.errorString());
    return {};
}

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

// ------------------------------------------------------------------ Report

Report::Report() = default;
Report::~Report() = default;

bool Report::load(const QString &name)
{
    m_name = name;
    const auto text = readReportTemplate(name);
    m_missing = !text.has_value();
    m_source = text.value_or(QString());
    return !m_missing;
}

void Report::setSource(const QString &text)
{
    m_source = text;
}

Report::Table Report::snapshot(const RowSet &set, const ReportColumns &columns, int onlyRow)
{
    Table t;
    t.fields = set.fieldNames();
    t.columns = columns;
    auto copyRow = [&](int row) {
        QVector<QVariant> values;
        values.reserve(t.fields.size());
        for (int f = 0; f < t.fields.size(); ++f)
            values << set.value(row, f);
        t.rows.push_back(std::move(values));
    };
    if (onlyRow >= 0) {
        if (onlyRow < set.count())
            copyRow(onlyRow);
    } else {
        for (int r = 0; r < set.count(); ++r)
            copyRow(r);
    }
    return t;
}

void Report::setBill(const RowSet &header, const RowSet &lines)
{
    const int current = header.isEmpty() ? -1 : std::clamp(header.current(), 0, header.count() - 1);
    m_kind = Kind::Bill;
    m_master = snapshot(header, {}, current < 0 ? header.count() : current);
    m_detail = snapshot(lines, {});
    invalidate();
}

void Report::setList(const RowSet &rows, const ReportColumns &columns)
{
    m_kind = Kind::List;
    m_master = snapshot(rows, columns);
    m_detail = Table{};
    invalidate();
}

void Report::setMasterDetail(const RowSet &master, const ReportColumns &masterColumns, const RowSet &detail,
                             const ReportColumns &detailColumns, const QString &masterKey, const QString &detailKey)
{
    m_kind = Kind::MasterDetail;
    m_master = snapshot(master, masterColumns);
    m_detail = snapshot(detail, detailColumns);
    m_masterKey = masterKey;
    m_detailKey = detailKey;
    invalidate();
}

void Report::setVariables(ReportVariables supplier)
{
    m_variables = std::move(supplier);
    invalidate();
}

void Report::setRowLimit(int rows)
{
    if (rows == m_rowLimit)
        return;
    m_rowLimit = std::max(rows, 0);
    invalidate();
}

int Report::listRowCount() const
{
    return m_kind == Kind::List || m_kind == Kind::MasterDetail ? int(m_master.rows.size()) : 0;
}

QVariant Report::variable(const QString &name) const
{
    if (m_variables) {
        const QVariant v = m_variables(name);
        if (v.isValid())
            return v;
    }
    const QVariant v = dataModuleReportVariable(name);
    return v.isValid() ? v : QVariant(QString());
}

int Report::pageMaxRow() const
{
    const int rows = variable(QStringLiteral("PageMaxRow")).toInt();
    return rows > 0 ? rows : 5;
}

const Node &Report::data() const
{
    if (!m_data)
        m_data = std::make_unique<Node>(build());
    return *m_data;
}

namespace {

struct TableView {
    const QStringList &fields;
    const ReportColumns &columns;
    std::vector<FieldKind> kinds;
    std::vector<QString> pictures;
};

int fieldIndexOf(const QStringList &fields, const QString &name)
{
    for (int i = 0; i < fields.size(); ++i)
        if (fields[i].compare(name, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

int columnOf(const ReportColumns &columns, const QString &field)
{
    for (int i = 0; i < columns.size(); ++i)
        if (columns[i].field.compare(field, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

Node rowNode(const TableView &view, const QVector<QVariant> *values, int rowNo)
{
    Node n;
    Node raw;
    Node big;
    for (int f = 0; f < view.fields.size(); ++f) {
        const QString &field = view.fields[f];
        const QVariant v = values ? values->value(f) : QVariant();
        n.set(field, Node::text(reportDisplayText(field, v, view.pictures[f])));
        raw.set(field, Node::text(reportRawText(field, v)));
        if (view.kinds[f] == FieldKind::Number)
            big.set(field, Node::text(values ? MoneyMinToBig(reportNumber(v)) : QString()));
    }
    n.set(QStringLiteral("raw"), raw);
    n.set(QStringLiteral("big"), big);
    n.set(QStringLiteral("rowno"), Node::text(values ? QString::number(rowNo) : QString()));
    if (!view.columns.isEmpty()) {
        Node cell;
        cell.set(QStringLiteral("text"), Node::text(QString()));
        cell.set(QStringLiteral("align"), Node::text(QString()));
        cell.set(QStringLiteral("field"), Node::text(QString()));
        Node cells = Node::list(cell);
        for (const ReportColumn &c : view.columns) {
            const int f = fieldIndexOf(view.fields, c.field);
            Node one;
            const QVariant v = values && f >= 0 ? values->value(f) : QVariant();
            one.set(QStringLiteral("text"), Node::text(f >= 0 ? reportDisplayText(c.field, v, view.pictures[f]) : QString()));
            one.set(QStringLiteral("align"), Node::text(alignName(c.alignment)));
            one.set(QStringLiteral("field"), Node::text(c.field));
            cells.append(one);
        }
        n.set(QStringLiteral("cells"), cells);
    }
    return n;
}

Node sumNode(const TableView &view, const std::vector<QVector<QVariant>> &rows, size_t from, size_t to)
{
    Node n;
    Node raw;
    Node big;
    for (int f = 0; f < view.fields.size(); ++f) {
        if (view.kinds[f] != FieldKind::Number)
            continue;
        double s = 0;
        for (size_t r = from; r < to && r < rows.size(); ++r)
            s += reportNumber(rows[r].value(f));
        const QString &field = view.fields[f];
        n.set(field, Node::text(formatNumberPicture(s, view.pictures[f])));
        raw.set(field, Node::text(formatNumberPicture(s, QString())));
        big.set(field, Node::text(MoneyMinToBig(s)));
    }
    n.set(QStringLiteral("raw"), raw);
    n.set(QStringLiteral("big"), big);
    return n;
}

TableView viewOf(const QStringList &fields, const ReportColumns &columns, const std::vector<QVector<QVariant>> &rows)
{
    TableView v{fields, columns, {}, {}};
    for (int f = 0; f < fields.size(); ++f) {
        QVariant sample;
        for (const auto &r : rows) {
            if (!r.value(f).isNull()) {
                sample = r.value(f);
                break;
            }
        }
        v.kinds.push_back(fieldKindOf(fields[f], sample));
        const int c = columnOf(columns, fields[f]);
        const QString picture = c >= 0 && !columns[c].displayFormat.isEmpty() ? columns[c].displayFormat
                                                                             : defaultPictureFor(fields[f]);
        v.pictures.push_back(picture);
    }
    return v;
}

Node columnsNode(const ReportColumns &columns)
{
    Node proto;
    for (const char *k : {"field", "title", "width", "widthpct", "align"})
        proto.set(QString::fromLatin1(k), Node::text(QString()));
    Node list = Node::list(proto);
    int total = 0;
    for (const ReportColumn &c : columns)
        total += std::max(c.width, 1);
    for (const ReportColumn &c : columns) {
        Node n;
        n.set(QStringLiteral("field"), Node::text(c.field));
        n.set(QStringLiteral("title"), Node::text(c.title));
        n.set(QStringLiteral("width"), Node::text(QString::number(std::max(c.width, 1))));
        n.set(QStringLiteral("widthpct"),
              Node::text(QString::number(total > 0 ? std::max(1, int(std::lround(100.0 * std::max(c.width, 1) / total))) : 1)));
        n.set(QStringLiteral("align"), Node::text(alignName(c.alignment)));
        list.append(n);
    }
    return list;
}

Node footerNode(const TableView &view, const std::vector<QVector<QVariant>> &rows, bool *any)
{
    Node proto;
    proto.set(QStringLiteral("text"), Node::text(QString()));
    proto.set(QStringLiteral("align"), Node::text(QString()));
    Node list = Node::list(proto);
    *any = false;
    for (const ReportColumn &c : view.columns) {
        QString text = c.footerText;
        if (c.footerSum) {
            const int f = fieldIndexOf(view.fields, c.field);
            double s = 0;
            if (f >= 0)
                for (const auto &r : rows)
                    s += reportNumber(r.value(f));
            text = formatNumberPicture(s, !c.footerFormat.isEmpty() ? c.footerFormat
                                              : f >= 0                  ? view.pictures[f]
                                                                        : c.displayFormat);
        }
        *any = *any || c.footerSum || !c.footerText.isEmpty();
        Node n;
        n.set(QStringLiteral("text"), Node::text(text));
        n.set(QStringLiteral("align"), Node::text(alignName(c.alignment)));
        list.append(n);
    }
    return list;
}

// "￥1,234.50" as printed text back to a number for MoneyMinToBig in templates.
double numberFromPrinted(const QString &text)
{
    QString t = text;
    t.remove(QRegularExpression(QStringLiteral("[^0-9.\\-]")));
    return t.toDouble();
}

} // namespace

Node Report::build() const
{
    Node root;
    for (const QString &v : reportVariableNames())
        root.set(v, Node::text(variable(v).toString()));
    root.set(QStringLiteral("printDate"), Node::text(today().toString(QStringLiteral("yyyy-MM-dd"))));
    root.set(QStringLiteral("operName"), Node::text(loginContext().OperName));
    root.set(QStringLiteral("MoneyMinToBig"), Node::lambda([](const QString &rendered) {
                 return MoneyMinToBig(numberFromPrinted(rendered));
             }));

    const TableView master = viewOf(m_master.fields, m_master.columns, m_master.rows);
    const TableView detail = viewOf(m_detail.fields, m_detail.columns, m_detail.rows);
    auto listOf = [](const TableView &view, const std::vector<QVector<QVariant>> &rows, size_t from, size_t to) {
        Node list = Node::list(rowNode(view, nullptr, 0));
        for (size_t r = from; r < to && r < rows.size(); ++r)
            list.append(rowNode(view, &rows[r], int(r) + 1));
        return list;
    };

    switch (m_kind) {
    case Kind::None:
        root.set(QStringLiteral("frxDM"), Node::object());
        break;
    case Kind::Bill: {
        root.set(QStringLiteral("frxDM"), rowNode(master, m_master.rows.empty() ? nullptr : &m_master.rows.front(), 1));
        root.set(QStringLiteral("frxDD"), listOf(detail, m_detail.rows, 0, m_detail.rows.size()));
        root.set(QStringLiteral("sum"), sumNode(detail, m_detail.rows, 0, m_detail.rows.size()));
        root.set(QStringLiteral("lineCount"), Node::text(QString::number(m_detail.rows.size())));

        const size_t perPage = size_t(pageMaxRow());
        const size_t lines = m_detail.rows.size();
        const size_t pages = std::max<size_t>(1, (lines + perPage - 1) / perPage);
        auto pageNode = [&](size_t p, bool real) {
            Node page;
            const size_t from = p * perPage;
            const size_t to = std::min(lines, from + perPage);
            page.set(QStringLiteral("pageNo"), Node::text(real ? QString::number(p + 1) : QString()));
            page.set(QStringLiteral("pageCount"), Node::text(real ? QString::number(pages) : QString()));
            page.set(QStringLiteral("isFirst"), Node::flag(real && p == 0));
            page.set(QStringLiteral("isLast"), Node::flag(real && p + 1 == pages));
            page.set(QStringLiteral("lines"), real ? listOf(detail, m_detail.rows, from, to) : listOf(detail, {}, 0, 0));
            Node blanks = Node::list(Node::object());
            for (size_t b = real ? to - from : perPage; b < perPage; ++b)
                blanks.append(Node::object());
            page.set(QStringLiteral("blankLines"), blanks);
            page.set(QStringLiteral("pageSum"), sumNode(detail, m_detail.rows, real ? from : 0, real ? to : 0));
            return page;
        };
        Node pageList = Node::list(pageNode(0, false));
        for (size_t p = 0; p < pages; ++p)
            pageList.append(pageNode(p, true));
        root.set(QStringLiteral("pages"), pageList);
        root.set(QStringLiteral("pageTotal"), Node::text(QString::number(pages)));
        break;
    }
    case Kind::List:
    case Kind::MasterDetail: {
        const size_t shown = m_rowLimit > 0 ? std::min(m_master.rows.size(), size_t(m_rowLimit)) : m_master.rows.size();
        Node rows = listOf(master, m_master.rows, 0, shown);
        if (m_kind == Kind::MasterDetail) {
            const int mk = m_masterKey.isEmpty() ? -1 : fieldIndexOf(m_master.fields, m_masterKey);
            const int dk = m_detailKey.isEmpty() ? -1 : fieldIndexOf(m_detail.fields, m_detailKey);
            // Each master row gets its own detail rows (and their totals).
            Node proto = rowNode(master, nullptr, 0);
            proto.set(QStringLiteral("frxDD"), listOf(detail, {}, 0, 0));
            proto.set(QStringLiteral("detailSum"), sumNode(detail, {}, 0, 0));
            Node linked = Node::list(proto);
            for (size_t r = 0; r < shown; ++r) {
                Node row = rowNode(master, &m_master.rows[r], int(r) + 1);
                std::vector<QVector<QVariant>> mine;
                const QString key = mk >= 0 ? m_master.rows[r].value(mk).toString() : QString();
                for (const auto &d : m_detail.rows)
                    if (mk < 0 || dk < 0 || d.value(dk).toString() == key)
                        mine.push_back(d);
                row.set(QStringLiteral("frxDD"), listOf(detail, mine, 0, mine.size()));
                row.set(QStringLiteral("detailSum"), sumNode(detail, mine, 0, mine.size()));
                linked.append(row);
            }
            rows = linked;
            root.set(QStringLiteral("frxDD"), listOf(detail, m_detail.rows, 0, m_detail.rows.size()));
            root.set(QStringLiteral("detailColumns"), columnsNode(m_detail.columns));
        }
        root.set(QStringLiteral("frxDM"), rows);
        root.set(QStringLiteral("columns"), columnsNode(m_master.columns));
        bool anyFooter = false;
        root.set(QStringLiteral("footer"), footerNode(master, m_master.rows, &anyFooter));
        root.set(QStringLiteral("hasFooter"), Node::flag(anyFooter));
        root.set(QStringLiteral("sum"), sumNode(master, m_master.rows, 0, m_master.rows.size()));
        root.set(QStringLiteral("rowCount"), Node::text(QString::number(m_master.rows.size())));
        break;
    }
    }
    return root;
}

Report::Output Report::render() const
{
    Output out;
    if (m_source.trimmed().isEmpty()) {
        out.empty = true;
        return out;
    }
    const report::PartialSource partials = [](const QString &name) { return readReportTemplate(name); };
    report::RenderResult r = report::renderTemplate(m_source, data(), partials);
    out.html = r.html;
    out.error = r.error;
    int width = 0;
    for (const ReportColumn &c : m_master.columns)
        width += std::max(c.width, 1);
    out.contentWidth = m_kind == Kind::List || m_kind == Kind::MasterDetail ? width : 0;
    return out;
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

// ------------------------------------------------------------------ names

QString listTemplateName(const QString &base)
{
    return loginContext().seesPrices() ? base : base + QStringLiteral("1");
}

QString billTemplateName(const QString &base, int variant)
{
    if (!loginContext().seesPrices())
        return base + QStringLiteral("2");
    switch (variant) {
    case 1:
        return base + QStringLiteral("1");
    case 2:
        return base + QStringLiteral("2");
    default:
        return base;
    }
}

} // namespace tarvik
