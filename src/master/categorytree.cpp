#include "master/categorytree.h"

#include "data/prompts.h"
#include "data/dmdata.h"

#include <QApplication>
#include <QStyle>
#include <QTreeWidget>

namespace tarvik {

namespace {
constexpr int kNodeRole = Qt::UserRole + 1;
}

tNodeData nodeData(const QTreeWidgetItem *node)
{
    if (!node)
        return {};
    return node->data(0, kNodeRole).value<tNodeData>();
}

void setNodeData(QTreeWidgetItem *node, const tNodeData &data)
{
    node->setData(0, kNodeRole, QVariant::fromValue(data));
}

int nodeLevel(const QTreeWidgetItem *node)
{
    int level = 0;
    for (const QTreeWidgetItem *p = node ? node->parent() : nullptr; p; p = p->parent())
        ++level;
    return level;
}

bool isRootNode(const QTreeWidgetItem *node)
{
    return node && !node->parent();
}

void updateNodeIcon(QTreeWidgetItem *node)
{
    QStyle *style = QApplication::style();
    if (!node || !style)
        return;
    const int level = nodeLevel(node);
    QIcon icon;
    if (level == 0)
        icon = style->standardIcon(QStyle::SP_ComputerIcon);
    else if (level == 1 && node->childCount() > 0)
        icon = style->standardIcon(QStyle::SP_DirIcon);
    else
        icon = style->standardIcon(QStyle::SP_FileIcon);
    node->setIcon(0, icon);
}

bool FillCategoryTree(QTreeWidget *tree, const QString &rootCaption, const QString &flag)
{
    tree->clear();
    auto *root = new QTreeWidgetItem(tree, QStringList{rootCaption});
    setNodeData(root, tNodeData{0, kRootCode, rootCaption, kRootPath});
    updateNodeIcon(root);
    if (!dmData)
        return false;
    auto rows = CategoryStore(dmData->db()).load(flag);
    if (!rows) {
        ShowMsg(kMsgOpenFailed, MsgError, rows.error().detail);
        return false;
    }
    // Rows come in code order: a longer code goes below the node added last, an
    // equal or shorter one below the nearest ancestor with a shorter code.
    QTreeWidgetItem *current = root;
    for (const tNodeData &row : *rows) {
        while (current != root && nodeData(current).codeLength >= row.codeLength)
            current = current->parent();
        auto *node = new QTreeWidgetItem(current, QStringList{row.name});
        setNodeData(node, row);
        if (nodeLevel(node) == 1)
            node->setExpanded(true);
        current = node;
    }
    // Icons depend on the children, known only once everything is loaded.
    QList<QTreeWidgetItem *> pending{root};
    while (!pending.isEmpty()) {
        QTreeWidgetItem *n = pending.takeLast();
        updateNodeIcon(n);
        for (int i = 0; i < n->childCount(); ++i)
            pending << n->child(i);
    }
    return true;
}

QString CategoryPath(const QTreeWidgetItem *node, bool fromParent)
{
    const QTreeWidgetItem *at = fromParent && node ? node->parent() : node;
    if (!at || isRootNode(at))
        return kRootPath;
    QString path = QLatin1Char('\\') + at->text(0);
    while (nodeLevel(at) > 1) {
        at = at->parent();
        path.prepend(QLatin1Char('\\') + at->text(0));
    }
    return QLatin1Char('\\') + path;
}

QString childCategoryPath(const QString &parentPath, const QString &name)
{
    if (parentPath.trimmed() == kRootPath || parentPath.trimmed().isEmpty())
        return kRootPath + name;
    return parentPath + QLatin1Char('\\') + name;
}

Result<QString> NextCategoryCode(Database &db, const QString &code, const QString &flag, int mode)
{
    const bool child = mode == CodeChild;
    const QString prefix = child ? code : code.left(std::max<qsizetype>(0, code.size() - 3));
    auto max = db.scalar(QStringLiteral("SELECT MAX(F_code) FROM t_treecode WHERE F_code LIKE ? ESCAPE '\\'"
                                        " AND F_flag = ? AND length(F_code) <= ?"),
                         {Database::likePattern(prefix, Database::Match::Prefix), flag, int(prefix.size()) + 3});
    if (!max)
        return max.error();
    QString largest = max->isNull() ? QString() : max->toString();
    if (!child) {
        if (!largest.isEmpty() && largest.size() != code.size())
            largest = largest.left(code.size());
    } else if (!largest.isEmpty() && largest.size() == code.size()) {
        largest += QStringLiteral("000"); // no children yet
    }
    if (largest.size() < 3)
        return QStringLiteral("001");
    const QString last = largest.right(3);
    bool ok = false;
    const int n = last.toInt(&ok);
    if (!ok)
        return makeError(QStringLiteral("类别编码“%1”格式不正确，无法生成新编码！").arg(largest));
    if (n >= kMaxCategoryChildren)
        return makeError(QStringLiteral("此类别下已有999个子类别，不能再增加！"));
    return largest.left(largest.size() - 3) + QStringLiteral("%1").arg(n + 1, 3, 10, QLatin1Char('0'));
}

SqlStatement categoryFilter(Database &db, const QString &column, const QString &path)
{
    if (path.trimmed().isEmpty() || path == kRootPath)
        return {};
    // A plain prefix would also take in a sibling whose name starts with this one's ("钢" and "钢材").
    return {QStringLiteral("(%1 = ? OR %2)").arg(column, db.likeClause(column)),
            {path, Database::likePattern(path + QLatin1Char('\\'), Database::Match::Prefix)}};
}

Result<QVector<tNodeData>> CategoryStore::load(const QString &flag)
{
    auto q = m_db.exec(QStringLiteral("SELECT F_code, F_name, F_likecode FROM t_treecode WHERE F_flag = ? ORDER BY F_code"),
                       {flag});
    if (!q)
        return q.error();
    QVector<tNodeData> rows;
    while (q->next()) {
        const QString code = q->value(0).toString();
        rows.push_back({int(code.size()), code, q->value(1).toString(), q->value(2).toString()});
    }
    return rows;
}

Result<void> CategoryStore::insert(const tNodeData &node, const QString &flag)
{
    if (node.name.trimmed().isEmpty())
        return makeError(QStringLiteral("类别名称不能为空！"));
    auto r = m_db.exec(QStringLiteral("INSERT INTO t_treecode (F_code, F_name, F_likecode, F_flag) VALUES (?, ?, ?, ?)"),
                       {node.code, node.name, node.path, flag});
    if (!r)
        return makeError(kMsgTreeWriteFailed, r.error().detail);
    return {};
}

Result<void> CategoryStore::rename(const QString &code, const QString &flag, const QString &name, const QString &path)
{
    if (name.trimmed().isEmpty())
        return makeError(QStringLiteral("类别名称不能为空！"));
    auto r = m_db.exec(QStringLiteral("UPDATE t_treecode SET F_name = ?, F_likecode = ? WHERE F_code = ? AND F_flag = ?"),
                       {name, path, code, flag});
    if (!r)
        return makeError(kMsgTreeWriteFailed, r.error().detail);
    return {};
}

Result<void> CategoryStore::removeSubtree(const QString &code, const QString &flag)
{
    if (code.isEmpty() || code == kRootCode)
        return makeError(QStringLiteral("不能删除根节点！"));
    auto r = m_db.exec(QStringLiteral("DELETE FROM t_treecode WHERE F_code LIKE ? ESCAPE '\\' AND F_flag = ?"),
                       {Database::likePattern(code, Database::Match::Prefix), flag});
    if (!r)
        return makeError(kMsgOpFailed, r.error().detail);
    return {};
}

} // namespace tarvik
