#include "master/frmtreecodeman.h"

#include "master/categorytree.h"
#include "master/dlgentercaption.h"
#include "master/dlgeditgoodtype.h"
#include "support/scriptedprompts.h"
#include "support/testdb.h"
#include "printers.h"

#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>
#include <QTreeWidget>

using namespace tarvik;
using namespace tarvik::test;

namespace {

class TreeWindowTest : public EngineTest {
protected:
    // Answers the next entry dialog with `text` (OK), or cancels it when text is null.
    void answerName(ScriptedPrompts &p, const QString &text, QString *caption = nullptr)
    {
        p.answerDialog([text, caption](QDialog &d) {
            auto &entry = dynamic_cast<TDLGenterCaption &>(d);
            if (caption)
                *caption = entry.windowTitle();
            if (text.isNull())
                return int(QDialog::Rejected);
            entry.edtCaption->setText(text);
            return int(QDialog::Accepted);
        });
    }
    QTreeWidgetItem *root(TFrmTreeCodeMan &w) { return w.tvTree->topLevelItem(0); }
    QString stored(const QString &code, const char *column = "F_likecode")
    {
        return scalarOf(db(), QStringLiteral("SELECT %1 FROM t_treecode WHERE F_code = ? AND F_flag = 'goodtype'").arg(QString::fromLatin1(column)),
                        {code})
            .toString();
    }
};

} // namespace

TEST_P(TreeWindowTest, adding_categories_draws_codes_and_paths_and_shows_them_at_once)
{
    ScriptedPrompts p;
    TFrmTreeCodeMan w(TFrmTreeCodeMan::MaintainGoods);
    EXPECT_EQ(w.windowTitle(), "原材料类型资料");
    EXPECT_FALSE(w.pBottom->isVisibleTo(&w)) << "no 确定/取消 when maintaining";

    w.addSibling();
    EXPECT_EQ(p.texts(), QStringList{"不能增加根节点的同类节点，该节点只能增加子节点！"});

    QString caption;
    answerName(p, "钢材 'A'", &caption);
    w.addChild();
    EXPECT_EQ(caption, "添加 000 原材料类型资料 子类");
    ASSERT_EQ(root(w)->childCount(), 1);
    QTreeWidgetItem *steel = root(w)->child(0);
    EXPECT_EQ(nodeData(steel).code, "001");
    EXPECT_EQ(stored("001"), "\\\\钢材 'A'");

    w.selectNode(steel);
    answerName(p, "圆钢");
    w.addChild();
    answerName(p, "  "); // blank: nothing added
    w.addChild();
    ASSERT_EQ(steel->childCount(), 1);
    QTreeWidgetItem *round = steel->child(0);
    EXPECT_EQ(nodeData(round).code, "001001");
    EXPECT_EQ(stored("001001"), "\\\\钢材 'A'\\圆钢");

    w.selectNode(round);
    answerName(p, "板材", &caption);
    w.addSibling();
    EXPECT_EQ(caption, "添加 001001 圆钢 同类");
    ASSERT_EQ(steel->childCount(), 2);
    EXPECT_EQ(stored("001002"), "\\\\钢材 'A'\\板材");

    w.selectNode(steel);
    answerName(p, "五金");
    w.addSibling();
    EXPECT_EQ(stored("002"), "\\\\五金");
    EXPECT_TRUE(p.allAnswersUsed());
    EXPECT_TRUE(p.unexpected.isEmpty()) << p.unexpected.join(", ").toStdString();
}

TEST_P(TreeWindowTest, renaming_changes_only_the_node_and_ignores_a_change_of_letter_case)
{
    CategoryStore store(db());
    ASSERT_TRUE(store.insert({3, "001", "Steel", "\\\\Steel"}, kGoodTypeFlag).ok());
    ASSERT_TRUE(store.insert({6, "001001", "Bar", "\\\\Steel\\Bar"}, kGoodTypeFlag).ok());
    ScriptedPrompts p;
    TFrmTreeCodeMan w(TFrmTreeCodeMan::MaintainGoods);
    QTreeWidgetItem *steel = root(w)->child(0);

    w.selectNode(root(w));
    w.changeNode();
    EXPECT_TRUE(p.unexpected.isEmpty()) << "nothing to change on the root";

    w.selectNode(steel);
    QString caption;
    answerName(p, "STEEL", &caption);
    w.changeNode();
    EXPECT_EQ(caption, "修改类别 001 Steel 子类");
    EXPECT_EQ(stored("001", "F_name"), "Steel");

    answerName(p, "钢");
    w.changeNode();
    EXPECT_EQ(stored("001", "F_name"), "钢");
    EXPECT_EQ(stored("001"), "\\\\钢");
    EXPECT_EQ(steel->text(0), "钢");
    EXPECT_EQ(stored("001001"), "\\\\Steel\\Bar") << "children keep their stored path";
}

TEST_P(TreeWindowTest, delete_asks_refuses_the_root_and_removes_the_subtree)
{
    CategoryStore store(db());
    ASSERT_TRUE(store.insert({3, "001", "钢材", "\\\\钢材"}, kGoodTypeFlag).ok());
    ASSERT_TRUE(store.insert({6, "001001", "圆钢", "\\\\钢材\\圆钢"}, kGoodTypeFlag).ok());
    ASSERT_TRUE(store.insert({3, "002", "五金", "\\\\五金"}, kGoodTypeFlag).ok());
    ScriptedPrompts p;
    TFrmTreeCodeMan w(TFrmTreeCodeMan::MaintainGoods);

    w.selectNode(root(w));
    w.deleteNode();
    EXPECT_EQ(p.texts(), QStringList{"不能删除根节点！"});
    EXPECT_EQ(root(w)->childCount(), 2) << "the view keeps every node";

    p.clear();
    w.selectNode(root(w)->child(1));
    p.answerMessages({MsgCancel});
    w.deleteNode();
    EXPECT_EQ(p.texts(), QStringList{"真的要删除当前节点 “002五金” 吗？"});
    EXPECT_EQ(root(w)->childCount(), 2);

    p.clear();
    w.selectNode(root(w)->child(0));
    p.answerMessages({MsgOk});
    w.deleteNode();
    EXPECT_EQ(p.texts(), QStringList{"此节点包含有子节点，真的要删除所有的子节点吗？"});
    ASSERT_EQ(root(w)->childCount(), 1);
    EXPECT_EQ(scalarOf(db(), "SELECT COUNT(*) FROM t_treecode").toInt(), 1);
}

TEST_P(TreeWindowTest, chooser_preselects_the_callers_path_and_returns_the_chosen_path)
{
    CategoryStore store(db());
    ASSERT_TRUE(store.insert({3, "001", "整机", "\\\\整机"}, kProductTypeFlag).ok());
    ASSERT_TRUE(store.insert({6, "001001", "电机", "\\\\整机\\电机"}, kProductTypeFlag).ok());
    ScriptedPrompts p;
    {
        TFrmTreeCodeMan w(TFrmTreeCodeMan::ChooseProducts);
        EXPECT_EQ(w.windowTitle(), "产成品类型资料");
        EXPECT_TRUE(w.pBottom->isVisibleTo(&w));
        w.setPresetPath("\\\\没有");
        EXPECT_EQ(w.selectedNode(), root(w)) << "an unknown path leaves the selection as loaded";
        w.confirm();
        EXPECT_EQ(p.texts(), QStringList{"不能选择根节点！"});
        w.setPresetPath("\\\\整机\\电机");
        EXPECT_EQ(nodeData(w.selectedNode()).code, "001001");
    }
    p.answerDialog([](QDialog &d) {
        auto &w = dynamic_cast<TFrmTreeCodeMan &>(d);
        EXPECT_EQ(nodeData(w.selectedNode()).code, "001001");
        w.selectNode(w.tvTree->topLevelItem(0)->child(0));
        w.btnOk->click();
        return d.result();
    });
    EXPECT_EQ(TFrmTreeCodeMan::choose(true, "\\\\整机\\电机"), "\\\\整机");
    p.answerDialog([](QDialog &) { return int(QDialog::Rejected); });
    EXPECT_EQ(TFrmTreeCodeMan::choose(true, "手写类型"), "手写类型") << "cancel returns the input";
}

TEST_P(TreeWindowTest, entry_and_batch_type_dialogs_refuse_blank_answers)
{
    ScriptedPrompts p;
    TDLGenterCaption entry("添加");
    entry.edtCaption->setText("   ");
    entry.btnOk->click();
    EXPECT_EQ(entry.result(), QDialog::Rejected) << "stays open";
    EXPECT_EQ(p.texts(), QStringList{"部门名称不能为空！"});
    entry.edtCaption->setText(" 带空格 ");
    entry.btnOk->click();
    EXPECT_EQ(entry.result(), QDialog::Accepted);
    EXPECT_EQ(entry.text(), " 带空格 ") << "returned as typed";

    p.clear();
    TDlgEditGoodType type(false);
    type.btnOk->click();
    EXPECT_EQ(p.texts(), QStringList{"商品类型名称不能为空！"});
    EXPECT_EQ(type.result(), QDialog::Rejected);
    p.answerDialog([](QDialog &d) {
        auto &w = dynamic_cast<TFrmTreeCodeMan &>(d);
        EXPECT_EQ(w.mode(), TFrmTreeCodeMan::ChooseGoods);
        return int(QDialog::Rejected);
    });
    type.sbType->click();
    EXPECT_EQ(type.path(), QString());
}

TARVIK_ENGINE_TESTS(TreeWindowTest);
