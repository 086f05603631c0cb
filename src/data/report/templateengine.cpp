#include "data/report/templateengine.h"

#include <QHash>

#include <algorithm>

#include <kainjow/mustache.hpp>

namespace tarvik::report {

namespace mus = kainjow::mustache;

// ------------------------------------------------------------------ Node

Node::Node() : m_kind(Object) {}

Node Node::text(const QString &value)
{
    Node n;
    n.m_kind = Text;
    n.m_text = value;
    return n;
}

Node Node::flag(bool value)
{
    Node n;
    n.m_kind = Flag;
    n.m_flag = value;
    return n;
}

Node Node::list(const Node &prototype)
{
    Node n;
    n.m_kind = List;
    n.m_prototype = std::make_shared<Node>(prototype);
    return n;
}

Node Node::lambda(std::function<QString(const QString &)> fn)
{
    Node n;
    n.m_kind = Lambda;
    n.m_lambda = std::move(fn);
    return n;
}

Node &Node::set(const QString &name, Node child)
{
    const QString key = name.toLower();
    for (auto &c : m_children) {
        if (c.key == key) {
            c.node = std::move(child);
            return c.node;
        }
    }
    m_children.push_back(Child{key, name, std::move(child)});
    return m_children.back().node;
}

const Node *Node::child(const QString &name) const
{
    if (m_kind != Object)
        return nullptr;
    const QString key = name.toLower();
    for (const auto &c : m_children)
        if (c.key == key)
            return &c.node;
    return nullptr;
}

const Node &Node::prototype() const
{
    static const Node empty;
    return m_prototype ? *m_prototype : empty;
}

QString escapeHtml(const QString &text)
{
    QString out = text.toHtmlEscaped();
    out.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    out.replace(QLatin1Char('\n'), QLatin1String("<br/>"));
    return out;
}

// ------------------------------------------------------------------ checking

namespace {

constexpr int kMaxPartialDepth = 8;

QString lowerKeepingLength(const QString &s)
{
    QString out = s;
    for (QChar &c : out)
        c = c.toLower();
    return out;
}

int lineAt(const QString &text, qsizetype pos)
{
    return int(QStringView(text).left(pos).count(QLatin1Char('\n'))) + 1;
}

QString sectionPath(const QStringList &path)
{
    QString open, close;
    for (const QString &p : path)
        open += QStringLiteral("{{#%1}}").arg(p);
    for (auto it = path.crbegin(); it != path.crend(); ++it)
        close += QStringLiteral("{{/%1}}").arg(*it);
    return open + QStringLiteral(" … ") + close;
}

const Node *walk(const Node *from, const QStringList &parts)
{
    const Node *n = from;
    for (const QString &p : parts) {
        n = n->child(p);
        if (!n)
            return nullptr;
    }
    return n;
}

// Where in the data a name would be known: the sections to write around it.
bool findName(const Node &node, const QStringList &parts, QStringList &path, int depth = 0)
{
    if (depth > 6)
        return false;
    if (node.kind() == Node::Object && walk(&node, parts))
        return true;
    const Node *scope = node.kind() == Node::List ? &node.prototype() : &node;
    if (scope->kind() != Node::Object)
        return false;
    for (const auto &[key, name, child] : scope->children()) {
        if (child.kind() != Node::List && child.kind() != Node::Object)
            continue;
        path << name;
        const Node &inner = child.kind() == Node::List ? child.prototype() : child;
        if (findName(inner, parts, path, depth + 1))
            return true;
        path.removeLast();
    }
    return false;
}

class Checker {
public:
    Checker(const Node &root, const PartialSource &partials) : m_root(root), m_partials(partials)
    {
        m_stack.push_back(&root);
    }

    // Checks one text (the template or a partial) and returns it with every tag name in lower case.
    std::optional<TemplateError> run(const QString &text, const QString &partialName, int depth, QString *normalized)
    {
        QString open = QStringLiteral("{{");
        QString close = QStringLiteral("}}");
        QString out;
        out.reserve(text.size());
        struct Open {
            QString name;
            int line;
            size_t stackSize;
        };
        std::vector<Open> sections;
        const size_t baseStack = m_stack.size();
        auto fail = [&](int line, const QString &message) {
            m_stack.resize(baseStack);
            return TemplateError{message, line, partialName};
        };

        qsizetype pos = 0;
        while (pos < text.size()) {
            const qsizetype start = text.indexOf(open, pos);
            if (start < 0) {
                out += QStringView(text).mid(pos);
                break;
            }
            out += QStringView(text).mid(pos, start - pos);
            const int line = lineAt(text, start);
            qsizetype contentStart = start + open.size();
            const bool braces = open == QLatin1String("{{") && close == QLatin1String("}}");
            const bool triple = braces && contentStart < text.size() && text.at(contentStart) == QLatin1Char('{');
            const QString end = triple ? QStringLiteral("}}}") : close;
            if (triple)
                ++contentStart;
            const qsizetype endPos = text.indexOf(end, contentStart);
            if (endPos < 0)
                return fail(line, QStringLiteral("第 %1 行：标记 “%2” 没有结束（缺少 “%3”）。")
                                      .arg(line)
                                      .arg(QStringView(text).mid(start, 24).toString().simplified(), end));
            const QString raw = text.mid(contentStart, endPos - contentStart);
            const QString contents = raw.trimmed();
            const QChar kind = contents.isEmpty() ? QChar() : contents.at(0);

            if (!triple && kind == QLatin1Char('=')) {
                // {{=<% %>=}}: new delimiters from here on.
                const QString inner = contents.mid(1, contents.size() - 2).trimmed();
                const QStringList parts = inner.split(QLatin1Char(' '), Qt::SkipEmptyParts);
                if (!contents.endsWith(QLatin1Char('=')) || contents.size() < 5 || parts.size() != 2)
                    return fail(line, QStringLiteral("第 %1 行：分隔符设置 “%2” 不正确，应写成 {{=<% %>=}} 的样子。")
                                          .arg(line)
                                          .arg(contents));
                out += QStringView(text).mid(start, endPos + end.size() - start);
                open = parts.at(0);
                close = parts.at(1);
                pos = endPos + end.size();
                continue;
            }
            if (!triple && kind == QLatin1Char('!')) {
                out += QStringView(text).mid(start, endPos + end.size() - start);
                pos = endPos + end.size();
                continue;
            }
            out += QStringView(text).mid(start, contentStart - start);
            out += lowerKeepingLength(raw);
            out += end;
            pos = endPos + end.size();

            const bool prefixed = !triple && QStringLiteral("#^/>&").contains(kind);
            const QString name = (prefixed ? contents.mid(1) : contents).trimmed();
            const QString shown = name;
            if (name.isEmpty())
                return fail(line, QStringLiteral("第 %1 行：标记 “%2” 里没有写名称。").arg(line).arg(text.mid(start, endPos + end.size() - start)));

            if (!triple && kind == QLatin1Char('/')) {
                if (sections.empty())
                    return fail(line, QStringLiteral("第 %1 行：{{/%2}} 前面没有对应的 {{#%2}}。").arg(line).arg(shown));
                const Open &top = sections.back();
                if (top.name.compare(name, Qt::CaseInsensitive) != 0)
                    return fail(line, QStringLiteral("第 %1 行：{{/%2}} 与第 %3 行的 {{#%4}} 不配对。")
                                          .arg(line)
                                          .arg(shown)
                                          .arg(top.line)
                                          .arg(top.name));
                m_stack.resize(top.stackSize);
                sections.pop_back();
                continue;
            }
            if (!triple && kind == QLatin1Char('>')) {
                if (depth >= kMaxPartialDepth)
                    return fail(line, QStringLiteral("第 %1 行：子模板 “%2” 嵌套太深（子模板是否互相引用？）。").arg(line).arg(shown));
                const std::optional<QString> partial = m_partials ? m_partials(name) : std::nullopt;
                if (!partial)
                    return fail(line, QStringLiteral("第 %1 行：找不到子模板 “%2”（Qr 文件夹中应有 %2.html）。").arg(line).arg(shown));
                QString normalizedPartial;
                if (auto e = run(*partial, name, depth + 1, &normalizedPartial)) {
                    m_stack.resize(baseStack);
                    if (e->partial == name)
                        e->message = QStringLiteral("子模板 “%1” ").arg(e->partial) + e->message;
                    return e;
                }
                m_usedPartials.insert(name.toLower(), normalizedPartial);
                continue;
            }

            if (name == QLatin1String(".")) {
                if (kind == QLatin1Char('#') || kind == QLatin1Char('^'))
                    sections.push_back({name, line, m_stack.size()});
                continue;
            }
            const QStringList parts = name.split(QLatin1Char('.'));
            const Node *found = resolve(parts);
            if (!found)
                return fail(line, unknownName(line, shown, parts));

            const bool section = !triple && (kind == QLatin1Char('#') || kind == QLatin1Char('^'));
            if (section) {
                sections.push_back({name, line, m_stack.size()});
                if (kind == QLatin1Char('#')) {
                    if (found->kind() == Node::List)
                        m_stack.push_back(&found->prototype());
                    else if (found->kind() == Node::Object)
                        m_stack.push_back(found);
                }
                continue;
            }
            if (found->kind() == Node::List)
                return fail(line, QStringLiteral("第 %1 行：“%2” 是一组数据，要写成 {{#%2}} … {{/%2}}，在中间写它的字段。")
                                      .arg(line)
                                      .arg(shown));
            if (found->kind() == Node::Object)
                return fail(line, QStringLiteral("第 %1 行：“%2” 不是单个值，请写出其中的字段，例如 {{%2.字段名}}。")
                                      .arg(line)
                                      .arg(shown));
            if (found->kind() == Node::Lambda)
                return fail(line, QStringLiteral("第 %1 行：“%2” 是函数，要写成 {{#%2}}数值{{/%2}}。").arg(line).arg(shown));
        }
        if (!sections.empty()) {
            const Open &top = sections.back();
            return fail(top.line, QStringLiteral("第 %1 行的 {{#%2}} 没有对应的 {{/%2}}。").arg(top.line).arg(top.name));
        }
        m_stack.resize(baseStack);
        *normalized = out;
        return std::nullopt;
    }

private:
    // As the renderer looks names up: the innermost context that has the whole dotted path.
    const Node *resolve(const QStringList &parts) const
    {
        for (auto it = m_stack.crbegin(); it != m_stack.crend(); ++it)
            if (const Node *n = walk(*it, parts))
                return n;
        return nullptr;
    }

    QString unknownName(int line, const QString &shown, const QStringList &parts) const
    {
        QString msg = QStringLiteral("第 %1 行：“%2” 不是可用的字段或变量名。").arg(line).arg(shown);
        QStringList path;
        if (findName(m_root, parts, path) && !path.isEmpty()) {
            msg += QStringLiteral("它只能写在 %1 之间。").arg(sectionPath(path));
        } else if (const QString near = nearName(parts); !near.isEmpty()) {
            msg += QStringLiteral("是不是要写 “%1”？").arg(near);
        } else {
            msg += QStringLiteral("请在设计窗口的字段列表中查看可用的名称。");
        }
        return msg;
    }

    // A known name one or two letters away from a mistyped one.
    QString nearName(const QStringList &parts) const
    {
        std::vector<const Node *> scopes;
        QString prefix;
        if (parts.size() == 1) {
            scopes = m_stack;
        } else {
            const Node *owner = resolve(parts.mid(0, parts.size() - 1));
            if (!owner || owner->kind() != Node::Object)
                return {};
            scopes.push_back(owner);
            prefix = parts.mid(0, parts.size() - 1).join(QLatin1Char('.')) + QLatin1Char('.');
        }
        const QString wanted = parts.last().toLower();
        QString best;
        int bestDistance = 3;
        for (const Node *scope : scopes) {
            for (const auto &c : scope->children()) {
                const int d = editDistance(wanted, c.key);
                if (d < bestDistance) {
                    bestDistance = d;
                    best = c.name;
                }
            }
        }
        if (best.isEmpty() || bestDistance * 3 > wanted.size())
            return {};
        return prefix + best;
    }

    static int editDistance(const QString &a, const QString &b)
    {
        std::vector<int> row(size_t(b.size()) + 1);
        for (size_t j = 0; j < row.size(); ++j)
            row[j] = int(j);
        for (qsizetype i = 1; i <= a.size(); ++i) {
            int diagonal = row[0];
            row[0] = int(i);
            for (qsizetype j = 1; j <= b.size(); ++j) {
                const int up = row[size_t(j)];
                row[size_t(j)] = std::min({up + 1, row[size_t(j - 1)] + 1, diagonal + (a[i - 1] == b[j - 1] ? 0 : 1)});
                diagonal = up;
            }
        }
        return row.back();
    }

    const Node &m_root;
    const PartialSource &m_partials;
    std::vector<const Node *> m_stack;

public:
    // Partials met while checking, by lower-case name, with their names in lower case.
    QHash<QString, QString> m_usedPartials;
};

std::string utf8(const QString &s)
{
    return s.toStdString();
}

mus::data toMustache(const Node &n)
{
    switch (n.kind()) {
    case Node::Text:
        return mus::data(utf8(n.textValue()));
    case Node::Flag:
        return mus::data(n.flagValue() ? mus::data::type::bool_true : mus::data::type::bool_false);
    case Node::List: {
        mus::data l(mus::data::type::list);
        for (const Node &item : n.items())
            l.push_back(toMustache(item));
        return l;
    }
    case Node::Lambda: {
        auto fn = n.lambdaFunction();
        return mus::data(mus::lambda2([fn](const std::string &text, const mus::renderer &render) {
            const QString rendered = QString::fromStdString(render(text));
            return utf8(escapeHtml(fn(rendered)));
        }));
    }
    case Node::Object:
        break;
    }
    mus::data obj(mus::data::type::object);
    for (const auto &c : n.children())
        obj.set(utf8(c.key), toMustache(c.node));
    return obj;
}

} // namespace

std::optional<TemplateError> checkTemplate(const QString &text, const Node &root, const PartialSource &partials)
{
    Checker checker(root, partials);
    QString normalized;
    return checker.run(text, QString(), 0, &normalized);
}

RenderResult renderTemplate(const QString &text, const Node &root, const PartialSource &partials)
{
    RenderResult result;
    Checker checker(root, partials);
    QString normalized;
    if (auto e = checker.run(text, QString(), 0, &normalized)) {
        result.error = e;
        return result;
    }

    mus::data data = toMustache(root);
    for (auto it = checker.m_usedPartials.cbegin(); it != checker.m_usedPartials.cend(); ++it) {
        const std::string body = utf8(it.value());
        data.set(utf8(it.key()), mus::data(mus::partial([body]() { return body; })));
    }

    mus::mustache tmpl(utf8(normalized));
    tmpl.set_custom_escape([](const std::string &s) { return utf8(escapeHtml(QString::fromStdString(s))); });
    if (!tmpl.is_valid()) {
        result.error = TemplateError{QStringLiteral("模板格式错误：%1").arg(QString::fromStdString(tmpl.error_message())), 0, {}};
        return result;
    }
    const std::string html = tmpl.render(data);
    if (!tmpl.is_valid()) {
        result.error = TemplateError{QStringLiteral("模板格式错误：%1").arg(QString::fromStdString(tmpl.error_message())), 0, {}};
        return result;
    }
    result.html = QString::fromStdString(html);
    return result;
}

} // namespace tarvik::report
