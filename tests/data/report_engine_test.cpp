#include "data/grid/datagrid.h"
#include "data/report/report.h"
#include "data/report/reportformat.h"
#include "data/report/templateengine.h"
#include "data/session.h"
#include "report_fixture.h"
#include "support/testdb.h"

#include <gtest/gtest.h>

using namespace tarvik;
using namespace tarvik::test;

namespace {

class ReportEngineTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        loginContext() = LoginContext{};
        loginContext().OperCode = QStringLiteral("000");
        loginContext().Price = true;
        systemOptions() = SystemOptions{};
        systemOptions().CompanyName = QStringLiteral("宁波恒达机械制造有限公司");
        systemOptions().PrintRows = 5;
    }

    static QString render(Report &r, const QString &source)
    {
        r.setSource(source);
        const Report::Output out = r.render();
        EXPECT_FALSE(out.error) << out.error->message.toStdString();
        return out.html;
    }
};

std::string s(const QString &q)
{
    return q.toStdString();
}

} // namespace

TEST(ReportFormat, pictures_as_the_grids_use_them)
{
    const struct {
        double value;
        const char *picture;
        const char *text;
    } cases[] = {
        {1234.5, ",0.##;-,0.##", "1,234.5"},
        {-1234.5, ",0.##;-,0.##", "-1,234.5"},
        {12, ",0.##;-,0.##", "12"},
        {1234.5, "￥,0.00##;-￥,0.00##", "￥1,234.50"},
        {-0.12345, "￥,0.00##;-￥,0.00##", "-￥0.1235"},
        {1234567.891, "￥,0.00;-￥,0.00", "￥1,234,567.89"},
        {2.005, "0.##", "2.01"},
        {0, "0.##", "0"},
        {7.6, "0.", "8"},
        {1234.4, ",0.", "1,234"},
        {0.004, ",0.00", "0.00"},
        {-0.004, ",0.00", "0.00"}, // rounds to zero: no minus sign
        {0, ",0.00;-,0.00;\"-\"", "-"},
        {5, "0000", "0005"},
        {12.5, "", "12.5"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(s(formatNumberPicture(c.value, QString::fromUtf8(c.picture))), c.text)
            << c.value << " " << c.picture;
}

TEST(ReportFormat, values_print_by_kind_of_field)
{
    systemOptions() = SystemOptions{};
    EXPECT_EQ(s(reportDisplayText("F_MakeDate", QDate(2024, 3, 1))), "2024-03-01");
    EXPECT_EQ(s(reportDisplayText("F_MakeDate", "2024-03-01")), "2024-03-01") << "SQLite gives day dates as text";
    EXPECT_EQ(s(reportDisplayText("F_RQ1", "1900-08-14")), "") << "the absent-date sentinel prints empty";
    EXPECT_EQ(s(reportDisplayText("F_CheckFlag", 1)), "是") << "SQLite gives yes/no as 1";
    EXPECT_EQ(s(reportDisplayText("F_price", 3.8)), "3.80") << "DepotD.F_price is money even if OperList.F_price is a right";
    EXPECT_EQ(s(reportDisplayText("F_totalPrice", 19595.75)), "19,595.75");
    EXPECT_EQ(s(reportDisplayText("F_amount", 86.5)), "86.5");
    EXPECT_EQ(s(reportDisplayText("F_amount", "12.50")), "12.5") << "NUMERIC read back as text";
    EXPECT_EQ(s(reportDisplayText("F_Code", "007")), "007") << "text stays text";
    EXPECT_EQ(s(reportRawText("F_totalPrice", 0.1 + 0.2)), "0.30000000000000004");
    EXPECT_EQ(s(reportRawText("F_CheckFlag", true)), "1");
}

TEST_F(ReportEngineTest, bill_pages_hold_page_max_row_lines_with_their_own_totals)
{
    auto header = billHeaderFixture();
    auto lines = billLinesFixture(12);
    Report r;
    r.setVariables(dataModuleReportVariable);
    r.setBill(*header, *lines);
    const QString html = render(r, QStringLiteral(
        "{{#pages}}[{{pageNo}}/{{pageCount}} {{frxDM.F_Code}} #{{#lines}}{{rowNo}},{{/lines}} "
        "q={{pageSum.raw.F_amount}} m={{pageSum.F_totalPrice}} b={{#blankLines}}_{{/blankLines}}"
        "{{#isLast}} total={{sum.F_totalPrice}} {{sum.big.F_totalPrice}}{{/isLast}}]{{/pages}}"));
    EXPECT_EQ(s(html),
              "[1/3 CJD20240315001 #1,2,3,4,5, q=115 m=12,050.00 b=]"
              "[2/3 CJD20240315001 #6,7,8,9,10, q=752.5 m=6,325.75 b=]"
              "[3/3 CJD20240315001 #11,12, q=300 m=1,220.00 b=___ total=19,595.75 壹万玖千伍佰玖拾伍元柒角伍分]");

    // The lines per page come from the variable: the options, or the request's own supplier.
    systemOptions().PrintRows = 4;
    r.setVariables(dataModuleReportVariable);
    EXPECT_EQ(s(render(r, "{{#pages}}{{pageNo}}/{{pageCount}};{{/pages}}")), "1/3;2/3;3/3;");
    r.setVariables([](const QString &n) { return n == QLatin1String("PageMaxRow") ? QVariant(12) : QVariant(); });
    EXPECT_EQ(s(render(r, "{{#pages}}{{pageNo}}/{{pageCount}};{{/pages}}")), "1/1;");

    // A bill without lines still prints one page with blank lines.
    auto none = billLinesFixture(0);
    r.setBill(*header, *none);
    EXPECT_EQ(s(render(r, "{{#pages}}{{pageNo}}/{{pageCount}} {{#blankLines}}_{{/blankLines}} {{pageSum.F_amount}}{{/pages}}")),
              "1/1 ____________ 0");
}

TEST_F(ReportEngineTest, variables_come_from_the_request_then_the_data_module)
{
    auto rows = billLinesFixture(2);
    Report r;
    r.setList(*rows, {});
    const QString tpl = QStringLiteral("{{PageMaxRow}}|{{sCurKHname}}|{{memoDate}}|{{memoCaption}}");
    EXPECT_EQ(s(render(r, tpl)), "5|宁波恒达机械制造有限公司||") << "no supplier: the data module's";

    r.setVariables([](const QString &name) -> QVariant {
        if (name == QLatin1String("memoDate"))
            return QStringLiteral("统计日期：自 2024年03月01日 至 记帐最后一天");
        if (name == QLatin1String("sCurKHname"))
            return QStringLiteral("分厂");
        return {};
    });
    EXPECT_EQ(s(render(r, tpl)), "5|分厂|统计日期：自 2024年03月01日 至 记帐最后一天|");
}

TEST_F(ReportEngineTest, list_reports_print_the_given_columns_with_formats_and_footers)
{
    // Field names as PostgreSQL returns them (lower case); templates may write any case.
    RowSet rows;
    rows.setFields({"f_code", "f_name", "f_amount", "f_price", "f_rq1", "f_flag"});
    rows.appendRow({{"f_code", "YL-001"}, {"f_name", "冷轧钢板 <A&B>"}, {"f_amount", 1234.5}, {"f_price", 356.5},
                    {"f_rq1", "1900-08-14"}, {"f_flag", 1}});
    rows.appendRow({{"f_code", "YL-002"}, {"f_name", "镀锌角钢\n二号"}, {"f_amount", 45}, {"f_price", 68.2},
                    {"f_rq1", QDate(2024, 5, 6)}, {"f_flag", 0}});
    const ReportColumns columns{
        {"F_Code", "编码", 60, Qt::AlignLeft, {}, false, QStringLiteral("合  计")},
        {"F_Name", "名称", 120, Qt::AlignLeft, {}, false, {}},
        {"F_Amount", "数量", 60, Qt::AlignRight, ",0.##", true, {}},
        {"F_RQ1", "日期", 60, Qt::AlignCenter, {}, false, {}},
    };
    Report r;
    r.setList(rows, columns);
    EXPECT_EQ(s(render(r, "{{#columns}}{{title}}:{{widthPct}}:{{align}} {{/columns}}")),
              "编码:20:left 名称:40:left 数量:20:right 日期:20:center ");
    EXPECT_EQ(s(render(r, "{{#FRXDM}}{{rowNo}}){{#cells}}{{text}}|{{/cells}} {{/frxdm}}")),
              "1)YL-001|冷轧钢板 &lt;A&amp;B&gt;|1,234.5|| 2)YL-002|镀锌角钢<br/>二号|45|2024-05-06| ")
        << "escaped, line breaks kept, absent dates empty, only the grid's columns";
    EXPECT_EQ(s(render(r, "{{#hasFooter}}{{#footer}}{{text}}|{{/footer}}{{/hasFooter}} {{rowCount}} {{sum.F_Price}}")),
              "合  计||1,279.5|| 2 424.70");
    EXPECT_EQ(s(render(r, "{{#frxDM}}{{F_Flag}}{{raw.f_amount}};{{/frxDM}}")), "11234.5;045;");
    r.setRowLimit(1); // the designer's live preview: first rows only, totals of all
    EXPECT_EQ(s(render(r, "{{#frxDM}}{{f_code}};{{/frxDM}}{{rowCount}} {{sum.f_amount}}")), "YL-001;2 1,279.5");
    r.setRowLimit(0);
    EXPECT_EQ(s(render(r, "{{#MoneyMinToBig}}￥{{sum.f_price}}{{/MoneyMinToBig}}")), "肆佰贰拾肆元柒角零分")
        << "the capital-amount function reads a formatted number";
}

TEST_F(ReportEngineTest, master_rows_carry_their_own_detail_rows)
{
    RowSet products;
    products.setFields({"F_code", "F_name"});
    products.appendRow({{"F_code", "CP-1"}, {"F_name", "水泵"}});
    products.appendRow({{"F_code", "CP-2"}, {"F_name", "阀门"}});
    RowSet bom;
    bom.setFields({"F_mainCode", "F_goodcode", "F_amount"});
    bom.appendRow({{"F_mainCode", "CP-1"}, {"F_goodcode", "YL-001"}, {"F_amount", 2}});
    bom.appendRow({{"F_mainCode", "CP-2"}, {"F_goodcode", "YL-002"}, {"F_amount", 1}});
    bom.appendRow({{"F_mainCode", "CP-1"}, {"F_goodcode", "YL-003"}, {"F_amount", 4}});
    Report r;
    r.setMasterDetail(products, {}, bom, {}, "F_code", "F_mainCode");
    EXPECT_EQ(s(render(r, "{{#frxDM}}{{F_name}}:{{#frxDD}}{{F_goodcode}},{{/frxDD}}={{detailSum.F_amount}};{{/frxDM}}")),
              "水泵:YL-001,YL-003,=6;阀门:YL-002,=1;");
}

TEST_F(ReportEngineTest, template_mistakes_give_a_chinese_message_with_the_line)
{
    auto header = billHeaderFixture();
    auto lines = billLinesFixture(3);
    Report r;
    r.setBill(*header, *lines);
    const report::PartialSource partials = [](const QString &name) -> std::optional<QString> {
        if (name == QLatin1String("good"))
            return QStringLiteral("{{#lines}}{{F_GoodCode}}{{/lines}}");
        if (name == QLatin1String("bad"))
            return QStringLiteral("ok\n{{F_nothing}}");
        if (name == QLatin1String("loop"))
            return QStringLiteral("{{> loop}}");
        return std::nullopt;
    };
    const struct {
        const char *source;
        int line;
        const char *says;
    } cases[] = {
        {"<p>\n{{#pages}}\n{{pageNo}}", 2, "{{#pages}} 没有对应的 {{/pages}}"},
        {"{{#pages}}\n{{/lines}}", 2, "{{/lines}} 与第 1 行的 {{#pages}} 不配对"},
        {"a\n{{/pages}}", 2, "{{/pages}} 前面没有对应的 {{#pages}}"},
        {"\n\n{{frxDM.F_Cod}}", 3, "“frxDM.F_Cod” 不是可用的字段或变量名。是不是要写 “frxDM.F_Code”？"},
        {"{{#frxDD}}{{F_GoodNam}}{{/frxDD}}", 1, "是不是要写 “F_GoodName”？"},
        {"{{F_GoodCode}}", 1, "它只能写在 {{#frxDD}} … {{/frxDD}} 之间"},
        {"{{#pages}}{{F_Nothing}}{{/pages}}", 1, "“F_Nothing” 不是可用的字段或变量名"},
        {"{{#frxDD}}{{F_GoodName}}{{/frxDD}}\n{{frxDM.F_Code", 2, "没有结束"},
        {"{{frxDD}}", 1, "是一组数据"},
        {"{{frxDM}}", 1, "不是单个值"},
        {"{{MoneyMinToBig}}", 1, "是函数"},
        {"{{=<% %>}}", 1, "分隔符设置"},
        {"{{> nowhere}}", 1, "找不到子模板 “nowhere”"},
        {"{{> good}}", 1, "它只能写在 {{#pages}} … {{/pages}} 之间"},
        {"{{#pages}}{{> bad}}{{/pages}}", 2, "子模板 “bad” 第 2 行"},
        {"{{> loop}}", 1, "嵌套太深"},
    };
    for (const auto &c : cases) {
        const auto e = report::checkTemplate(QString::fromUtf8(c.source), r.data(), partials);
        ASSERT_TRUE(e.has_value()) << c.source;
        EXPECT_EQ(e->line, c.line) << c.source << ": " << s(e->message);
        EXPECT_TRUE(e->message.contains(QString::fromUtf8(c.says))) << c.source << ": " << s(e->message);
    }
    // What is right passes, in any case of the names, also with other delimiters and partials.
    for (const char *ok : {"{{#PAGES}}{{PageNo}}{{> good}}{{/pages}}", "{{=<% %>=}}<%frxdm.f_code%><%={{ }}=%>{{sCurKHname}}",
                           "{{! {{nothing}} }}{{{frxDM.F_Mem}}}{{&frxDM.F_Mem}}", "{{^frxDD}}无明细{{/frxDD}}"}) {
        const auto e = report::checkTemplate(QString::fromUtf8(ok), r.data(), partials);
        EXPECT_FALSE(e.has_value()) << ok << ": " << (e ? s(e->message) : std::string());
    }
}

TEST_F(ReportEngineTest, list_reports_take_the_columns_the_grid_shows)
{
    RowSet rows;
    rows.setFields({"f_code", "f_name", "f_amount", "f_price", "f_totalprice"});
    rows.appendRow({{"f_code", "YL-001"}, {"f_name", "冷轧钢板"}, {"f_amount", 20}, {"f_price", 356.5}, {"f_totalprice", 7130}});
    rows.appendRow({{"f_code", "YL-002"}, {"f_name", "镀锌角钢"}, {"f_amount", 45}, {"f_price", 68.2}, {"f_totalprice", 3069}});
    DataGrid grid;
    grid.setRowSet(&rows);
    GridColumn code("F_Code", "编码", 70);
    code.footerKind = FooterKind::Text;
    code.footerValue = QStringLiteral("合计");
    GridColumn hidden("F_Name", "名称", 100);
    hidden.visible = false;
    GridColumn amount("F_Amount", "数量", 60);
    amount.displayFormat = QStringLiteral(",0.##");
    amount.footerKind = FooterKind::Sum;
    amount.alignment = ColumnAlign::Center;
    GridColumn price("F_Price", "单价", 60);
    price.withheld = true; // the operator may not see prices
    GridColumn total("F_TotalPrice", "金额", 90);
    total.displayFormat = QStringLiteral("￥,0.00");
    total.footerFormat = QStringLiteral("￥,0.00##");
    total.footerKind = FooterKind::Sum;
    for (const GridColumn &c : {code, hidden, amount, price, total})
        grid.addColumn(c);
    grid.moveColumn(4, 0); // the user dragged 金额 to the front

    const ReportColumns columns = reportColumnsOf(grid);
    QStringList titles;
    for (const ReportColumn &c : columns)
        titles << c.title;
    EXPECT_EQ(titles, QStringList({"金额", "编码", "数量"}));
    EXPECT_EQ(columns[0].alignment, Qt::AlignRight) << "numbers right when the layout leaves it open";
    EXPECT_EQ(columns[1].alignment, Qt::AlignLeft);
    EXPECT_EQ(columns[2].alignment, Qt::AlignHCenter);

    Report r;
    r.setList(rows, columns);
    EXPECT_EQ(s(render(r, "{{#frxDM}}{{#cells}}{{text}}|{{/cells}};{{/frxDM}}{{#footer}}{{text}}|{{/footer}}")),
              "￥7,130.00|YL-001|20|;￥3,069.00|YL-002|45|;￥10,199.00|合计|65|");
}

namespace {
class ReportDataTest : public EngineTest {};
} // namespace

TEST_P(ReportDataTest, a_stored_bill_prints_the_same_on_every_engine)
{
    systemOptions().PrintRows = 2;
    ASSERT_TRUE(db().exec("INSERT INTO DepotM (F_Code, F_Flag, F_OperFlag, F_MakeDate, F_date, F_CheckFlag, F_client) "
                          "VALUES (?, 1, 1, ?, ?, ?, ?)",
                          {"CJD20240315001", QDate(2024, 3, 15), QDate(2024, 3, 16), true, "华联五金 'A' 100%"})
                    .ok());
    const struct {
        const char *code;
        double amount;
        double price;
        QVariant rq1;
    } lines[] = {{"YL-001", 20, 356.5, QDate(1900, 8, 14)}, {"YL-002", 2.5, 0.125, QDate(2024, 5, 6)}, {"YL-003", 1, 1000, QVariant()}};
    for (const auto &l : lines)
        ASSERT_TRUE(db().exec("INSERT INTO DepotD (F_Code, F_GoodCode, F_amount, F_price, F_totalPrice, F_RQ1) VALUES (?, ?, ?, ?, ?, ?)",
                              {"CJD20240315001", l.code, l.amount, l.price, l.amount * l.price, l.rq1})
                        .ok());
    RowSet header;
    RowSet detail;
    ASSERT_TRUE(header.open(db(), "SELECT * FROM DepotM WHERE F_Code = ?", {"CJD20240315001"}).ok());
    ASSERT_TRUE(detail.open(db(), "SELECT * FROM DepotD WHERE F_Code = ? ORDER BY F_ID", {"CJD20240315001"}).ok());
    Report r;
    r.setVariables(dataModuleReportVariable);
    r.setBill(header, detail);
    r.setSource(QStringLiteral("{{frxDM.F_Code}} {{frxDM.F_MakeDate}} {{frxDM.F_CheckFlag}} {{frxDM.F_client}}\n"
                               "{{#pages}}{{pageNo}}/{{pageCount}}:{{#lines}} {{F_GoodCode}} {{F_amount}}×{{F_price}}={{F_totalPrice}} [{{F_RQ1}}]{{/lines}}"
                               " 小计{{pageSum.F_totalPrice}}\n{{/pages}}合计{{sum.F_totalPrice}} {{sum.big.F_totalPrice}}"));
    const Report::Output out = r.render();
    ASSERT_FALSE(out.error) << out.error->message.toStdString();
    EXPECT_EQ(out.html.toStdString(),
              "CJD20240315001 2024-03-15 是 华联五金 'A' 100%\n"
              "1/2: YL-001 20×356.50=7,130.00 [] YL-002 2.5×0.13=0.31 [2024-05-06] 小计7,130.31\n"
              "2/2: YL-003 1×1,000.00=1,000.00 [] 小计1,000.00\n"
              "合计8,130.31 捌千壹佰叁拾零元叁角壹分");
}

TARVIK_ENGINE_TESTS(ReportDataTest);
