#include "master/frmcodeman.h"

#include "data/grid/datagrid.h"
#include "data/rowset.h"
#include "master/codelist.h"
#include "support/scriptedprompts.h"
#include "support/testdb.h"
#include "printers.h"

#include <QAction>
#include <QTabBar>

using namespace tarvik;
using namespace tarvik::test;

namespace {
class CodeManTest : public EngineTest {
protected:
    int stored(const QString &type)
    {
        return scalarOf(db(), "SELECT COUNT(*) FROM t_code WHERE F_type = ?", {type}).toInt();
    }
};
} // namespace

TEST_P(CodeManTest, browse_and_edit_states_switch_buttons_tabs_and_grid)
{
    ScriptedPrompts p;
    TFrmCodeMan w;
    EXPECT_EQ(w.currentType(), "empname");
    EXPECT_EQ(w.grid->column(0).title, "业 务 员");
    EXPECT_EQ(w.tabs->count(), 10);
    auto browse = [&](bool yes) {
        for (QAction *a : {w.tbNew, w.tbEdit, w.tbDel, w.tbExit, w.tbRefresh, w.tbPrint})
            EXPECT_EQ(a->isEnabled(), yes) << a->text().toStdString();
        EXPECT_EQ(w.tbSave->isEnabled(), !yes);
        EXPECT_EQ(w.tbCancel->isEnabled(), !yes);
        EXPECT_EQ(w.tabs->isEnabled(), yes);
        EXPECT_EQ(w.grid->isReadOnly(), yes);
    };
    browse(true);

    w.editEntry();
    w.deleteEntry();
    EXPECT_EQ(p.texts(), (QStringList{"此表为空，没有记录需要修改！", "此表是空表，不需要删除！"}));
    browse(true);

    w.addEntry();
    browse(false);
    w.rows->setValue("F_name", "张三");
    w.cancelEntries();
    browse(true);
    EXPECT_EQ(w.rows->count(), 0) << "cancel drops what was typed";
    EXPECT_EQ(stored("empname"), 0);
}

TEST_P(CodeManTest, save_stores_entries_under_the_tab_type_and_delete_asks_with_the_caption)
{
    ScriptedPrompts p;
    TFrmCodeMan w;
    w.tabs->setCurrentIndex(9);
    EXPECT_EQ(w.currentType(), "abSheet1");
    EXPECT_EQ(w.grid->column(0).title, "特殊符号");
    w.addEntry();
    w.rows->setValue("F_name", "★");
    w.addEntry(); // still editing: a second add does nothing
    ASSERT_TRUE(w.saveEntries());
    w.addEntry();
    w.rows->setValue("F_name", "Φ \"直径\"");
    ASSERT_TRUE(w.saveEntries());
    EXPECT_EQ(stored("abSheet1"), 2);

    w.tabs->setCurrentIndex(1);
    EXPECT_EQ(w.rows->count(), 0) << "another list";
    w.tabs->setCurrentIndex(9);
    ASSERT_EQ(w.rows->count(), 2);
    w.rows->setCurrent(0);
    p.answerMessages({MsgCancel, MsgOk});
    w.deleteEntry();
    EXPECT_EQ(stored("abSheet1"), 2);
    w.deleteEntry();
    EXPECT_EQ(p.texts().value(0), "真的要删除 \" 特殊符号 \"★吗？");
    EXPECT_EQ(stored("abSheet1"), 1);
    EXPECT_EQ(scalarOf(db(), "SELECT F_name FROM t_code").toString(), "Φ \"直径\"");
}

TEST_P(CodeManTest, closing_while_editing_asks_before_dropping_entries)
{
    ScriptedPrompts p;
    TFrmCodeMan w;
    w.addEntry();
    w.rows->setValue("F_name", "李四");
    p.answerMessages({MsgOk});
    w.close();
    EXPECT_EQ(p.texts(), QStringList{"当前列表有未保存的修改，要保存吗？"});
    EXPECT_EQ(stored("empname"), 1);
}

TARVIK_ENGINE_TESTS(CodeManTest);
