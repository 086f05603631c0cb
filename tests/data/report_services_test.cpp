#include "data/report/reportdesigner.h"
#include "data/report/reportpreview.h"
#include "data/report/reportservices.h"
#include "data/session.h"
#include "data/widgets/checkeddateedit.h"
#include "report_fixture.h"
#include "support/scriptedprompts.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTreeWidget>

#include <gtest/gtest.h>

using namespace tarvik;
using namespace tarvik::test;

namespace {

class ReportServicesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        setReportFolder(m_dir.path());
        loginContext() = LoginContext{};
        loginContext().OperCode = QStringLiteral("000");
        loginContext().Price = true;
        systemOptions() = SystemOptions{};
        systemOptions().CompanyName = QStringLiteral("宁波恒达机械制造有限公司");
        systemOptions().PrintRows = 5;
    }
    void TearDown() override { setReportFolder({}); }

    void writeTemplate(const QString &name, const QString &text)
    {
        QFile f(m_dir.filePath(name + QStringLiteral(".html")));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(text.toUtf8());
    }
    QString readTemplate(const QString &name)
    {
        QFile f(m_dir.filePath(name + QStringLiteral(".html")));
        return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
    }

    QTemporaryDir m_dir;
};

const QString kBill = QStringLiteral(
    "<html><body>{{#pages}}<p{{^isFirst}} style=\"page-break-before: always\"{{/isFirst}}>{{sCurKHname}} "
    "{{frxDM.F_Code}} 第{{pageNo}}页</p><table>{{#lines}}<tr><td>{{F_GoodName}}</td></tr>{{/lines}}</table>"
    "<p>小计 {{pageSum.F_totalPrice}}</p>{{/pages}}</body></html>");

} // namespace

TEST_F(ReportServicesTest, bill_preview_shows_the_pages_and_exports_a_pdf)
{
    writeTemplate(QStringLiteral("frTest"), kBill);
    auto header = billHeaderFixture();
    auto lines = billLinesFixture(12);
    ScriptedPrompts p;
    const QString pdf = m_dir.filePath(QStringLiteral("单据"));
    p.answerSave(pdf, 1);
    int pages = -1;
    QStringList texts;
    p.answerDialog([&](QDialog &d) {
        auto *preview = qobject_cast<ReportPreview *>(&d);
        EXPECT_NE(preview, nullptr);
        if (!preview)
            return 0;
        pages = preview->pageCount();
        for (int i = 0; i < pages; ++i)
            texts << preview->document().pageText(i);
        EXPECT_TRUE(preview->printAction()->isEnabled());
        preview->goToPage(3);
        EXPECT_EQ(preview->currentPage(), 3);
        preview->exportPdf();

        // Page set-up and printing go through their dialogs; the printer here writes a PDF file.
        p.answerDialog([&](QDialog &setup) {
            auto *printer = static_cast<QPageSetupDialog &>(setup).printer();
            printer->setPageOrientation(QPageLayout::Landscape);
            return int(QDialog::Accepted);
        });
        preview->pageSetup();
        EXPECT_EQ(preview->printer().pageLayout().orientation(), QPageLayout::Landscape);
        p.answerDialog([&](QDialog &print) {
            auto *printer = static_cast<QPrintDialog &>(print).printer();
            printer->setOutputFormat(QPrinter::PdfFormat);
            printer->setOutputFileName(m_dir.filePath(QStringLiteral("printed.pdf")));
            return int(QDialog::Accepted);
        });
        preview->print();
        return 0;
    });
    PrintBillReport(QStringLiteral("frTest"), *header, *lines);
    EXPECT_EQ(pages, 3);
    ASSERT_EQ(texts.size(), 3);
    EXPECT_TRUE(texts[0].contains(QStringLiteral("宁波恒达机械制造有限公司 CJD20240315001 第1页")));
    EXPECT_TRUE(texts[1].contains(QStringLiteral("第2页")) && texts[1].contains(QStringLiteral("小计 6,325.75")));
    EXPECT_TRUE(texts[2].contains(QStringLiteral("劳保手套")) && !texts[2].contains(QStringLiteral("冷轧钢板")));
    QFile out(pdf + QStringLiteral(".pdf"));
    ASSERT_TRUE(out.open(QIODevice::ReadOnly)) << "the .pdf extension is added";
    EXPECT_TRUE(out.read(5) == "%PDF-");
    EXPECT_FALSE(QFile::exists(pdf + QStringLiteral(".pdf.part")));
    EXPECT_GT(QFileInfo(m_dir.filePath(QStringLiteral("printed.pdf"))).size(), 1000) << "printed through the print dialog";
    EXPECT_TRUE(p.shown.isEmpty());
    EXPECT_TRUE(p.unexpected.isEmpty()) << p.unexpected.join(QLatin1Char(';')).toStdString();
}

TEST_F(ReportServicesTest, nothing_prints_without_rows_and_a_missing_template_is_an_empty_report)
{
    auto header = billHeaderFixture();
    auto lines = billLinesFixture(2);
    RowSet empty;
    empty.setFields({"F_Code"});
    ScriptedPrompts p;
    writeTemplate(QStringLiteral("frTest"), kBill);
    PrintBillReport(QStringLiteral("frTest"), empty, *lines);
    PrintListReport(QStringLiteral("frTest"), empty, {});
    PrintMasterDetailReport(QStringLiteral("frTest"), empty, {}, ReportDetail{*lines, {}, {}, {}});
    EXPECT_TRUE(p.unexpected.isEmpty()) << "no preview opened: " << p.unexpected.join(QLatin1Char(';')).toStdString();

    int pages = -1;
    bool printable = true;
    p.answerDialog([&](QDialog &d) {
        auto *preview = qobject_cast<ReportPreview *>(&d);
        pages = preview ? preview->pageCount() : -1;
        printable = preview && preview->printAction()->isEnabled();
        return 0;
    });
    PrintBillReport(QStringLiteral("frNoSuchTemplate"), *header, *lines);
    EXPECT_EQ(pages, 0);
    EXPECT_FALSE(printable);
    EXPECT_TRUE(p.shown.isEmpty()) << "a missing template raises no message";

    // Designing works with an empty header too.
    bool designed = false;
    p.answerDialog([&](QDialog &d) {
        designed = qobject_cast<ReportDesigner *>(&d) != nullptr;
        return 0;
    });
    DesignBillReport(QStringLiteral("frTest"), empty, *lines);
    EXPECT_TRUE(designed);
}

TEST_F(ReportServicesTest, a_broken_template_shows_its_mistake_in_the_preview)
{
    writeTemplate(QStringLiteral("frBroken"), QStringLiteral("<p>{{#pages}}{{F_GoodName}}</p>"));
    auto header = billHeaderFixture();
    auto lines = billLinesFixture(2);
    ScriptedPrompts p;
    QString status;
    QString page;
    bool printable = true;
    p.answerDialog([&](QDialog &d) {
        auto *preview = qobject_cast<ReportPreview *>(&d);
        status = preview->statusText();
        page = preview->document().pageText(0);
        printable = preview->printAction()->isEnabled();
        return 0;
    });
    PrintBillReport(QStringLiteral("frBroken"), *header, *lines);
    EXPECT_TRUE(status.contains(QStringLiteral("模板有错误"))) << status.toStdString();
    EXPECT_TRUE(page.contains(QStringLiteral("报表模板有错误，无法打印")));
    EXPECT_TRUE(page.contains(QStringLiteral("“F_GoodName” 不是可用的字段或变量名"))) << page.toStdString();
    EXPECT_FALSE(printable);
    EXPECT_TRUE(p.shown.isEmpty());
}

TEST_F(ReportServicesTest, designer_lists_fields_previews_live_and_saves_into_the_template_file)
{
    writeTemplate(QStringLiteral("frTest"), kBill);
    writeTemplate(QStringLiteral("kit_x"), QStringLiteral("<b>{{pageNo}}</b>\n"));
    auto header = billHeaderFixture();
    auto lines = billLinesFixture(12);
    ScriptedPrompts p;
    p.answerDialog([&](QDialog &d) {
        auto *designer = qobject_cast<ReportDesigner *>(&d);
        if (!designer)
            return 0;
        EXPECT_EQ(designer->previewPageCount(), 3);
        // The variables of the design come first, then both datasets.
        QTreeWidget *tree = designer->fieldTree();
        QTreeWidgetItem *vars = tree->topLevelItem(0);
        EXPECT_EQ(vars->text(0), QStringLiteral("自定义变量"));
        EXPECT_EQ(vars->childCount(), 2) << "a bill's variables: PageMaxRow and sCurKHname";
        if (vars->childCount() != 2)
            return 0;
        EXPECT_EQ(vars->child(0)->text(0), QStringLiteral("PageMaxRow"));
        EXPECT_TRUE(vars->child(0)->text(1).contains(QStringLiteral("现为：5")));
        EXPECT_EQ(vars->child(1)->text(0), QStringLiteral("sCurKHname"));
        EXPECT_FALSE(tree->findItems(QStringLiteral("F_GoodCode"), Qt::MatchRecursive).isEmpty());
        EXPECT_FALSE(tree->findItems(QStringLiteral("PageMaxRow"), Qt::MatchRecursive).isEmpty());
        const auto dd = tree->findItems(QStringLiteral("frxDD"), Qt::MatchExactly);
        EXPECT_EQ(dd.size(), 1);

        designer->sourceEdit()->setPlainText(QStringLiteral("{{#pages}}{{F_Bad}}{{/pages}}"));
        designer->refreshNow();
        EXPECT_TRUE(designer->errorText().contains(QStringLiteral("“F_Bad” 不是可用的字段或变量名")));

        // A partial can be expanded in place to change it for this template only.
        designer->sourceEdit()->setPlainText(QStringLiteral("{{#pages}}\n  {{> kit_x}}\n{{/pages}}"));
        designer->goToLine(2);
        EXPECT_TRUE(designer->expandPartial());
        EXPECT_EQ(designer->sourceEdit()->toPlainText(), QStringLiteral("{{#pages}}\n  <b>{{pageNo}}</b>\n{{/pages}}"));
        EXPECT_EQ(designer->previewPageCount(), 1);
        EXPECT_FALSE(designer->errorText().contains(QStringLiteral("错误")));

        designer->sourceEdit()->setPlainText(QStringLiteral("<p>{{frxDM.F_Code}} "));
        QTextCursor c = designer->sourceEdit()->textCursor();
        c.movePosition(QTextCursor::End);
        designer->sourceEdit()->setTextCursor(c);
        designer->insertField(tree->findItems(QStringLiteral("sCurKHname"), Qt::MatchRecursive).value(0));
        EXPECT_TRUE(designer->save());
        EXPECT_FALSE(designer->isModified());
        return 0;
    });
    DesignBillReport(QStringLiteral("frTest"), *header, *lines);
    EXPECT_EQ(readTemplate(QStringLiteral("frTest")), QStringLiteral("<p>{{frxDM.F_Code}} {{sCurKHname}}"));

    // The next print uses the saved design.
    Report r;
    ASSERT_TRUE(r.load(QStringLiteral("FRTEST"))) << "template names match without regard to case";
    r.setBill(*header, *lines);
    EXPECT_TRUE(r.render().html.contains(QStringLiteral("CJD20240315001 宁波恒达机械制造有限公司")));
    EXPECT_TRUE(p.shown.isEmpty());
}

TEST_F(ReportServicesTest, designer_keeps_the_design_when_the_file_cannot_be_written)
{
    auto header = billHeaderFixture();
    auto lines = billLinesFixture(1);
    // The template folder is a file: nothing can be written there.
    QFile blocker(m_dir.filePath(QStringLiteral("notafolder")));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    setReportFolder(blocker.fileName());
    ScriptedPrompts p;
    p.answerMessages({MsgOk, MsgOk, MsgOk}); // the error, then "保存" on closing, then the error again
    p.answerDialog([&](QDialog &d) {
        auto *designer = qobject_cast<ReportDesigner *>(&d);
        designer->sourceEdit()->setPlainText(QStringLiteral("<p>{{frxDM.F_Code}}</p>"));
        EXPECT_FALSE(designer->save());
        EXPECT_TRUE(designer->isModified());
        designer->reject(); // asks, tries to save, fails again and stays open
        EXPECT_TRUE(designer->isModified());
        return 0;
    });
    DesignBillReport(QStringLiteral("frNew"), *header, *lines);
    ASSERT_EQ(p.shown.size(), 3) << p.texts().join(QLatin1Char(';')).toStdString();
    EXPECT_EQ(p.shown[0].kind, MsgError);
    EXPECT_TRUE(p.shown[0].text.startsWith(QStringLiteral("无法保存报表模板文件"))) << p.shown[0].text.toStdString();
    EXPECT_EQ(p.shown[1].kind, MsgQuestion);
    EXPECT_EQ(p.shown[2].kind, MsgError);
}

TEST(ReportNames, date_range_caption_and_template_names)
{
    CheckedDateEdit from(QDate(2024, 3, 1));
    CheckedDateEdit to(QDate(2024, 3, 31));
    const struct {
        bool fromTicked;
        bool toTicked;
        const char *prefix;
        const char *text;
    } cases[] = {
        {true, false, "", "统计日期：自 2024年03月01日 至 记帐最后一天"},
        {false, true, "  ", "统计日期：自 启用系统 至 2024年03月31日"},
        {false, false, "投产", "投产日期：自 启用系统 至 记帐最后一天"},
        {true, true, "开单", "开单日期：自 2024年03月01日 至 2024年03月31日"},
    };
    for (const auto &c : cases) {
        from.setChecked(c.fromTicked);
        to.setChecked(c.toTicked);
        EXPECT_EQ(DateRangeCaption(from, to, QString::fromUtf8(c.prefix)).toStdString(), c.text);
    }

    loginContext() = LoginContext{};
    loginContext().OperCode = QStringLiteral("012");
    loginContext().Price = true;
    EXPECT_EQ(listTemplateName(QStringLiteral("frGoodDeptCX")), QStringLiteral("frGoodDeptCX"));
    EXPECT_EQ(billTemplateName(QStringLiteral("frInGoodDeptGL"), 1), QStringLiteral("frInGoodDeptGL1"));
    loginContext().Price = false;
    EXPECT_EQ(listTemplateName(QStringLiteral("frGoodDeptCX")), QStringLiteral("frGoodDeptCX1"));
    for (int variant : {0, 1, 2})
        EXPECT_EQ(billTemplateName(QStringLiteral("frInGoodDeptGL"), variant), QStringLiteral("frInGoodDeptGL2"))
            << "without the price right only the bill without price and amount prints";
    loginContext().OperCode = QStringLiteral("000");
    EXPECT_EQ(listTemplateName(QStringLiteral("frGoodGl")), QStringLiteral("frGoodGl")) << "000 sees prices";
}
