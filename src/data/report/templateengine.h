#pragma once

#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace tarvik::report {

// The data a template sees: texts, yes/no flags, objects (named children),
// lists (with the shape of their items, known also when a list is empty) and
// lambdas (a section whose rendered text is handed to a function). Names are
// kept in lower case: templates look them up without regard to case.
class Node {
public:
    enum Kind { Text, Flag, Object, List, Lambda };

    Node();
    static Node text(const QString &value);
    static Node flag(bool value);
    static Node object() { return Node(); }
    static Node list(const Node &prototype);
    static Node lambda(std::function<QString(const QString &rendered)> fn);

    Kind kind() const { return m_kind; }
    const QString &textValue() const { return m_text; }
    bool flagValue() const { return m_flag; }

    // Objects: children in the order they were set.
    struct Child;
    Node &set(const QString &name, Node child);
    const Node *child(const QString &name) const; // case-insensitive
    const std::vector<Child> &children() const { return m_children; }

    // Lists.
    void append(Node item) { m_items.push_back(std::move(item)); }
    const std::vector<Node> &items() const { return m_items; }
    const Node &prototype() const;

    const std::function<QString(const QString &)> &lambdaFunction() const { return m_lambda; }

private:
    Kind m_kind;
    QString m_text;
    bool m_flag = false;
    std::vector<Child> m_children;
    std::vector<Node> m_items;
    std::shared_ptr<Node> m_prototype;
    std::function<QString(const QString &)> m_lambda;
};

struct Node::Child {
    QString key;  // lower case, as templates look it up
    QString name; // as it was given, for the designer's list
    Node node;
};

// Template text of a partial by name ({{> name}}); nullopt when there is none.
using PartialSource = std::function<std::optional<QString>(const QString &name)>;

struct TemplateError {
    QString message; // Chinese, with the line and what is wrong
    int line = 0;    // 1-based line in the template (or in the partial, see `partial`)
    QString partial; // the partial the mistake is in; empty for the template itself
};

// Checks the template against the data it will get: tags closed, sections
// paired, every name known where it is used, partials present.
std::optional<TemplateError> checkTemplate(const QString &text, const Node &root, const PartialSource &partials);

// Renders the template into HTML (values are HTML-escaped, line breaks in
// values become <br/>). Check the template first: a mistake it did not find
// is returned as an error too, never thrown.
struct RenderResult {
    QString html;
    std::optional<TemplateError> error;
};
RenderResult renderTemplate(const QString &text, const Node &root, const PartialSource &partials);

// Escapes a value for HTML as templates print it.
QString escapeHtml(const QString &text);

} // namespace tarvik::report
