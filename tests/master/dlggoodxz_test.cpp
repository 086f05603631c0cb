#include "master/dlggoodxz.h"

#include "data/grid/datagrid.h"
#include "data/rowset.h"
#include "data/session.h"
#include "master/categorytree.h"
#include "master/goodsstore.h"
#include "support/scriptedprompts.h"
#include "support/testdb.h"
#include "fakechoosertarget.h"
#include "printers.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QTreeWidget>

using namespace tarvik;
using namespace tarvik::test;

namespace {

class GoodsChooserTest : public EngineTest {
protected:
    void SetUp() override
    {
        EngineTest::SetUp();
        for (auto [code, type, stopped] : {std::tuple{"A1", "\\\\钢材", false}, std::tuple{"A2", "\\\\钢材", false},
                                           std::tuple{"A3", "\\\\钢材", true}, std::tuple{"B1", "\\\\五金", false}}) {
            GoodsRecord g;
            g.code = QString::fromLatin1(code);
            g.name = g.code + "名";
            g.type = QString::fromUtf8(type);
            g.unit = "个";
            g.price = 1.25;
            g.stopped = stopped;
            g.zf[0] = "色" + g.code;
            ASSERT_TRUE(GoodsStore(db()).saveNew(g, false).ok());
        }
        ASSERT_TRUE(CategoryStore(db()).insert({3, "001", "钢材", "\\\\钢材"}, kGoodTypeFlag).ok());
    }
    QStringList listed(TDlgGoodXz &d)
    {
        QStringList out;
        for (int i = 0; i < d.rows->count(); ++i)
            out << d.rows->text(i, "F_code");
        return out;
    }
    void addReceipt(const QString &number, const QString &code, double price)
    {
        ASSERT_TRUE(db().exec("INSERT INTO DepotM (F_Code, F_Flag, F_OperFlag) VALUES (?, 1, 1)", {number}).ok());
        ASSERT_TRUE(db().exec("INSERT INTO DepotD (F_Code, F_GoodCode, F_price, F_flag) VALUES (?, ?, ?, 0)", {number, code, price}).ok());
    }
};

} // namespace

TEST_P(GoodsChooserTest, append_mode_leaves_out_codes_on_the_target_and_moves_to_the_following_row)
{
    ScriptedPrompts p;
    addReceipt("CJD20240101001", "A3", 7.5);
    addReceipt("CJD20240105001", "A3", 9.0); // the bill being entered: left out of the price look-up
    FakeChooserTarget bill;
    bill.codes = {"A2", "  "};
    TDlgGoodXz d;
    d.prepareAppend(&bill);
    EXPECT_EQ(listed(d), (QStringList{"A1", "A3", "B1"})) << "disabled materials are offered, A2 is on the bill";
    EXPECT_EQ(d.lblCount->text(), "当前货品数量： 3 个");
    ASSERT_GT(d.grid->columnCount(), 0);
    EXPECT_EQ(d.grid->column(0).title, "原料编码") << "the delivered layout dlgGoodXz";

    d.rows->locate("F_code", "A3");
    ASSERT_TRUE(d.appendCurrent());
    ASSERT_EQ(bill.lines.size(), 1);
    const QVariantMap line = bill.lines[0];
    EXPECT_EQ(line.value("F_code").toString(), "CJD20240105001") << "owner column";
    EXPECT_EQ(line.value("F_goodcode").toString(), "A3");
    EXPECT_EQ(line.value("F_goodName").toString(), "A3名");
    EXPECT_EQ(line.value("F_unit").toString(), "个");
    EXPECT_EQ(line.value("F_ZF1").toString(), "色A3");
    EXPECT_DOUBLE_EQ(line.value("F_amount").toDouble(), 1.0);
    EXPECT_DOUBLE_EQ(line.value("F_price").toDouble(), 7.5) << "newest receipt price on another bill";
    EXPECT_EQ(listed(d), (QStringList{"A1", "B1"}));
    EXPECT_EQ(d.rows->text(d.rows->current(), "F_code"), "B1") << "the row that followed";

    // A bill of materials: price kind 1, no bill left out, owner F_mainCode.
    FakeChooserTarget bom;
    bom.ownerField = "F_mainCode";
    bom.owner = "P1";
    bom.excluded.clear();
    TDlgGoodXz b;
    b.prepareAppend(&bom);
    b.rows->locate("F_code", "A3");
    ASSERT_TRUE(b.appendCurrent());
    EXPECT_EQ(bom.lines[0].value("F_mainCode").toString(), "P1");
    EXPECT_DOUBLE_EQ(bom.lines[0].value("F_price").toDouble(), 9.0);
    b.rows->locate("F_code", "B1");
    ASSERT_TRUE(b.appendCurrent());
    EXPECT_DOUBLE_EQ(bom.lines[1].value("F_price").toDouble(), 1.25) << "no bill line: the material's own price";
    EXPECT_EQ(b.rows->text(b.rows->current(), "F_code"), "A2") << "after the last row: the new last row";
    EXPECT_TRUE(p.shown.isEmpty());
}

TEST_P(GoodsChooserTest, search_boxes_and_tree_filter_and_ok_appends_then_closes)
{
    FakeChooserTarget bill;
    TDlgGoodXz d;
    d.prepareAppend(&bill);
    EXPECT_EQ(listed(d).size(), 4);
    d.edtCode->setText("a"); // every change of the code box searches
    EXPECT_EQ(listed(d), (QStringList{"A1", "A2", "A3"}));
    d.edtCode->clear();
    d.edtName->setText("B1");
    d.btnSearch->click();
    EXPECT_EQ(listed(d), QStringList{"B1"});
    d.edtName->clear();
    d.tvTree->setCurrentItem(d.tvTree->topLevelItem(0)->child(0));
    d.search();
    EXPECT_EQ(listed(d), (QStringList{"A1", "A2", "A3"}));

    d.btnOk->click();
    EXPECT_EQ(d.result(), QDialog::Accepted);
    ASSERT_EQ(bill.lines.size(), 1);
    EXPECT_EQ(bill.lines[0].value("F_goodcode").toString(), "A1");
}

TEST_P(GoodsChooserTest, pick_mode_returns_the_chosen_code_or_the_start_value)
{
    ScriptedPrompts p;
    {
        TDlgGoodXz d;
        d.preparePick("起始");
        EXPECT_EQ(listed(d), (QStringList{"A1", "A2", "B1"})) << "active materials";
        EXPECT_EQ(d.lblCount->text(), "当前原材料数量： 3 个");
        EXPECT_FALSE(d.selectButtonShown());
    }
    p.answerDialog([](QDialog &dialog) {
        auto &d = dynamic_cast<TDlgGoodXz &>(dialog);
        d.rows->locate("F_code", "B1");
        d.btnOk->click();
        return d.result();
    });
    EXPECT_EQ(TDlgGoodXz::pick(""), "B1");
    p.answerDialog([](QDialog &dialog) {
        dynamic_cast<TDlgGoodXz &>(dialog).btnClose->click();
        return dialog.result();
    });
    EXPECT_EQ(TDlgGoodXz::pick("原值"), "原值");
    EXPECT_EQ(scalarOf(db(), "SELECT COUNT(*) FROM tempCode").toInt(), 0);
}

TEST_P(GoodsChooserTest, floating_select_button_sits_over_the_focused_row_and_f2_presses_it)
{
    FakeChooserTarget bill;
    TDlgGoodXz d;
    d.prepareAppend(&bill);
    d.show();
    d.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&d));
    d.rows->setCurrent(1);
    ASSERT_TRUE(d.selectButtonShown());
    QTableView *view = d.grid->view();
    const QRect cell = view->visualRect(view->model()->index(1, d.grid->shownColumns().first()));
    EXPECT_EQ(d.btnSelect->geometry().left(), view->viewport()->width() * 2 / 3);
    EXPECT_EQ(d.btnSelect->geometry().top(), cell.top());

    QTest::keyClick(d.grid->view(), Qt::Key_F2);
    ASSERT_EQ(bill.lines.size(), 1);
    EXPECT_EQ(bill.lines[0].value("F_goodcode").toString(), "A2");

    d.edtCode->setText("none");
    EXPECT_FALSE(d.selectButtonShown()) << "nothing to choose";
    QTest::keyClick(d.grid->view(), Qt::Key_F2);
    EXPECT_EQ(bill.lines.size(), 1);
}

TEST_P(GoodsChooserTest, header_targets_take_the_item_and_close)
{
    FakeChooserTarget header;
    header.header = true;
    TDlgGoodXz d;
    d.prepareAppend(&header);
    d.rows->locate("F_code", "B1");
    EXPECT_TRUE(d.appendCurrent());
    EXPECT_EQ(d.result(), QDialog::Accepted);
    ASSERT_EQ(header.headerItems.size(), 1);
    EXPECT_EQ(header.headerItems[0].value("f_code").toString(), "B1");
    EXPECT_TRUE(header.lines.isEmpty());
}

TARVIK_ENGINE_TESTS(GoodsChooserTest);
