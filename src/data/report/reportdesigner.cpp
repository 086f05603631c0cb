#include "data/report/reportdesigner.h"

#include "data/prompts.h"
#include "data/report/reportservices.h"

#include <QAction>
#include <QDir>
#include <QFontDatabase>
#include <QHeaderView>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPrintPreviewWidget>
#include <QRegularExpression>
#include <QSplitter>
#include <QSyntaxHighlighter>
#include <QTextBlock>
#include <QTimer>
#include <QToolBar>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace tarvik {

using report::Node;

namespace {

// HTML tags, mustache values, sections, partials and comments in their own colours.
class TemplateHighlighter : public QSyntaxHighlighter {
public:
    explicit TemplateHighlighter(QTextDocument *doc) : QSyntaxHighlighter(doc)
    {
        m_html.setForeground(QColor(0x1f, 0x4e, 0x9a));
        m_attr.setForeground(QColor(0x6a, 0x6a, 0x6a));
        m_value.setForeground(QColor(0x0a, 0x7a, 0x2a));
        m_value.setFontWeight(QFont::Bold);
        m_section.setForeground(QColor(0xa3, 0x1f, 0x1f));
        m_section.setFontWeight(QFont::Bold);
        m_partial.setForeground(QColor(0x7b, 0x2f, 0x9e));
        m_partial.setFontWeight(QFont::Bold);
        m_comment.setForeground(QColor(0x80, 0x80, 0x80));
        m_comment.setFontItalic(true);
    }

protected:
    void highlightBlock(const QString &text) override
    {
        static const QRegularExpression tag(QStringLiteral("<[^>]*>"));
        static const QRegularExpression attr(QStringLiteral("\"[^\"]*\""));
        static const QRegularExpression mustache(QStringLiteral("\\{\\{\\{?[^}]*\\}?\\}\\}"));
        static const QRegularExpression htmlComment(QStringLiteral("<!--.*?-->"));
        for (auto it = tag.globalMatch(text); it.hasNext();) {
            const auto m = it.next();
            setFormat(int(m.capturedStart()), int(m.capturedLength()), m_html);
            for (auto a = attr.globalMatch(m.captured()); a.hasNext();) {
                const auto am = a.next();
                setFormat(int(m.capturedStart() + am.capturedStart()), int(am.capturedLength()), m_attr);
            }
        }
        for (auto it = htmlComment.globalMatch(text); it.hasNext();) {
            const auto m = it.next();
            setFormat(int(m.capturedStart()), int(m.capturedLength()), m_comment);
        }
        for (auto it = mustache.globalMatch(text); it.hasNext();) {
            const auto m = it.next();
            const QString inner = m.captured().mid(2).trimmed();
            const QChar kind = inner.isEmpty() ? QChar() : inner.at(0);
            const QTextCharFormat &f = kind == QLatin1Char('!')                                  ? m_comment
                : (kind == QLatin1Char('#') || kind == QLatin1Char('^') || kind == QLatin1Char('/')) ? m_section
                : kind == QLatin1Char('>')                                                         ? m_partial
                                                                                                   : m_value;
            setFormat(int(m.capturedStart()), int(m.capturedLength()), f);
        }
    }

private:
    QTextCharFormat m_html, m_attr, m_value, m_section, m_partial, m_comment;
};

QString describe(const QString &key, bool bill)
{
    static const QHash<QString, QString> d{
        {QStringLiteral("pagemaxrow"), QStringLiteral("每页打印的明细行数（系统设置“打印固定行数”）")},
        {QStringLiteral("scurkhname"), QStringLiteral("本公司名称")},
        {QStringLiteral("memodate"), QStringLiteral("统计日期说明（查询窗口的日期范围）")},
        {QStringLiteral("memocaption"), QStringLiteral("汇总方式的标题（汇总统计窗口）")},
        {QStringLiteral("printdate"), QStringLiteral("打印日期")},
        {QStringLiteral("opername"), QStringLiteral("当前操作员")},
        {QStringLiteral("moneymintobig"), QStringLiteral("函数：金额小写转大写，{{#MoneyMinToBig}}数值{{/MoneyMinToBig}}")},
        {QStringLiteral("frxdd"), QStringLiteral("明细数据集（每一行）")},
        {QStringLiteral("pages"), QStringLiteral("打印页：每页 PageMaxRow 行明细，表头每页重复")},
        {QStringLiteral("pageno"), QStringLiteral("本页页码")},
        {QStringLiteral("pagecount"), QStringLiteral("总页数")},
        {QStringLiteral("pagetotal"), QStringLiteral("总页数")},
        {QStringLiteral("isfirst"), QStringLiteral("是第一页（段）")},
        {QStringLiteral("islast"), QStringLiteral("是最后一页（段）")},
        {QStringLiteral("lines"), QStringLiteral("本页的明细行")},
        {QStringLiteral("blanklines"), QStringLiteral("补足 PageMaxRow 行的空行")},
        {QStringLiteral("pagesum"), QStringLiteral("本页小计（数值字段）")},
        {QStringLiteral("sum"), QStringLiteral("合计（数值字段）")},
        {QStringLiteral("detailsum"), QStringLiteral("本行明细的合计")},
        {QStringLiteral("raw"), QStringLiteral("原值（不按显示格式）")},
        {QStringLiteral("big"), QStringLiteral("大写金额")},
        {QStringLiteral("rowno"), QStringLiteral("序号")},
        {QStringLiteral("cells"), QStringLiteral("本行按列的格子：text 文字，align 对齐")},
        {QStringLiteral("columns"), QStringLiteral("表格显示的列：title 标题，widthPct 宽度百分比，align 对齐")},
        {QStringLiteral("detailcolumns"), QStringLiteral("明细表格显示的列")},
        {QStringLiteral("footer"), QStringLiteral("合计行的格子：text 文字，align 对齐")},
        {QStringLiteral("hasfooter"), QStringLiteral("有合计行（段）")},
        {QStringLiteral("rowcount"), QStringLiteral("记录数")},
        {QStringLiteral("linecount"), QStringLiteral("明细行数")},
    };
    if (key == QLatin1String("frxdm"))
        return bill ? QStringLiteral("单据表头数据集（当前单据）") : QStringLiteral("列表数据集（每一行）");
    return d.value(key);
}

QString sampleOf(const Node &n)
{
    if (n.kind() == Node::Text)
        return n.textValue();
    if (n.kind() == Node::Flag)
        return n.flagValue() ? QStringLiteral("是") : QStringLiteral("否");
    return {};
}

enum { InsertRole = Qt::UserRole + 1 };

constexpr int kLivePreviewRows = 200;

void addChildren(QTreeWidgetItem *parent, QTreeWidget *tree, const Node &node, const QString &prefix, bool bill, int depth)
{
    const Node &scope = node.kind() == Node::List ? (node.items().empty() ? node.prototype() : node.items().front()) : node;
    if (scope.kind() != Node::Object || depth > 4)
        return;
    for (const auto &c : scope.children()) {
        auto *item = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(tree);
        const QString path = prefix.isEmpty() ? c.name : prefix + QLatin1Char('.') + c.name;
        item->setText(0, c.name);
        QString note = describe(c.key, bill);
        switch (c.node.kind()) {
        case Node::Text:
        case Node::Flag:
            if (note.isEmpty())
                item->setText(1, sampleOf(c.node));
            else if (depth == 0 && !sampleOf(c.node).isEmpty())
                item->setText(1, QStringLiteral("%1（现为：%2）").arg(note, sampleOf(c.node)));
            else
                item->setText(1, note);
            item->setToolTip(1, sampleOf(c.node));
            item->setData(0, InsertRole,
                          c.node.kind() == Node::Flag ? QStringLiteral("{{#%1}}{{/%1}}").arg(path) : QStringLiteral("{{%1}}").arg(path));
            break;
        case Node::Lambda:
            item->setText(1, note);
            item->setData(0, InsertRole, QStringLiteral("{{#%1}}{{/%1}}").arg(path));
            break;
        case Node::List:
            item->setText(1, note.isEmpty() ? QStringLiteral("一组数据") : note);
            item->setData(0, InsertRole, QStringLiteral("{{#%1}}\n{{/%1}}").arg(path));
            // Names inside a list are written inside its section, without the prefix.
            addChildren(item, tree, c.node, QString(), bill, depth + 1);
            break;
        case Node::Object:
            item->setText(1, note);
            addChildren(item, tree, c.node, path, bill, depth + 1);
            break;
        }
    }
}

} // namespace

ReportDesigner::ReportDesigner(Report &report, QWidget *parent)
    : QDialog(parent), m_report(report), m_saved(report.source()), m_printer(QPrinter::HighResolution)
{
    setWindowTitle(QStringLiteral("报表设计 - %1").arg(report.name()));
    setWindowFlags(windowFlags() | Qt::WindowMaximizeButtonHint | Qt::WindowMinimizeButtonHint);
    resize(1200, 760);

    auto *tools = new QToolBar(this);
    m_save = tools->addAction(QStringLiteral("保存"), this, [this] { save(); });
    m_save->setShortcut(QKeySequence::Save);
    QAction *preview = tools->addAction(QStringLiteral("预览"), this, [this] {
        refreshNow();
        // The full preview shows every row; the live one only the first rows.
        m_report.setRowLimit(0);
        previewReport(m_report);
        m_report.setRowLimit(kLivePreviewRows);
    });
    preview->setShortcut(Qt::Key_F5);
    QAction *expand = tools->addAction(QStringLiteral("展开子模板"), this, [this] { expandPartial(); });
    expand->setToolTip(QStringLiteral("把光标所在行的 {{> 子模板}} 换成子模板的内容，以便只为这个模板修改它"));
    tools->addAction(QStringLiteral("撤消修改"), this, [this] {
        m_source->setPlainText(m_saved);
        refreshNow();
    });
    tools->addSeparator();
    QAction *close = tools->addAction(QStringLiteral("关闭"), this, &QDialog::reject);
    close->setShortcut(Qt::Key_Escape);

    m_source = new QPlainTextEdit(this);
    QFont mono = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    mono.setFamilies({QStringLiteral("Noto Sans Mono CJK SC"), mono.family()});
    m_source->setFont(mono);
    m_source->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_source->setTabChangesFocus(false);
    new TemplateHighlighter(m_source->document());
    m_source->setPlainText(report.source());

    m_fields = new QTreeWidget(this);
    m_fields->setColumnCount(2);
    m_fields->setHeaderLabels({QStringLiteral("名称"), QStringLiteral("说明 / 当前值")});
    m_fields->header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    m_fields->setToolTip(QStringLiteral("双击把名称插入到模板的光标处"));

    m_view = new QPrintPreviewWidget(&m_printer, this);
    m_error = new QLabel(this);
    m_error->setWordWrap(true);
    m_error->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::LinksAccessibleByMouse);
    connect(m_error, &QLabel::linkActivated, this, [this](const QString &link) { goToLine(link.toInt()); });
    m_position = new QLabel(this);
    m_file = new QLabel(QStringLiteral("模板文件：%1").arg(QDir::toNativeSeparators(reportTemplatePath(report.name()))), this);

    auto *left = new QWidget(this);
    auto *leftLayout = new QVBoxLayout(left);
    leftLayout->setContentsMargins(0, 0, 0, 0);
    leftLayout->addWidget(m_source, 1);
    leftLayout->addWidget(m_error);
    auto *right = new QSplitter(Qt::Vertical, this);
    right->addWidget(m_fields);
    right->addWidget(m_view);
    right->setSizes({300, 420});
    auto *split = new QSplitter(Qt::Horizontal, this);
    split->addWidget(left);
    split->addWidget(right);
    split->setStretchFactor(0, 3);
    split->setStretchFactor(1, 2);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(tools);
    layout->addWidget(split, 1);
    auto *bottom = new QHBoxLayout;
    bottom->setContentsMargins(6, 2, 6, 2);
    bottom->addWidget(m_file, 1);
    bottom->addWidget(m_position);
    layout->addLayout(bottom);
    connect(m_source, &QPlainTextEdit::cursorPositionChanged, this, [this] {
        const QTextCursor c = m_source->textCursor();
        m_position->setText(QStringLiteral("第 %1 行，第 %2 列").arg(c.blockNumber() + 1).arg(c.positionInBlock() + 1));
    });

    m_timer = new QTimer(this);
    m_timer->setSingleShot(true);
    m_timer->setInterval(400);
    connect(m_timer, &QTimer::timeout, this, &ReportDesigner::refreshNow);
    connect(m_source, &QPlainTextEdit::textChanged, m_timer, qOverload<>(&QTimer::start));
    connect(m_view, &QPrintPreviewWidget::paintRequested, this, [this](QPrinter *printer) {
        if (m_doc && !m_doc->isEmpty())
            m_doc->paint(printer);
    });
    connect(m_fields, &QTreeWidget::itemDoubleClicked, this, [this](QTreeWidgetItem *item) { insertField(item); });

    m_report.setRowLimit(kLivePreviewRows);
    fillFields();
    refreshNow();
    m_view->fitToWidth();
}

ReportDesigner::~ReportDesigner()
{
    m_report.setRowLimit(0);
}

void ReportDesigner::fillFields()
{
    m_fields->clear();
    const Node &root = m_report.data();
    const bool bill = root.child(QStringLiteral("pages")) != nullptr;
    // Variables first (the category "自定义变量"), then datasets and the rest.
    auto *vars = new QTreeWidgetItem(m_fields, {QStringLiteral("自定义变量"), QStringLiteral("打印时由程序提供")});
    Node variables;
    Node rest;
    // The variables a bill or a list gets from the program; the others stay usable, listed below.
    const QStringList designVariables = bill
        ? QStringList{QStringLiteral("PageMaxRow"), QStringLiteral("sCurKHname")}
        : QStringList{QStringLiteral("sCurKHname"), QStringLiteral("memoDate"), QStringLiteral("memoCaption")};
    for (const auto &c : root.children()) {
        const bool isVar = designVariables.contains(c.name, Qt::CaseInsensitive);
        (isVar ? variables : rest).set(c.name, c.node);
    }
    addChildren(vars, m_fields, variables, QString(), bill, 0);
    addChildren(nullptr, m_fields, rest, QString(), bill, 0);
    m_fields->expandToDepth(0);
}

void ReportDesigner::insertField(QTreeWidgetItem *item)
{
    if (!item)
        return;
    const QString text = item->data(0, InsertRole).toString();
    if (text.isEmpty())
        return;
    m_source->insertPlainText(text);
    m_source->setFocus();
}

QString ReportDesigner::errorText() const
{
    return m_doc && m_doc->hasError() ? m_doc->error()->message : m_error->text();
}

void ReportDesigner::goToLine(int line)
{
    const QTextBlock block = m_source->document()->findBlockByNumber(line - 1);
    if (!block.isValid())
        return;
    QTextCursor c(block);
    m_source->setTextCursor(c);
    m_source->centerCursor();
    m_source->setFocus();
}

bool ReportDesigner::expandPartial()
{
    static const QRegularExpression tag(QStringLiteral("\\{\\{\\s*>\\s*([^}\\s]+)\\s*\\}\\}"));
    QTextCursor c = m_source->textCursor();
    const QTextBlock block = c.block();
    auto m = tag.match(block.text());
    if (!m.hasMatch()) {
        ShowMsg(QStringLiteral("光标所在的行没有子模板（{{> 名称}}）。"), MsgInfo);
        return false;
    }
    const auto text = readReportTemplate(m.captured(1));
    if (!text) {
        ShowMsg(QStringLiteral("找不到子模板“%1”。").arg(m.captured(1)), MsgWarning);
        return false;
    }
    c.setPosition(block.position() + int(m.capturedStart()));
    c.setPosition(block.position() + int(m.capturedEnd()), QTextCursor::KeepAnchor);
    QString body = *text;
    if (body.endsWith(QLatin1Char('\n')))
        body.chop(1);
    c.insertText(body);
    refreshNow();
    return true;
}

int ReportDesigner::previewPageCount() const
{
    return m_doc ? m_doc->pageCount() : 0;
}

bool ReportDesigner::isModified() const
{
    return m_source->toPlainText() != m_saved;
}

void ReportDesigner::refreshNow()
{
    m_timer->stop();
    m_report.setSource(m_source->toPlainText());
    m_doc = std::make_unique<ReportDocument>(m_report.render(), m_report.name());
    m_printer.setPageLayout(m_doc->preferredLayout());
    showError();
    m_view->updatePreview();
}

void ReportDesigner::showError()
{
    if (m_doc->hasError()) {
        const report::TemplateError &e = *m_doc->error();
        m_error->setStyleSheet(QStringLiteral("color: #b00000; padding: 4px;"));
        m_error->setTextFormat(Qt::RichText);
        QString text = e.message.toHtmlEscaped();
        if (e.partial.isEmpty() && e.line > 0)
            text += QStringLiteral(" <a href=\"%1\">转到第 %1 行</a>").arg(e.line);
        m_error->setText(text);
    } else if (m_doc->isEmpty()) {
        m_error->setStyleSheet(QStringLiteral("color: #606060; padding: 4px;"));
        m_error->setText(QStringLiteral("模板是空的：在左边写入 HTML，用右边列出的名称取数据。"));
    } else {
        m_error->setStyleSheet(QStringLiteral("color: #0a5a2a; padding: 4px;"));
        QString text = QStringLiteral("模板正确，共 %1 页。").arg(m_doc->pageCount());
        if (m_report.listRowCount() > kLivePreviewRows)
            text += QStringLiteral("（这里只显示前 %1 行，共 %2 行；按“预览”看全部。）").arg(kLivePreviewRows).arg(m_report.listRowCount());
        m_error->setText(text);
    }
}

bool ReportDesigner::save()
{
    const QString text = m_source->toPlainText();
    if (auto r = saveReportTemplate(m_report.name(), text); !r) {
        ShowMsg(r.message(), MsgError, r.error().detail);
        return false;
    }
    m_saved = text;
    m_report.setSource(text);
    m_file->setText(QStringLiteral("模板文件：%1（已保存）").arg(QDir::toNativeSeparators(reportTemplatePath(m_report.name()))));
    return true;
}

void ReportDesigner::done(int result)
{
    if (isModified()) {
        const int answer = ShowMsg(QStringLiteral("模板已修改，是否保存？\n确定：保存后关闭；取消：不保存，直接关闭。"), MsgQuestion);
        if (answer == MsgOk && !save())
            return; // the file could not be written: stay, nothing is lost
    }
    QDialog::done(result);
}

} // namespace tarvik
