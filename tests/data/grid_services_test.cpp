#include "data/grid/datagrid.h"
#include "data/grid/gridservices.h"
#include "data/grid/tfrmdispfieldxz.h"
#include "data/rowset.h"
#include "data/session.h"
#include "support/scriptedprompts.h"
#include "support/testdb.h"

#include <QListWidget>

#include <gtest/gtest.h>

using namespace tarvik;
using namespace tarvik::test;

namespace {

// Grid services that need no database: a grid over an in-memory RowSet.
class GridServicesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        loginAsSuper();
        SystemOptions &o = systemOptions();
        o.AmountFormat = "A";
        o.PriceFormat = "P";
        o.TotalFormat = "T";
        lines.setFields({"F_GoodCode", "F_GoodName", "F_type", "F_spec", "F_address", "F_unit", "F_Amount", "F_Price",
                         "F_TotalPrice", "F_CBprice", "F_tax_rate", "F_price2", "F_Mem"});
        grid.setRowSet(&lines);
        for (const QString &f : lines.fieldNames())
            grid.addColumn(GridColumn(f, f));
    }
    void asClerk(bool priceRight)
    {
        loginContext().OperCode = "007";
        loginContext().Price = priceRight;
    }
    QStringList fields() const
    {
        QStringList out;
        for (const auto &c : grid.columns())
            out << c.field;
        return out;
    }
    QString formatOf(const QString &field) const
    {
        const int i = grid.columnIndex(field);
        EXPECT_EQ(grid.column(i).displayFormat, grid.column(i).footerFormat);
        return grid.column(i).displayFormat;
    }
    ScriptedPrompts prompts;
    RowSet lines;
    DataGrid grid;
};

} // namespace

TEST_F(GridServicesTest, number_formats_by_mode)
{
    FormatGridColumns(&grid, 1, 0);
    EXPECT_EQ(formatOf("F_tax_rate"), "A");
    EXPECT_EQ(formatOf("F_Price"), "P");
    EXPECT_EQ(formatOf("F_price2"), "P");
    EXPECT_EQ(formatOf("F_TotalPrice"), "T");
    EXPECT_EQ(formatOf("F_CBprice"), "T");
    EXPECT_EQ(formatOf("F_Amount"), "A");
    EXPECT_EQ(formatOf("F_GoodCode"), "");

    grid.clearColumns();
    for (const QString &f : lines.fieldNames())
        grid.addColumn(GridColumn(f, f));
    FormatGridColumns(&grid, 3, 0);
    EXPECT_EQ(formatOf("F_Price"), "T");
    EXPECT_EQ(formatOf("F_CBprice"), "T");
    EXPECT_EQ(formatOf("F_Amount"), "A");
    EXPECT_EQ(formatOf("F_tax_rate"), "");

    grid.clearColumns();
    for (const QString &f : lines.fieldNames())
        grid.addColumn(GridColumn(f, f));
    EXPECT_TRUE(FormatGridColumns(&grid, 2, 0));
    EXPECT_EQ(formatOf("F_Amount"), "A");
    EXPECT_EQ(formatOf("F_TotalPrice"), "T");
    EXPECT_EQ(formatOf("F_Price"), "");
    EXPECT_TRUE(prompts.shown.isEmpty());
}

TEST_F(GridServicesTest, mode_two_without_its_columns_reports_and_still_removes_prices)
{
    asClerk(false);
    grid.removeColumn(grid.columnIndex("F_Amount"));
    EXPECT_FALSE(FormatGridColumns(&grid, 2, 1));
    ASSERT_EQ(prompts.shown.size(), 1);
    EXPECT_EQ(prompts.shown[0].kind, MsgError);
    EXPECT_TRUE(prompts.shown[0].text.contains("f_amount"));
    EXPECT_EQ(grid.columnIndex("F_Price"), -1) << "prices still go for an operator without the right";
}

TEST_F(GridServicesTest, price_columns_by_price_mode_and_right)
{
    const QStringList all = lines.fieldNames();
    struct Case {
        const char *oper;
        bool right;
        int priceMode;
        QStringList gone;
        QStringList hidden;
    };
    const QStringList prices{"F_Price", "F_TotalPrice", "F_CBprice", "F_price2"};
    const Case cases[] = {
        {"007", false, 1, prices, {}},
        {"007", false, 2, prices, {}},
        {"007", false, 3, {}, prices},
        {"007", false, 0, {}, {}},
        {"007", true, 1, {}, {}},
        {"000", false, 1, {}, {}}, // the super user always sees prices
    };
    for (const auto &c : cases) {
        grid.clearColumns();
        for (const QString &f : all)
            grid.addColumn(GridColumn(f, f));
        grid.addColumn(GridColumn("F_SZ2", "数值项二"));
        loginContext().OperCode = c.oper;
        loginContext().Price = c.right;
        FormatGridColumns(&grid, 1, c.priceMode);
        const std::string label = std::string(c.oper) + " right " + (c.right ? "yes" : "no") + " mode "
            + std::to_string(c.priceMode);
        for (const QString &f : prices) {
            const int i = grid.columnIndex(f);
            EXPECT_EQ(i < 0, c.gone.contains(f)) << label << " " << f.toStdString();
            if (i >= 0) {
                EXPECT_EQ(!grid.column(i).visible, c.hidden.contains(f)) << label << " " << f.toStdString();
                EXPECT_EQ(grid.column(i).withheld, c.hidden.contains(f)) << label << " " << f.toStdString();
            }
        }
        // Price mode 2 also takes every field with a "2" in its name.
        EXPECT_EQ(grid.columnIndex("F_SZ2") < 0, c.priceMode == 2 && !c.right && QString(c.oper) != "000") << label;
        EXPECT_GE(grid.columnIndex("F_Amount"), 0) << label;
    }
}

TEST_F(GridServicesTest, total_price_sums_all_lines_also_without_the_price_right)
{
    for (double v : {10.5, 20.25, -3.0}) {
        const int r = lines.append();
        lines.setValue(r, "F_TotalPrice", v);
    }
    lines.append(); // a blank line counts as nothing
    EXPECT_DOUBLE_EQ(GridTotalPrice(&grid), 27.75);
    asClerk(false);
    FormatGridColumns(&grid, 1, 1);
    ASSERT_EQ(grid.columnIndex("F_TotalPrice"), -1);
    EXPECT_DOUBLE_EQ(GridTotalPrice(&grid), 27.75);
    EXPECT_EQ(grid.columnIndex("F_TotalPrice"), -1);
}

TEST_F(GridServicesTest, custom_captions_stop_at_the_first_missing_column)
{
    SystemOptions &o = systemOptions();
    for (int i = 0; i < 12; ++i) {
        o.CustomCaptions[size_t(i)] = QString("项%1").arg(i + 1);
        o.CustomVisible[size_t(i)] = i % 2 == 0;
    }
    grid.clearColumns();
    for (const char *f : {"F_ZF1", "F_ZF2", "F_ZF3", "F_ZF5", "F_SZ1"})
        grid.addColumn(GridColumn(f, "design"));
    ApplyCustomFieldCaptions(&grid);
    EXPECT_EQ(grid.column(0).title, "项1");
    EXPECT_TRUE(grid.column(0).visible);
    EXPECT_EQ(grid.column(1).title, "项2");
    EXPECT_FALSE(grid.column(1).visible);
    EXPECT_EQ(grid.column(2).title, "项3");
    EXPECT_EQ(grid.column(3).title, "design") << "F_ZF4 is missing: the rest keep their design";
    EXPECT_TRUE(grid.column(3).visible);
    EXPECT_EQ(grid.column(4).title, "design");
}

TEST_F(GridServicesTest, bill_grid_preparation)
{
    grid.setReadOnly(true);
    grid.setColumnReadOnly(grid.columnIndex("F_Amount"), true);
    PrepareBillGrid(&grid, false);
    EXPECT_FALSE(grid.isReadOnly());
    EXPECT_TRUE(grid.column(grid.columnIndex("F_GoodName")).editButton);
    for (const char *f : {"F_GoodName", "F_type", "F_spec", "F_address", "F_unit"})
        EXPECT_TRUE(grid.column(grid.columnIndex(f)).readOnly) << f;
    EXPECT_FALSE(grid.column(grid.columnIndex("F_Amount")).readOnly);
    EXPECT_FALSE(grid.column(grid.columnIndex("F_GoodCode")).readOnly);

    PrepareBillGrid(&grid, true);
    EXPECT_FALSE(grid.column(grid.columnIndex("F_address")).readOnly);
    EXPECT_TRUE(grid.column(grid.columnIndex("F_unit")).readOnly);

    // A grid without F_spec: F_address and F_unit are left editable.
    grid.removeColumn(grid.columnIndex("F_spec"));
    PrepareBillGrid(&grid, false);
    EXPECT_TRUE(grid.column(grid.columnIndex("F_type")).readOnly);
    EXPECT_FALSE(grid.column(grid.columnIndex("F_address")).readOnly);
    EXPECT_FALSE(grid.column(grid.columnIndex("F_unit")).readOnly);
}

TEST_F(GridServicesTest, chooser_sets_visibility_on_ok_only)
{
    grid.setColumnVisible(1, false);
    auto toggle = [](QDialog &d) {
        auto &dlg = dynamic_cast<TFrmDispFieldXZ &>(d);
        EXPECT_EQ(dlg.windowTitle(), "字段列表");
        EXPECT_EQ(dlg.list()->item(0)->text(), "F_GoodCode");
        EXPECT_EQ(dlg.list()->item(1)->checkState(), Qt::Unchecked);
        dlg.setTick(0, false);
        dlg.setTick(1, true);
    };
    prompts.answerDialog([&](QDialog &d) {
        toggle(d);
        return int(QDialog::Rejected);
    });
    EXPECT_FALSE(ChooseGridColumns(&grid));
    EXPECT_TRUE(grid.column(0).visible);
    EXPECT_FALSE(grid.column(1).visible);

    prompts.answerDialog([&](QDialog &d) {
        toggle(d);
        return int(QDialog::Accepted);
    });
    EXPECT_TRUE(ChooseGridColumns(&grid));
    EXPECT_FALSE(grid.column(0).visible);
    EXPECT_TRUE(grid.column(1).visible);
    EXPECT_TRUE(prompts.unexpected.isEmpty());
}

TEST_F(GridServicesTest, title_sorting_directions_by_group)
{
    for (const char *code : {"B", "C", "A"}) {
        const int r = lines.append();
        lines.setValue(r, "F_GoodCode", code);
        lines.setValue(r, "F_Mem", code);
    }
    auto codes = [this] {
        QString s;
        for (int r = 0; r < lines.count(); ++r)
            s += lines.text(r, "F_GoodCode");
        return s;
    };
    const int code = grid.columnIndex("F_GoodCode");
    // Group A: first click up = ascending, then down = descending, then up again.
    SortGridByTitle(&grid, code, SortGroup::A);
    EXPECT_EQ(grid.column(code).sortMarker, SortMarker::Up);
    EXPECT_EQ(codes(), "ABC");
    SortGridByTitle(&grid, code, SortGroup::A);
    EXPECT_EQ(grid.column(code).sortMarker, SortMarker::Down);
    EXPECT_EQ(codes(), "CBA");
    SortGridByTitle(&grid, code, SortGroup::A);
    EXPECT_EQ(codes(), "ABC");

    // Group B reverses the meaning of the markers; a new column starts from "none".
    grid.setColumnSortMarker(code, SortMarker::None);
    SortGridByTitle(&grid, code, SortGroup::B);
    EXPECT_EQ(grid.column(code).sortMarker, SortMarker::Up);
    EXPECT_EQ(codes(), "CBA");
    SortGridByTitle(&grid, code, SortGroup::B);
    EXPECT_EQ(codes(), "ABC");

    // Memo columns change their marker but never the order; the other markers are cleared.
    const int mem = grid.columnIndex("F_Mem");
    lines.sort("F_GoodCode", Qt::DescendingOrder);
    SortGridByTitle(&grid, mem, SortGroup::A);
    EXPECT_EQ(grid.column(mem).sortMarker, SortMarker::Up);
    EXPECT_EQ(grid.column(code).sortMarker, SortMarker::None);
    EXPECT_EQ(codes(), "CBA");

    // A closed RowSet: nothing happens.
    RowSet closed;
    SortGridByTitle(&grid, code, SortGroup::A, &closed);
    EXPECT_EQ(grid.column(code).sortMarker, SortMarker::None);
}

TEST_F(GridServicesTest, pop_up_menu_saves_only_after_yes)
{
    const GridMenu m = InstallGridMenu(&grid, "goodgl");
    ASSERT_NE(m.menu, nullptr);
    EXPECT_EQ(m.showFields->text(), "显示字段列表");
    EXPECT_EQ(m.saveLayout->text(), "保存当前设置");
    EXPECT_EQ(grid.popupMenu(), m.menu);
    prompts.answerMessages({MsgCancel});
    m.saveLayout->trigger();
    ASSERT_EQ(prompts.shown.size(), 1);
    EXPECT_EQ(prompts.shown[0].text, "真的要保存当前网格设置吗？");
    EXPECT_EQ(prompts.shown[0].kind, MsgQuestion);
}
