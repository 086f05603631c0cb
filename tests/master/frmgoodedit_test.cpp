#include "master/frmgoodedit.h"

#include "data/rowset.h"
#include "data/session.h"
#include "data/widgets/checkeddateedit.h"
#include "support/scriptedprompts.h"
#include "support/testdb.h"
#include "printers.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

using namespace tarvik;
using namespace tarvik::test;

namespace {

class GoodEditTest : public EngineTest {
protected:
    void addMaterial(const QString &code, const QString &name)
    {
        GoodsRecord g;
        g.code = code;
        g.name = name;
        g.price = 2;
        g.amount = 10;
        g.totalPrice = 20;
        g.rq[1] = QDate(2024, 5, 6);
        ASSERT_TRUE(GoodsStore(db()).saveNew(g, false).ok());
    }
};

} // namespace

TEST_P(GoodEditTest, new_mode_fills_the_automatic_code_and_continuous_add_keeps_the_code)
{
    ScriptedPrompts p;
    addMaterial("GL0012", "旧料");
    systemOptions().AutoItemCode = true;
    QStringList refreshed;
    TFrmGoodEdit w(TFrmGoodEdit::NewMode, nullptr, false);
    w.refresh = [&](const QString &code) { refreshed << code; };
    EXPECT_EQ(w.windowTitle(), "商品信息编辑 - 新增");
    EXPECT_TRUE(w.cbCode->isChecked());
    EXPECT_EQ(w.edtCode->text(), "GL0013");
    EXPECT_TRUE(w.cbContinue->isVisibleTo(&w));
    EXPECT_FALSE(w.navigator->isVisibleTo(&w));

    w.edtName->setText("角钢");
    w.rceAmount->setValue(3);
    w.cePrice->setValue(1.5);
    EXPECT_DOUBLE_EQ(w.ceTotalPrice->value(), 4.5) << "price times quantity";
    ASSERT_TRUE(w.save());
    EXPECT_EQ(refreshed, QStringList{"GL0013"});
    EXPECT_EQ(w.result(), 0) << "continuous add stays open";
    EXPECT_EQ(w.edtCode->text(), "GL0013");
    EXPECT_EQ(w.edtName->text(), QString()) << "other fields cleared";
    EXPECT_DOUBLE_EQ(scalarOf(db(), "SELECT F_totalPrice FROM t_goods WHERE F_code = 'GL0013'").toDouble(), 4.5);

    EXPECT_FALSE(w.save());
    EXPECT_EQ(p.texts(), QStringList{"材料编号重复，请重新输入！"});

    p.clear();
    w.edtCode->setText("GL00AB");
    EXPECT_FALSE(w.save());
    EXPECT_EQ(p.texts(), QStringList{"采用自动编号，货品编号最后四位必须全为数字！"});
    w.cbCode->setChecked(false);
    w.cbContinue->setChecked(false);
    w.edtCode->setText("  ");
    p.clear();
    EXPECT_FALSE(w.save());
    EXPECT_EQ(p.texts(), QStringList{"当前材料编号不能为空！"});
    w.edtCode->setText("GL00AB");
    ASSERT_TRUE(w.save());
    EXPECT_EQ(w.result(), QDialog::Accepted);
    EXPECT_FALSE(systemOptions().AutoItemCode) << "the last state of 自动 is kept";
}

TEST_P(GoodEditTest, change_mode_loads_the_list_row_moves_with_the_navigator_and_closes_after_save)
{
    ScriptedPrompts p;
    addMaterial("A1", "甲");
    addMaterial("A2", "乙");
    RowSet list;
    ASSERT_TRUE(list.open(db(), "SELECT * FROM t_goods ORDER BY F_code").ok());
    list.setCurrent(0);
    QStringList refreshed;
    TFrmGoodEdit w(TFrmGoodEdit::ChangeMode, &list, false);
    w.refresh = [&](const QString &code) { refreshed << code; };
    EXPECT_EQ(w.windowTitle(), "商品信息编辑 - 修改");
    EXPECT_FALSE(w.cbCode->isEnabled());
    EXPECT_FALSE(w.cbContinue->isVisibleTo(&w));
    EXPECT_TRUE(w.navigator->isVisibleTo(&w));
    EXPECT_EQ(w.edtName->text(), "甲");
    EXPECT_DOUBLE_EQ(w.ceTotalPrice->value(), 20.0);
    EXPECT_FALSE(w.dtpRQ[0]->isChecked()) << "absent date unticked";
    EXPECT_TRUE(w.dtpRQ[1]->isChecked());

    w.moveNext();
    EXPECT_EQ(w.edtName->text(), "乙");
    EXPECT_EQ(w.oldCode(), "A2");
    w.edtCode->setText("A1");
    EXPECT_FALSE(w.save());
    EXPECT_EQ(p.texts(), QStringList{"材料编号重复，请重新输入！"});
    w.edtCode->setText("A3");
    ASSERT_TRUE(w.save());
    EXPECT_EQ(w.result(), QDialog::Accepted);
    EXPECT_EQ(refreshed, QStringList{"A3"});
    EXPECT_EQ(scalarOf(db(), "SELECT COUNT(*) FROM t_goods WHERE F_code IN ('A1', 'A3')").toInt(), 2);
}

TEST_P(GoodEditTest, custom_fields_follow_the_options_and_prices_need_the_price_right)
{
    loginContext().OperCode = "101";
    loginContext().Price = false;
    systemOptions().CustomCaptions[0] = "颜色";
    systemOptions().CustomVisible[0] = true;
    systemOptions().CustomVisible[8] = true;
    systemOptions().CustomCaptions[8] = "检验日";
    TFrmGoodEdit w(TFrmGoodEdit::NewMode, nullptr, true);
    EXPECT_FALSE(w.cbContinue->isVisibleTo(&w)) << "not from the chooser";
    for (QWidget *box : {static_cast<QWidget *>(w.cePrice1), static_cast<QWidget *>(w.cePrice2),
                         static_cast<QWidget *>(w.cePrice), static_cast<QWidget *>(w.ceTotalPrice)})
        EXPECT_FALSE(box->isVisibleTo(&w)) << box->objectName().toStdString();
    EXPECT_TRUE(w.rceAmount->isVisibleTo(&w));
    EXPECT_TRUE(w.edtZF[0]->isVisibleTo(&w));
    EXPECT_EQ(w.customLabels[0]->text(), "颜色：");
    EXPECT_FALSE(w.edtZF[1]->isVisibleTo(&w));
    EXPECT_TRUE(w.dtpRQ[0]->isVisibleTo(&w));
    EXPECT_EQ(w.customLabels[8]->text(), "检验日：");
    EXPECT_FALSE(w.rceSZ[0]->isVisibleTo(&w));
}

TARVIK_ENGINE_TESTS(GoodEditTest);
