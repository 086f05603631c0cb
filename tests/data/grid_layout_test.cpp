#include "data/grid/datagrid.h"
#include "data/grid/gridservices.h"
#include "data/rowset.h"
#include "data/session.h"
#include "support/scriptedprompts.h"
#include "support/testdb.h"

#include <QSqlQuery>
#include <QSqlRecord>

using namespace tarvik;
using namespace tarvik::test;

namespace {

class GridLayoutTest : public EngineTest {
protected:
    void SetUp() override
    {
        EngineTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        ASSERT_TRUE(lines.open(dm().db(), "SELECT * FROM DepotD WHERE F_Code = ?", {QStringLiteral("none")}).ok());
        grid.setRowSet(&lines);
    }
    void addRow(const QString &gridName, const QString &field, const QString &caption, int order, int width = 80,
                bool visible = true, bool readOnly = false, int align = 0, const QString &format = {},
                const QString &footerValue = {}, int footerType = 0)
    {
        auto q = db().exec("INSERT INTO cfg_Grid (F_name, F_fieldname, F_caption, F_width, F_visible, F_readonly, "
                           "F_order, F_alignMent, F_displayFormat, F_footerValue, F_footerType) "
                           "VALUES (?,?,?,?,?,?,?,?,?,?,?)",
                           {gridName, field, caption, width, visible, readOnly, order, align, format, footerValue,
                            footerType});
        ASSERT_TRUE(q.ok()) << q.error().detail.toStdString();
    }
    QVariantMap stored(const QString &gridName, const QString &field)
    {
        QVariantMap m;
        auto q = db().exec("SELECT F_caption, F_width, F_visible, F_readonly, F_order, F_alignMent, F_displayFormat, "
                           "F_footerValue, F_footerType FROM cfg_Grid WHERE F_name = ? AND F_fieldname = ?",
                           {gridName, field});
        EXPECT_TRUE(q.ok());
        if (q && q->next())
            for (int i = 0; i < 9; ++i)
                m.insert(q->record().fieldName(i).toLower(), q->value(i));
        return m;
    }
    QStringList fields() const
    {
        QStringList out;
        for (const auto &c : grid.columns())
            out << c.field;
        return out;
    }
    ScriptedPrompts prompts;
    RowSet lines;
    DataGrid grid;
};

} // namespace

TEST_P(GridLayoutTest, layout_round_trip_keeps_quotes_and_follows_order)
{
    // Order values with gaps and a repeat; a row naming a field the lines lack; a row without a field.
    addRow("inGoodDeptGL", "F_GoodCode", "原料'编码", 0, 90, true, false, 0, "", "合  计", 1);
    addRow("inGoodDeptGL", "F_Amount", "数量", 10, 70, true, false, 2, ",0.##;-,0.##", "", 2);
    addRow("inGoodDeptGL", "F_Price", "单价\"元\"", 10, 75, false, true, 1, "'￥',0.00", "", 0);
    addRow("inGoodDeptGL", "F_NoSuchField", "无", 5, 60);
    addRow("inGoodDeptGL", "", "空字段", 6, 60);
    addRow("inGoodDeptGL", "F_TotalPrice", "金额", 30, 88, true, true, 2, "￥,0.00", "共'计\"", 2);
    addRow("otherGrid", "F_Mem", "备注", 0);

    grid.addColumn(GridColumn("F_Mem", "designed"));
    ASSERT_TRUE(LoadGridLayout(&grid, "INGOODDEPTGL")) << "grid names are compared without case";
    EXPECT_EQ(fields(), QStringList({"F_GoodCode", "F_Amount", "F_Price", "F_TotalPrice"}));
    const GridColumn &price = grid.column(2);
    EXPECT_EQ(price.title, "单价\"元\"");
    EXPECT_FALSE(price.visible);
    EXPECT_TRUE(price.readOnly);
    EXPECT_EQ(price.alignment, ColumnAlign::Center);
    EXPECT_EQ(price.displayFormat, "'￥',0.00");
    EXPECT_EQ(price.footerFormat, "'￥',0.00") << "one format for cells and footer";
    EXPECT_EQ(grid.column(0).footerKind, FooterKind::Text);
    EXPECT_EQ(grid.column(0).footerValue, "合  计");
    EXPECT_EQ(grid.column(1).footerKind, FooterKind::Sum);
    EXPECT_EQ(grid.column(1).width, 70);
    EXPECT_TRUE(prompts.shown.isEmpty());

    // Change things the user can change and save: the rows come back exactly.
    grid.moveColumn(3, 0);
    grid.setColumnTitle(0, "金'额\"");
    grid.setColumnWidth(0, 120);
    grid.setColumnVisible(2, false);
    grid.setColumnFooterValue(1, "合 '计'");
    ASSERT_TRUE(SaveGridLayout(&grid, "InGoodDeptGL"));
    EXPECT_TRUE(prompts.shown.isEmpty()) << prompts.texts().join('|').toStdString();

    auto total = stored("inGoodDeptGL", "F_TotalPrice");
    EXPECT_EQ(total["f_caption"].toString(), "金'额\"");
    EXPECT_EQ(total["f_width"].toInt(), 120);
    EXPECT_EQ(total["f_order"].toInt(), 0);
    EXPECT_EQ(total["f_footervalue"].toString(), "共'计\"");
    EXPECT_EQ(stored("inGoodDeptGL", "F_GoodCode")["f_footervalue"].toString(), "合 '计'");
    EXPECT_EQ(stored("inGoodDeptGL", "F_GoodCode")["f_order"].toInt(), 1);
    EXPECT_FALSE(stored("inGoodDeptGL", "F_Amount")["f_visible"].toBool());
    EXPECT_EQ(stored("inGoodDeptGL", "F_NoSuchField")["f_order"].toInt(), 5) << "rows not in the grid keep their values";
    EXPECT_EQ(stored("otherGrid", "F_Mem")["f_caption"].toString(), "备注");

    DataGrid again;
    again.setRowSet(&lines);
    ASSERT_TRUE(LoadGridLayout(&again, "inGoodDeptGL"));
    ASSERT_EQ(again.columnCount(), 4);
    for (int i = 0; i < 4; ++i) {
        const GridColumn &a = grid.column(i), &b = again.column(i);
        EXPECT_EQ(a.field, b.field);
        EXPECT_EQ(a.title, b.title);
        EXPECT_EQ(a.width, b.width);
        EXPECT_EQ(a.visible, b.visible);
        EXPECT_EQ(a.readOnly, b.readOnly);
        EXPECT_EQ(a.displayFormat, b.displayFormat);
        EXPECT_EQ(a.footerValue, b.footerValue);
        EXPECT_EQ(a.footerKind, b.footerKind);
    }
    EXPECT_EQ(again.column(3).alignment, ColumnAlign::Center);
}

TEST_P(GridLayoutTest, grid_without_layout_rows_keeps_its_design_and_saving_changes_nothing)
{
    addRow("goodgl", "F_GoodCode", "编码", 0);
    grid.setColumns({GridColumn("F_GoodCode", "原料编码", 95), GridColumn("F_Amount", "数量", 60)});
    EXPECT_FALSE(LoadGridLayout(&grid, "noSuchGrid"));
    ASSERT_EQ(grid.columnCount(), 2);
    EXPECT_EQ(grid.column(0).title, "原料编码");
    EXPECT_EQ(grid.column(0).width, 95);

    const QVariant before = scalarOf(db(), "SELECT count(*) FROM cfg_Grid");
    EXPECT_TRUE(SaveGridLayout(&grid, "noSuchGrid"));
    EXPECT_EQ(scalarOf(db(), "SELECT count(*) FROM cfg_Grid"), before);
    EXPECT_EQ(stored("goodgl", "F_GoodCode")["f_caption"].toString(), "编码");
    EXPECT_TRUE(prompts.shown.isEmpty());
}

TEST_P(GridLayoutTest, saving_after_price_columns_were_removed_keeps_their_rows)
{
    addRow("pricegridtest", "F_GoodCode", "编码", 0);
    addRow("pricegridtest", "F_Price", "单价", 1, 70);
    addRow("pricegridtest", "F_Amount", "数量", 2);
    addRow("pricegridtest", "F_TotalPrice", "金额", 3, 90);
    addRow("pricegridtest", "F_Mem", "备注", 4);
    loginContext().OperCode = "001";
    loginContext().Price = false;
    ASSERT_TRUE(LoadGridLayout(&grid, "pricegridtest"));
    FormatGridColumns(&grid, 1, 1);
    EXPECT_EQ(fields(), QStringList({"F_GoodCode", "F_Amount", "F_Mem"}));
    grid.setColumnWidth(1, 66);
    ASSERT_TRUE(SaveGridLayout(&grid, "pricegridtest"));
    EXPECT_EQ(stored("pricegridtest", "F_Amount")["f_order"].toInt(), 1);
    EXPECT_EQ(stored("pricegridtest", "F_Amount")["f_width"].toInt(), 66);
    EXPECT_EQ(stored("pricegridtest", "F_Mem")["f_order"].toInt(), 2);
    EXPECT_EQ(stored("pricegridtest", "F_Price")["f_order"].toInt(), 1);
    EXPECT_EQ(stored("pricegridtest", "F_TotalPrice")["f_order"].toInt(), 3);
    EXPECT_EQ(stored("pricegridtest", "F_TotalPrice")["f_width"].toInt(), 90);
}

TEST_P(GridLayoutTest, pick_list_from_a_statement)
{
    for (const char *u : {"个", "箱", "kg"})
        ASSERT_TRUE(db().exec("INSERT INTO t_code (F_type, F_name) VALUES ('unit', ?)", {QString::fromUtf8(u)}).ok());
    grid.setColumns({GridColumn("F_unit", "单位"), GridColumn("F_GoodCode", "编码")});
    ASSERT_TRUE(SetColumnPickList("SELECT F_name FROM t_code WHERE F_type = ? ORDER BY F_ID", {QStringLiteral("unit")},
                                  &grid, "f_UNIT")
                    .ok());
    EXPECT_EQ(grid.column(0).pickList, QStringList({"个", "箱", "kg"}));
    EXPECT_TRUE(grid.column(1).pickList.isEmpty());
    // No rows: the list stays as it was.
    ASSERT_TRUE(SetColumnPickList("SELECT F_name FROM t_code WHERE F_type = ?", {QStringLiteral("none")}, &grid, "F_unit").ok());
    EXPECT_EQ(grid.column(0).pickList.size(), 3);
    EXPECT_FALSE(SetColumnPickList("SELECT nothing FROM nowhere", {}, &grid, "F_unit").ok());
}

TARVIK_ENGINE_TESTS(GridLayoutTest);
