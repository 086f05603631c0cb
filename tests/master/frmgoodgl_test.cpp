#include "master/frmgoodgl.h"

#include "data/forms.h"
#include "master/screens.h"

#include "data/grid/datagrid.h"
#include "data/rowset.h"
#include "data/session.h"
#include "master/categorytree.h"
#include "master/dlgeditgoodtype.h"
#include "master/frmgoodedit.h"
#include "master/goodsstore.h"
#include "support/scriptedprompts.h"
#include "support/testdb.h"
#include "printers.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QTableView>
#include <QTest>
#include <QTreeWidget>

using namespace tarvik;
using namespace tarvik::test;

namespace {

class GoodListTest : public EngineTest {
protected:
    void SetUp() override
    {
        EngineTest::SetUp();
        auto add = [&](const char *code, const char *name, const char *type, const char *address, bool stopped) {
            GoodsRecord g;
            g.code = QString::fromLatin1(code);
            g.name = QString::fromUtf8(name);
            g.type = QString::fromUtf8(type);
            g.address = QString::fromUtf8(address);
            g.stopped = stopped;
            ASSERT_TRUE(GoodsStore(db()).saveNew(g, false).ok());
        };
        add("GL01", "圆钢", "\\\\钢材", "鞍山", false);
        add("GL02", "板材", "\\\\钢材", "唐山", false);
        add("WJ01", "螺栓", "\\\\五金", "鞍山", false);
        add("WJ02", "旧螺母", "\\\\五金", "", true);
        ASSERT_TRUE(CategoryStore(db()).insert({3, "001", "钢材", "\\\\钢材"}, kGoodTypeFlag).ok());
        ASSERT_TRUE(CategoryStore(db()).insert({3, "002", "五金", "\\\\五金"}, kGoodTypeFlag).ok());
    }
    QStringList listed(TFrmGoodGl &w)
    {
        QStringList out;
        for (int i = 0; i < w.rows->count(); ++i)
            out << w.rows->text(i, "F_code");
        return out;
    }
    void selectRows(TFrmGoodGl &w, std::initializer_list<int> rows)
    {
        QItemSelectionModel *sel = w.grid->view()->selectionModel();
        sel->clearSelection();
        for (int r : rows)
            sel->select(w.grid->view()->model()->index(r, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }
};

} // namespace

TEST_P(GoodListTest, empty_until_searched_then_filters_by_bar_tree_and_stopped)
{
    ScriptedPrompts p;
    TFrmGoodGl w;
    EXPECT_EQ(w.windowTitle(), "原材料管理");
    EXPECT_EQ(w.rows->count(), 0);
    EXPECT_EQ(w.tvTree->topLevelItem(0)->text(0), "原材料类型");
    EXPECT_EQ(w.grid->column(0).title, "原料编码");

    ASSERT_TRUE(w.search());
    EXPECT_EQ(listed(w), (QStringList{"GL01", "GL02", "WJ01"})) << "root: every active material";
    EXPECT_EQ(w.panels[2]->text(), "记录数：3");
    w.cbStopped->click();
    EXPECT_EQ(listed(w).size(), 4);
    EXPECT_EQ(w.grid->cellStyle(3, 0).text, QColor(Qt::red)) << "stopped rows are red";
    EXPECT_FALSE(w.grid->cellStyle(0, 0).text.isValid());

    w.ComboBox1->setCurrentIndex(GoodsByAddress);
    w.Edit1->setText("鞍山");
    QTest::keyClick(w.Edit1, Qt::Key_Return);
    EXPECT_EQ(listed(w), (QStringList{"GL01", "WJ01"}));
    w.ComboBox1->setCurrentIndex(GoodsByName);
    EXPECT_EQ(w.Edit1->text(), QString()) << "a new query type clears the content";

    w.tvTree->setCurrentItem(w.tvTree->topLevelItem(0)->child(1));
    w.search();
    EXPECT_EQ(listed(w), (QStringList{"WJ01", "WJ02"}));
    EXPECT_TRUE(p.shown.isEmpty());
}

TEST_P(GoodListTest, delete_asks_and_change_opens_the_editor_on_the_current_row)
{
    ScriptedPrompts p;
    TFrmGoodGl w;
    w.editGood();
    EXPECT_EQ(p.texts(), QStringList{"此表为空，没有记录需要修改！"});
    w.search();
    w.rows->locate("F_code", "GL02");

    p.clear();
    p.answerDialog([](QDialog &d) {
        auto &e = dynamic_cast<TFrmGoodEdit &>(d);
        EXPECT_EQ(e.mode(), TFrmGoodEdit::ChangeMode);
        EXPECT_EQ(e.edtCode->text(), "GL02");
        e.edtName->setText("热轧板");
        e.save();
        return e.result();
    });
    w.editGood();
    EXPECT_EQ(w.rows->text(w.rows->current(), "F_name"), "热轧板") << "the list is searched again and stays on the code";

    p.answerMessages({MsgOk});
    w.deleteGood();
    EXPECT_EQ(p.texts(), QStringList{"真的要删除商品热轧板吗？"});
    EXPECT_EQ(listed(w), (QStringList{"GL01", "WJ01"}));
    EXPECT_EQ(scalarOf(db(), "SELECT COUNT(*) FROM t_goods").toInt(), 3);
}

TEST_P(GoodListTest, batch_type_change_needs_a_selection_and_changes_only_the_selected_rows)
{
    ScriptedPrompts p;
    TFrmGoodGl w;
    w.search();
    auto answerType = [&] {
        p.answerDialog([](QDialog &d) {
            auto &t = dynamic_cast<TDlgEditGoodType &>(d);
            t.edtType->setText("\\\\五金");
            t.accept();
            return t.result();
        });
    };
    w.grid->view()->selectionModel()->clearSelection();
    p.answerMessages({MsgOk});
    answerType();
    w.changeType();
    EXPECT_EQ(p.texts(), (QStringList{"真的要改变当前所选商品的类型吗？", "请选择需要更改类型的货品资料！"}));

    p.clear();
    selectRows(w, {0, 1});
    p.answerMessages({MsgOk});
    answerType();
    w.changeType();
    EXPECT_EQ(scalarOf(db(), "SELECT COUNT(*) FROM t_goods WHERE F_type = '\\\\五金'").toInt(), 4);
    EXPECT_EQ(w.rows->text(0, "F_type"), "\\\\五金");
    EXPECT_FALSE(w.rows->hasPendingChanges());
}

TEST_P(GoodListTest, rights_gate_the_buttons_and_keys_and_navigation_follows_the_position)
{
    ScriptedPrompts p;
    loginContext() = LoginContext{};
    loginContext().OperCode = "101";
    loginContext().Edit = true;
    loginContext().PriceHidden = "1";
    TFrmGoodGl w;
    EXPECT_FALSE(w.tbNew->isEnabled());
    EXPECT_TRUE(w.tbEdit->isEnabled());
    EXPECT_FALSE(w.tbDel->isEnabled());
    EXPECT_FALSE(w.tbSet->isEnabled());
    EXPECT_EQ(w.templateName(), "frGoodGl1");
    EXPECT_EQ(w.grid->columnIndex("F_price"), -1) << "no price columns without the price right";

    w.search();
    w.grid->view()->setFocus();
    QTest::keyClick(w.grid->view(), Qt::Key_Delete);
    QTest::keyClick(w.grid->view(), Qt::Key_A, Qt::ControlModifier);
    EXPECT_TRUE(p.shown.isEmpty());
    EXPECT_TRUE(p.unexpected.isEmpty()) << "no editor, no question";
    EXPECT_EQ(scalarOf(db(), "SELECT COUNT(*) FROM t_goods").toInt(), 4);

    EXPECT_FALSE(w.tbFirst->isEnabled());
    EXPECT_TRUE(w.tbNext->isEnabled());
    QTest::keyClick(w.grid->view(), Qt::Key_End);
    EXPECT_EQ(w.rows->current(), 2);
    EXPECT_FALSE(w.tbLast->isEnabled());
    EXPECT_FALSE(w.tbNext->isEnabled());
    EXPECT_TRUE(w.tbPrior->isEnabled());
    QTest::keyClick(w.grid->view(), Qt::Key_PageUp);
    EXPECT_EQ(w.rows->current(), 1);
    QTest::keyClick(w.grid->view(), Qt::Key_Home);
    EXPECT_EQ(w.rows->current(), 0);
}

TARVIK_ENGINE_TESTS(GoodListTest);

namespace {
class MasterScreensTest : public EngineTest {
protected:
    void TearDown() override
    {
        ScreenRegistry::clear();
        EngineTest::TearDown();
    }
};
} // namespace

TEST_P(MasterScreensTest, commands_open_the_list_as_one_child_and_the_settings_as_modal_dialogs)
{
    ScriptedPrompts p;
    master::registerScreens();
    QStringList titles;
    for (int i = 0; i < 3; ++i)
        p.answerDialog([&](QDialog &d) {
            titles << d.windowTitle();
            return int(QDialog::Rejected);
        });
    for (int code : {203, 204, 205})
        EXPECT_TRUE(ScreenRegistry::open(code)) << code;
    EXPECT_EQ(titles, (QStringList{"原材料类型资料", "产成品类型资料", "选项设置"}));

    ASSERT_TRUE(ScreenRegistry::open(201));
    TFrmGoodGl *list = findChildForm<TFrmGoodGl>();
    ASSERT_NE(list, nullptr);
    ASSERT_TRUE(ScreenRegistry::open(201));
    EXPECT_EQ(findChildForm<TFrmGoodGl>(), list) << "a second open brings the first to the front";
    delete list;
}

TARVIK_ENGINE_TESTS(MasterScreensTest);
