#pragma once

#include "data/database.h"
#include "data/result.h"
#include "master/sqlstatement.h"

#include <QMetaType>
#include <QString>
#include <QVector>

class QTreeWidget;
class QTreeWidgetItem;

namespace tarvik {

// The two category trees kept in t_treecode.
inline const QString kGoodTypeFlag = QStringLiteral("goodtype");       // raw materials
inline const QString kProductTypeFlag = QStringLiteral("producttype"); // finished products

// The path of the synthetic root node: two backslashes.
inline const QString kRootPath = QStringLiteral("\\\\");
inline const QString kRootCode = QStringLiteral("000");

// What every node of a category tree carries.
struct tNodeData {
    int codeLength = 0; // length of F_code (0 for the root)
    QString code;       // F_code; "000" for the root
    QString name;       // F_name; the root caption for the root
    QString path;       // F_likecode; two backslashes for the root
};

enum CategoryCodeMode { CodeSibling = 1, CodeChild = 2 };

// Largest number of children of one parent (segments "001".."999").
inline constexpr int kMaxCategoryChildren = 999;

tNodeData nodeData(const QTreeWidgetItem *node);
void setNodeData(QTreeWidgetItem *node, const tNodeData &data);
// 0 for the root, 1 for first-level categories, ...
int nodeLevel(const QTreeWidgetItem *node);
bool isRootNode(const QTreeWidgetItem *node);
// Images: root 0, first-level with children 1, others 2 (selected: 3).
void updateNodeIcon(QTreeWidgetItem *node);

// Clears the tree and fills it with a root captioned `rootCaption` and every
// category of `flag`. Failures are shown with the open-failed message.
bool FillCategoryTree(QTreeWidget *tree, const QString &rootCaption, const QString &flag);

// The path built from the names in the tree, starting at `node` or at its parent
// (the start node must be at level 1 or deeper).
QString CategoryPath(const QTreeWidgetItem *node, bool fromParent);

// The path of a new category named `name` below the category with path `parentPath`.
QString childCategoryPath(const QString &parentPath, const QString &name);

// A new code: the next free code at the level of `code` (sibling), or one level
// below it (child; an empty code is the root). A parent that already holds a
// child numbered 999 is refused instead of wrapping to "000".
Result<QString> NextCategoryCode(Database &db, const QString &code, const QString &flag, int mode);

// The condition that selects the items of a category and of all its
// descendants: equal to the path, or the path followed by a backslash.
// Empty for the root (every item).
SqlStatement categoryFilter(Database &db, const QString &column, const QString &path);

// The rules of t_treecode, without widgets.
class CategoryStore {
public:
    explicit CategoryStore(Database &db) : m_db(db) {}

    Result<QVector<tNodeData>> load(const QString &flag);
    Result<void> insert(const tNodeData &node, const QString &flag);
    // Changes the name and stored path of one category; descendants keep their stored paths.
    Result<void> rename(const QString &code, const QString &flag, const QString &name, const QString &path);
    // Removes the category and all its descendants of the same flag.
    Result<void> removeSubtree(const QString &code, const QString &flag);

private:
    Database &m_db;
};

// The text of the insert/update failure of the category window.
inline const QString kMsgTreeWriteFailed = QStringLiteral("数据连接失败，请与作者联系... ");

} // namespace tarvik

Q_DECLARE_METATYPE(tarvik::tNodeData)
