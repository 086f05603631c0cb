#include "master/categorytree.h"

#include "support/scriptedprompts.h"
#include "support/testdb.h"
#include "printers.h"

#include <QTreeWidget>

using namespace tarvik;
using namespace tarvik::test;

namespace {

class CategoryTreeTest : public EngineTest {
protected:
    void add(const QString &code, const QString &name, const QString &flag = kGoodTypeFlag, QString path = {})
    {
        if (path.isEmpty())
            path = kRootPath + name;
        ASSERT_TRUE(CategoryStore(db()).insert({int(code.size()), code, name, path}, flag).ok());
    }
    QString next(const QString &code, int mode, const QString &flag = kGoodTypeFlag)
    {
        auto r = NextCategoryCode(db(), code, flag, mode);
        EXPECT_TRUE(r.ok()) << r.message().toStdString();
        return r.valueOr(QString());
    }
    QStringList codes(const QString &flag)
    {
        QStringList out;
        auto rows = CategoryStore(db()).load(flag);
        EXPECT_TRUE(rows.ok());
        for (const tNodeData &n : rows.valueOr({}))
            out << n.code;
        return out;
    }
};

} // namespace

TEST_P(CategoryTreeTest, next_code_follows_the_largest_code_of_the_level)
{
    EXPECT_EQ(next(QString(), CodeChild), "001") << "first category of an empty tree";
    for (int i = 1; i <= 7; ++i)
        add(QStringLiteral("%1").arg(i, 3, 10, QLatin1Char('0')), QStringLiteral("类%1").arg(i));
    add("005002", "子2");
    add("005003", "子3");
    add("001001", "子", kProductTypeFlag); // the other tree has its own codes

    struct Case {
        const char *code;
        int mode;
        const char *expected;
    } cases[] = {
        {"", CodeChild, "008"},        // child of the root after 001..007
        {"003", CodeSibling, "008"},   // the next after the largest, not the next free number
        {"005", CodeChild, "005004"},  // after the largest child
        {"005002", CodeSibling, "005004"},
        {"001", CodeChild, "001001"},  // no children yet
        {"006", CodeChild, "006001"},
    };
    for (const Case &c : cases)
        EXPECT_EQ(next(QString::fromLatin1(c.code), c.mode), QString::fromLatin1(c.expected)) << c.code << " mode " << c.mode;
    EXPECT_EQ(next("001", CodeChild, kProductTypeFlag), "001002");
}

TEST_P(CategoryTreeTest, a_parent_with_a_999th_child_refuses_another_instead_of_wrapping)
{
    add("005", "五金");
    add("005998", "甲", kGoodTypeFlag, "\\\\五金\\甲");
    EXPECT_EQ(next("005", CodeChild), "005999");
    add("005999", "乙", kGoodTypeFlag, "\\\\五金\\乙");
    for (auto [code, mode] : {std::pair{"005", CodeChild}, std::pair{"005999", CodeSibling}}) {
        auto r = NextCategoryCode(db(), QString::fromLatin1(code), kGoodTypeFlag, mode);
        ASSERT_FALSE(r.ok()) << code;
        EXPECT_EQ(r.message(), "此类别下已有999个子类别，不能再增加！");
    }
    add("999", "末");
    EXPECT_FALSE(NextCategoryCode(db(), QString(), kGoodTypeFlag, CodeChild).ok()) << "999 first-level categories";
}

TEST_P(CategoryTreeTest, fill_builds_the_hierarchy_and_paths_come_from_the_names_shown)
{
    add("001", "钢材");
    add("001001", "圆钢", kGoodTypeFlag, "\\\\钢材\\圆钢");
    add("001001001", "Q235", kGoodTypeFlag, "\\\\钢材\\圆钢\\Q235");
    add("001002", "板材", kGoodTypeFlag, "\\\\钢材\\板材");
    add("002", "五金");
    add("001", "成品", kProductTypeFlag);

    QTreeWidget tree;
    ASSERT_TRUE(FillCategoryTree(&tree, "原材料类型", kGoodTypeFlag));
    ASSERT_EQ(tree.topLevelItemCount(), 1);
    QTreeWidgetItem *root = tree.topLevelItem(0);
    EXPECT_EQ(root->text(0), "原材料类型");
    EXPECT_EQ(nodeData(root).code, kRootCode);
    EXPECT_EQ(nodeData(root).path, kRootPath);
    ASSERT_EQ(root->childCount(), 2);
    QTreeWidgetItem *steel = root->child(0);
    ASSERT_EQ(steel->childCount(), 2);
    EXPECT_TRUE(steel->isExpanded()) << "first-level nodes open";
    QTreeWidgetItem *q235 = steel->child(0)->child(0);
    ASSERT_NE(q235, nullptr);
    EXPECT_EQ(nodeData(q235).code, "001001001");
    EXPECT_EQ(nodeLevel(q235), 3);
    EXPECT_EQ(steel->child(1)->text(0), "板材");
    EXPECT_EQ(root->child(1)->text(0), "五金");

    EXPECT_EQ(CategoryPath(q235, false), "\\\\钢材\\圆钢\\Q235");
    EXPECT_EQ(CategoryPath(q235, true), "\\\\钢材\\圆钢");
    EXPECT_EQ(CategoryPath(steel, false), "\\\\钢材");
    EXPECT_EQ(childCategoryPath(kRootPath, "新"), "\\\\新");
    EXPECT_EQ(childCategoryPath("\\\\钢材", "新"), "\\\\钢材\\新");
}

TEST_P(CategoryTreeTest, rename_changes_one_row_and_delete_removes_one_subtree_of_one_flag)
{
    add("001", "钢材");
    add("001001", "圆钢", kGoodTypeFlag, "\\\\钢材\\圆钢");
    add("001001001", "Q235", kGoodTypeFlag, "\\\\钢材\\圆钢\\Q235");
    add("002", "五金");
    add("001", "成品", kProductTypeFlag);
    add("001001", "整机", kProductTypeFlag, "\\\\成品\\整机");

    CategoryStore store(db());
    ASSERT_TRUE(store.rename("001", kGoodTypeFlag, "钢 '材'", "\\\\钢 '材'").ok());
    EXPECT_EQ(scalarOf(db(), "SELECT F_likecode FROM t_treecode WHERE F_code = '001' AND F_flag = 'goodtype'").toString(),
              "\\\\钢 '材'");
    EXPECT_EQ(scalarOf(db(), "SELECT F_likecode FROM t_treecode WHERE F_code = '001001' AND F_flag = 'goodtype'").toString(),
              "\\\\钢材\\圆钢")
        << "descendants keep their stored paths";
    EXPECT_EQ(scalarOf(db(), "SELECT F_name FROM t_treecode WHERE F_code = '001' AND F_flag = 'producttype'").toString(), "成品");

    ASSERT_TRUE(store.removeSubtree("001", kGoodTypeFlag).ok());
    EXPECT_EQ(codes(kGoodTypeFlag), QStringList{"002"});
    EXPECT_EQ(codes(kProductTypeFlag), (QStringList{"001", "001001"}));
    EXPECT_FALSE(store.removeSubtree(kRootCode, kGoodTypeFlag).ok());
    EXPECT_FALSE(store.insert({3, "003", "  ", "\\\\  "}, kGoodTypeFlag).ok()) << "blank names are refused";
}

TEST_P(CategoryTreeTest, category_filter_takes_descendants_but_not_siblings_sharing_a_prefix)
{
    for (auto [code, type] : {std::pair{"A", "\\\\钢"}, std::pair{"B", "\\\\钢\\圆_钢%"}, std::pair{"C", "\\\\钢材"},
                              std::pair{"D", "\\\\五金"}})
        ASSERT_TRUE(db().exec("INSERT INTO t_goods (F_code, F_type) VALUES (?, ?)", {QString::fromUtf8(code), QString::fromUtf8(type)}).ok());
    auto codesIn = [&](const QString &path) {
        SqlStatement f = categoryFilter(db(), "F_type", path);
        QString sql = "SELECT F_code FROM t_goods" + (f.isEmpty() ? QString() : " WHERE " + f.sql) + " ORDER BY F_code";
        auto q = db().exec(sql, f.params);
        EXPECT_TRUE(q.ok());
        QStringList out;
        while (q->next())
            out << q->value(0).toString();
        return out;
    };
    EXPECT_EQ(codesIn("\\\\钢"), (QStringList{"A", "B"}));
    EXPECT_EQ(codesIn("\\\\钢\\圆_钢%"), QStringList{"B"});
    EXPECT_EQ(codesIn(kRootPath), (QStringList{"A", "B", "C", "D"}));
}

TARVIK_ENGINE_TESTS(CategoryTreeTest);
