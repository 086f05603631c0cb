#include "data/grid/datagrid.h"
#include "data/grid/gridprinter.h"
#include "data/rowset.h"
#include "data/session.h"
// GCC 12 warns falsely about the optional<QString> in ScriptedPrompts::text when it is inlined here.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#include "support/scriptedprompts.h"
#pragma GCC diagnostic pop

#include <QImage>
#include <QPainter>
#include <QPdfWriter>
#include <QPrintPreviewDialog>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace tarvik;
using namespace tarvik::test;

namespace {

class GridPrintTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        lines.setFields({"F_code", "F_name", "F_Mem"});
        GridColumn code("F_code", "编码", 60);
        code.footerKind = FooterKind::Text;
        code.footerValue = "合  计";
        grid.setColumns({code, GridColumn("F_name", "名称", 120), GridColumn("F_Mem", "备注", 80)});
        grid.setRowSet(&lines);
    }
    void fill(int rows, const QString &memo)
    {
        for (int i = 0; i < rows; ++i)
            lines.appendRow({{"F_code", QString("%1").arg(i, 4, 10, QChar('0'))}, {"F_name", "单位"}, {"F_Mem", memo}});
    }
    int pages(int option)
    {
        QPdfWriter pdf(dir.filePath(QString("grid%1.pdf").arg(option)));
        pdf.setPageSize(QPageSize(QPageSize::A4));
        GridPrintSettings s;
        s.title = "单位设置";
        s.option = option;
        s.footerText = "date";
        return printGrid(grid, s, pdf);
    }
    QTemporaryDir dir;
    RowSet lines;
    DataGrid grid;
};

} // namespace

TEST_F(GridPrintTest, footer_date_becomes_the_print_date)
{
    setFixedNow(QDateTime(QDate(2024, 5, 6), QTime(9, 0)));
    EXPECT_EQ(gridPrintFooter("date"), "打印日期：2024-05-06");
    EXPECT_EQ(gridPrintFooter("制表：张三"), "制表：张三");
    setFixedNow({});
}

TEST_F(GridPrintTest, rows_run_over_pages_and_option_zero_lets_rows_grow)
{
    fill(5, "短");
    EXPECT_EQ(pages(1), 1);
    lines.cancelUpdates();
    fill(150, "短");
    const int plain = pages(1);
    EXPECT_GT(plain, 2) << "150 rows do not fit on one page";
    lines.cancelUpdates();
    fill(150, QString(60, QChar(u'长')));
    EXPECT_EQ(pages(1), plain) << "option 1 keeps one line per row";
    EXPECT_GT(pages(0), plain) << "option 0 wraps long texts, rows grow";
}

TEST_F(GridPrintTest, preview_runs_as_a_dialog)
{
    fill(3, "x");
    ScriptedPrompts prompts;
    prompts.answerDialog([](QDialog &d) {
        EXPECT_NE(dynamic_cast<QPrintPreviewDialog *>(&d), nullptr);
        EXPECT_EQ(d.windowTitle(), "打印预览");
        return int(QDialog::Rejected);
    });
    EXPECT_TRUE(PrintGrid(&grid, "单位设置", 1, "date", ""));
    EXPECT_TRUE(prompts.allAnswersUsed());
}

// Not a check: writes the first printed page as a picture for a person to look at.
TEST_F(GridPrintTest, picture_for_review)
{
    const QString out = qEnvironmentVariable("TARVIK_PRINT_PNG");
    if (out.isEmpty())
        GTEST_SKIP() << "set TARVIK_PRINT_PNG to write the picture";
    fill(12, "备注文字");
    lines.setValue(3, "F_Mem", QString(40, QChar(u'长')));
    grid.setCellStyle([](int row, int) { return row == 2 ? CellStyle::redOnButtonFace() : CellStyle{}; });
    QImage img(794, 1123, QImage::Format_RGB32); // A4 at 96 dpi
    img.fill(Qt::white);
    QPainter p(&img);
    GridPrintSettings s{"单位设置", 0, "date", "我的公司"};
    paintGrid(grid, s, p, QRectF(40, 40, 714, 1043), [] { return false; });
    p.end();
    EXPECT_TRUE(img.save(out));
}
