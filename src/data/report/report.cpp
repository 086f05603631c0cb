#include "data/report/report.h"

#include "data/report/moneymintobig.h"
#include "data/report/reportformat.h"
#include "data/rowset.h"
#include "data/session.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSaveFile>

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
