#include "data/report/report.h"
#include "data/session.h"
#include "data/report/reportdesigner.h"
#include "data/report/reportpreview.h"
#include "data/report/reportservices.h"
#include "report_fixture.h"
#include "support/scriptedprompts.h"

#include <QApplication>
#include <QDir>
#include <QPlainTextEdit>
#include <QImage>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextTable>

#include <gtest/gtest.h>

using namespace tarvik;
using namespace tarvik::test;

namespace {

// Set TARVIK_LOOK_DIR to get every page as a PNG for a person to look at.
void dumpPages(ReportDocument &doc, const QString &name)
{
    const QString dir = qEnvironmentVariable("TARVIK_LOOK_DIR");
    if (dir.isEmpty())
        return;
    QDir().mkpath(dir);
    for (int i = 0; i < doc.pageCount(); ++i)
        doc.pageImage(i, 110).save(QStringLiteral("%1/%2-%3.png").arg(dir, name).arg(i + 1));
    EXPECT_TRUE(doc.exportPdf(QStringLiteral("%1/%2.pdf").arg(dir, name)).ok());
}

class KitTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        setReportFolder({}); // the delivered templates in the program folder
        loginContext() = LoginContext{};
        loginContext().OperCode = QStringLiteral("000");
        loginContext().Price = true;
        systemOptions() = SystemOptions{};
        systemOptions().CompanyName = QStringLiteral("宁波恒达机械制造有限公司");
        systemOptions().PrintRows = 5;
    }
};

} // namespace

TEST_F(KitTest, delivered_bill_templates_print_twelve_lines_on_three_pages)
{
    auto header = billHeaderFixture();
    auto lines = billLinesFixture(12);
    for (const char *base : {"frInGoodDeptGL", "frOutGoodDeptGL"}) {
        for (const char *suffix : {"", "1", "2"}) {
            const QString name = QString::fromLatin1(base) + QString::fromLatin1(suffix);
            Report r;
            ASSERT_TRUE(r.load(name)) << name.toStdString();
            r.setBill(*header, *lines);
            const Report::Output out = r.render();
            ASSERT_FALSE(out.error) << name.toStdString() << ": " << out.error->message.toStdString();
            ReportDocument doc(out, name);
            EXPECT_EQ(doc.pageCount(), 3) << name.toStdString();
            for (int p = 0; p < doc.pageCount(); ++p) {
                const QString text = doc.pageText(p);
                EXPECT_TRUE(text.contains(QStringLiteral("CJD20240315001"))) << name.toStdString() << " page " << p;
                EXPECT_TRUE(text.contains(QStringLiteral("宁波恒达机械制造有限公司")));
                EXPECT_TRUE(text.contains(QStringLiteral("第 %1 页 / 共 3 页").arg(p + 1)));
            }
            const bool withPrices = QString::fromLatin1(suffix) != QLatin1String("2");
            EXPECT_EQ(doc.pageText(0).contains(QStringLiteral("12,050.00")), withPrices) << name.toStdString();
            EXPECT_EQ(doc.pageText(1).contains(QStringLiteral("6,325.75")), withPrices);
            EXPECT_TRUE(doc.pageText(1).contains(QStringLiteral("752.5")));
            EXPECT_FALSE(doc.pageText(1).contains(QStringLiteral("合　　计")));
            EXPECT_EQ(doc.pageText(2).contains(QStringLiteral("壹万玖千伍佰玖拾伍元柒角伍分")), withPrices);
            EXPECT_TRUE(doc.pageText(2).contains(QStringLiteral("1167.5")));
            EXPECT_FALSE(doc.pageText(2).contains(QStringLiteral("冷轧钢板")));
            dumpPages(doc, name);
        }
    }
}

TEST_F(KitTest, list_kit_prints_the_grid_columns_with_totals_and_repeats_the_heading)
{
    RowSet rows;
    rows.setFields({"F_code", "F_name", "F_type", "F_spec", "F_unit", "F_amount", "F_price", "F_totalPrice", "F_Memo1"});
    for (int i = 0; i < 60; ++i) {
        const FixtureLine &l = kFixtureLines[i % 12];
        rows.appendRow({{"F_code", QStringLiteral("YL-%1").arg(i + 1, 3, 10, QLatin1Char('0'))}, {"F_name", l.name},
                        {"F_type", "五金"}, {"F_spec", l.spec}, {"F_unit", l.unit}, {"F_amount", l.amount},
                        {"F_price", l.price}, {"F_totalPrice", l.amount * l.price}, {"F_Memo1", ""}});
    }
    const ReportColumns columns{
        {"F_code", "原料编码", 80, Qt::AlignLeft, {}, false, QStringLiteral("合  计")},
        {"F_name", "原料名称", 120, Qt::AlignLeft, {}, false, {}},
        {"F_spec", "规格", 120, Qt::AlignLeft, {}, false, {}},
        {"F_unit", "单位", 40, Qt::AlignHCenter, {}, false, {}},
        {"F_amount", "数量", 70, Qt::AlignRight, ",0.##;-,0.##", true, {}},
        {"F_price", "单价", 70, Qt::AlignRight, "￥,0.00##;-￥,0.00##", false, {}},
        {"F_totalPrice", "金额", 90, Qt::AlignRight, "￥,0.00;-￥,0.00", true, {}},
    };
    Report r;
    r.setSource(QStringLiteral(
        "<html><head><meta name=\"paper\" content=\"A4\"><meta name=\"orientation\" content=\"auto\">"
        "<meta name=\"page-footer\" content=\"第 {page} 页，共 {pages} 页\">{{> kit_style}}</head><body>"
        "<p class=\"company\">{{sCurKHname}}</p><p class=\"title\">原材料资料列表</p>{{> kit_list_head}}{{> kit_list_table}}"
        "</body></html>"));
    r.setVariables([](const QString &n) -> QVariant {
        return n == QLatin1String("memoDate") ? QVariant(DateRangeCaption(QDate(2024, 3, 1), QDate())) : QVariant();
    });
    r.setList(rows, columns);
    const Report::Output out = r.render();
    ASSERT_FALSE(out.error) << out.error->message.toStdString();
    ReportDocument doc(out, QStringLiteral("list"));
    ASSERT_GE(doc.pageCount(), 2);
    EXPECT_EQ(doc.preferredLayout().orientation(), QPageLayout::Portrait) << "590 pixels of columns fit upright";
    // The column titles are the table's heading row, which the layout repeats on every page.
    QTextTable *table = nullptr;
    for (QTextFrame *f : doc.document().rootFrame()->childFrames())
        if (auto *t = qobject_cast<QTextTable *>(f); t && t->rows() > 60)
            table = t;
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(table->format().headerRowCount(), 1);
    EXPECT_EQ(table->cellAt(0, 1).firstCursorPosition().block().text(), QStringLiteral("原料名称"));
    const QString last = doc.pageText(doc.pageCount() - 1);
    EXPECT_TRUE(last.contains(QStringLiteral("合 计"))) << "the grid's footer text (HTML joins its blanks)";
    EXPECT_TRUE(last.contains(QStringLiteral("￥97,978.75"))) << last.toStdString();
    EXPECT_TRUE(last.contains(QStringLiteral("共 60 条记录")));
    EXPECT_TRUE(doc.pageText(0).contains(QStringLiteral("统计日期：自 2024年03月01日 至 记帐最后一天")));
    dumpPages(doc, QStringLiteral("list"));

    // A wide grid turns the page.
    ReportColumns wide = columns;
    for (auto &c : wide)
        c.width *= 2;
    r.setList(rows, wide);
    ReportDocument turned(r.render(), QStringLiteral("list"));
    EXPECT_EQ(turned.preferredLayout().orientation(), QPageLayout::Landscape);
}

TEST_F(KitTest, look_at_the_preview_and_the_designer)
{
    const QString dir = qEnvironmentVariable("TARVIK_LOOK_DIR");
    if (dir.isEmpty())
        GTEST_SKIP() << "set TARVIK_LOOK_DIR to look at the windows";
    auto header = billHeaderFixture();
    auto lines = billLinesFixture(12);
    ScriptedPrompts p;
    auto grab = [&](const QString &file) {
        return [=](QDialog &d) {
            d.resize(1100, 720);
            d.show();
            for (int i = 0; i < 5; ++i)
                QApplication::processEvents();
            d.grab().save(dir + QLatin1Char('/') + file);
            return 0;
        };
    };
    p.answerDialog(grab(QStringLiteral("preview.png")));
    PrintBillReport(QStringLiteral("frInGoodDeptGL"), *header, *lines);
    p.answerDialog(grab(QStringLiteral("designer.png")));
    DesignBillReport(QStringLiteral("frInGoodDeptGL"), *header, *lines);
    p.answerDialog([&](QDialog &d) {
        auto *designer = static_cast<ReportDesigner *>(&d);
        designer->sourceEdit()->setPlainText(designer->sourceEdit()->toPlainText().replace(
            QStringLiteral("{{/pages}}"), QStringLiteral("{{F_GoodNam}}{{/pages}}")));
        designer->refreshNow();
        return grab(QStringLiteral("designer-error.png"))(d);
    });
    DesignBillReport(QStringLiteral("frInGoodDeptGL"), *header, *lines);
}
