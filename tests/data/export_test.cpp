#include "data/export/excelformat.h"
#include "data/export/exportwriters.h"
#include "data/export/gridexport.h"
#include "data/grid/datagrid.h"
#include "data/rowset.h"
#include "support/scriptedprompts.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <algorithm>

#include <gtest/gtest.h>
#include <zip.h>

using namespace tarvik;
using namespace tarvik::test;

namespace {

QString readText(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(f.readAll());
}

QByteArray readBytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QByteArray zipEntry(const QString &path, const char *entry)
{
    int err = 0;
    zip_t *z = zip_open(QFile::encodeName(path).constData(), ZIP_RDONLY, &err);
    if (!z)
        return {};
    QByteArray out;
    zip_stat_t st;
    if (zip_stat(z, entry, 0, &st) == 0) {
        if (zip_file_t *f = zip_fopen(z, entry, 0)) {
            out.resize(qsizetype(st.size));
            out.resize(qsizetype(zip_fread(f, out.data(), st.size)));
            zip_fclose(f);
        }
    }
    zip_close(z);
    return out;
}

// A small line grid: a code that must stay text, a name with a comma and quotes,
// a quantity and a price with number pictures, a date, a hidden column and footers.
class ExportTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        rows.setFields({"F_GoodCode", "F_GoodName", "F_Amount", "F_Price", "F_RQ1", "F_Secret"});
        rows.appendRow({{"F_GoodCode", "0012"}, {"F_GoodName", QStringLiteral("螺丝, \"大\"")}, {"F_Amount", 1234.5},
                        {"F_Price", 2.005}, {"F_RQ1", "2024-05-06"}, {"F_Secret", "x"}});
        rows.appendRow({{"F_GoodCode", "A<2>"}, {"F_GoodName", QStringLiteral("垫片")}, {"F_Amount", -2.0},
                        {"F_Price", 10.0}, {"F_RQ1", "1900-08-14"}, {"F_Secret", "y"}});
        grid.setRowSet(&rows);
        GridColumn code("F_GoodCode", QStringLiteral("原料编码"), 90);
        code.footerKind = FooterKind::Text;
        code.footerValue = QStringLiteral("合  计");
        grid.addColumn(code);
        grid.addColumn(GridColumn("F_GoodName", QStringLiteral("原料名称"), 120));
        GridColumn secret("F_Secret", QStringLiteral("隐藏"));
        secret.visible = false;
        grid.addColumn(secret);
        GridColumn amount("F_Amount", QStringLiteral("数量"));
        amount.displayFormat = QStringLiteral(",0.##;-,0.##");
        amount.footerKind = FooterKind::Sum;
        amount.footerFormat = QStringLiteral("0.##");
        grid.addColumn(amount);
        GridColumn price("F_Price", QStringLiteral("单价"));
        price.displayFormat = QStringLiteral("￥,0.00;-￥,0.00");
        grid.addColumn(price);
        grid.addColumn(GridColumn("F_RQ1", QStringLiteral("日期")));
    }

    QString path(const QString &name) const { return dir.filePath(name); }
    // Exports through the save dialog answering `file` / `filter` and Cancel to the question.
    bool exportAs(const QString &file, int filter)
    {
        prompts.answerSave(file, filter);
        prompts.answerMessages({MsgCancel});
        return ExportGrid(&grid, QStringLiteral("原材料资料列表"), 1);
    }
    QStringList leftovers() const
    {
        return QDir(dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot);
    }

    QTemporaryDir dir;
    ScriptedPrompts prompts;
    RowSet rows;
    DataGrid grid;
};

} // namespace

TEST_F(ExportTest, text_formats_hold_the_shown_values_of_visible_columns_with_footer)
{
    const QString header = QStringLiteral("原料编码\t原料名称\t数量\t单价\t日期");
    ASSERT_TRUE(exportAs(path("a.txt"), 2));
    EXPECT_EQ(readText(path("a.txt")),
              header + "\r\n" + QStringLiteral("0012\t螺丝, \"大\"\t1,234.5\t￥2.01\t2024-05-06\r\n")
                  + QStringLiteral("A<2>\t垫片\t-2\t￥10.00\t\r\n") + QStringLiteral("合  计\t\t1232.5\t\t\r\n"))
        << "hidden column left out, absent date empty, price rounded half away from zero";

    ASSERT_TRUE(exportAs(path("a.csv"), 5));
    const QByteArray csv = readBytes(path("a.csv"));
    EXPECT_TRUE(csv.startsWith("\xEF\xBB\xBF")) << "UTF-8 with a byte-order mark";
    EXPECT_EQ(QString::fromUtf8(csv.mid(3)).split("\r\n").value(1),
              QStringLiteral("0012,\"螺丝, \"\"大\"\"\",\"1,234.5\",￥2.01,2024-05-06"));

    ASSERT_TRUE(exportAs(path("a.htm"), 3));
    const QString html = readText(path("a.htm"));
    EXPECT_TRUE(html.contains("<meta charset=\"utf-8\">"));
    EXPECT_TRUE(html.contains(QStringLiteral("<th>原料编码</th><th>原料名称</th><th>数量</th><th>单价</th><th>日期</th></tr>")));
    EXPECT_TRUE(html.contains(QStringLiteral("螺丝, &quot;大&quot;"))) << "text is escaped";
    EXPECT_TRUE(html.contains("A&lt;2&gt;"));
    EXPECT_TRUE(html.contains("<td style=\"text-align: right\">1,234.5</td>")) << "numbers right-aligned";
    EXPECT_TRUE(html.contains(QStringLiteral("<tfoot>\r\n<tr><td style=\"text-align: left\">合  计</td>")));
    EXPECT_FALSE(html.contains(QStringLiteral("隐藏")));

    ASSERT_TRUE(exportAs(path("a.rtf"), 4));
    const QByteArray rtf = readBytes(path("a.rtf"));
    EXPECT_TRUE(rtf.startsWith("{\\rtf1"));
    EXPECT_TRUE(std::all_of(rtf.begin(), rtf.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; }))
        << "RTF stays 7-bit";
    EXPECT_TRUE(rtf.contains("\\u-30790?\\u19997?")) << "螺丝 as signed \\u escapes";
    EXPECT_TRUE(rtf.contains("1,234.5\\cell"));
    EXPECT_EQ(rtf.count("\\row"), 4) << "titles, two rows, footer";
    EXPECT_TRUE(leftovers().size() == 4) << leftovers().join(", ").toStdString();
}

TEST_F(ExportTest, workbook_has_numbers_as_numeric_cells_dates_as_dates_and_codes_as_text)
{
    ASSERT_TRUE(exportAs(path("book"), 1));
    ASSERT_TRUE(QFile::exists(path("book.xlsx"))) << "the workbook gets its extension";
    const QString sheet = QString::fromUtf8(zipEntry(path("book.xlsx"), "xl/worksheets/sheet1.xml"));
    const QString strings = QString::fromUtf8(zipEntry(path("book.xlsx"), "xl/sharedStrings.xml"));
    const QString styles = QString::fromUtf8(zipEntry(path("book.xlsx"), "xl/styles.xml"));
    ASSERT_FALSE(sheet.isEmpty());

    auto cell = [&](const QString &ref) {
        QRegularExpression re("<c r=\"" + ref + "\"([^>]*)>(.*?)</c>");
        auto m = re.match(sheet);
        return m.hasMatch() ? m.captured(1) + "|" + m.captured(2) : QString();
    };
    EXPECT_TRUE(cell("C2").endsWith("|<v>1234.5</v>")) << cell("C2").toStdString();
    EXPECT_FALSE(cell("C2").contains("t=\"s\"")) << "a quantity is a number, not text";
    EXPECT_TRUE(cell("D2").endsWith("|<v>2.005</v>")) << "full value kept, the format rounds";
    const int serial = int(QDate(1899, 12, 30).daysTo(QDate(2024, 5, 6)));
    EXPECT_TRUE(cell("E2").endsWith(QString("|<v>%1</v>").arg(serial))) << cell("E2").toStdString();
    EXPECT_TRUE(cell("A2").contains("t=\"s\"")) << "code 0012 stays text";
    EXPECT_TRUE(strings.contains("<t>0012</t>"));
    EXPECT_TRUE(strings.contains(QStringLiteral("原料编码")));
    EXPECT_FALSE(strings.contains(QStringLiteral("隐藏")));
    EXPECT_EQ(cell("E3"), QString()) << "an absent date is an empty cell";
    EXPECT_TRUE(cell("C4").endsWith("|<v>1232.5</v>")) << "footer sum as a number";

    EXPECT_TRUE(styles.contains("formatCode=\"#,##0.##;-#,##0.##\"")) << styles.toStdString();
    EXPECT_TRUE(styles.contains("formatCode=\"#,##0;-#,##0\"")) << "-2 shows no trailing point";
    EXPECT_TRUE(styles.contains("formatCode=\"yyyy-mm-dd\""));
    EXPECT_EQ(leftovers(), QStringList{"book.xlsx"}) << "no temporary file stays behind";
}

TEST(ExportFormat, excel_formats_follow_the_number_pictures)
{
    struct Case {
        const char *picture;
        double value;
        QString excel;
    } cases[] = {
        {",0.##;-,0.##", 1.5, "#,##0.##;-#,##0.##"},
        {",0.##;-,0.##", 3, "#,##0;-#,##0"},
        {"￥,0.00##;-￥,0.00##", 2, QStringLiteral("\"￥\"#,##0.00##;-\"￥\"#,##0.00##")},
        {"0.##", 7, "0"},
        {"0.", 7.4, "0"},
        {",0.", -7, "#,##0"},
        {",0.00", 0.1, "#,##0.00"},
        {"0.00;-0.00;\"零\"", 0, QStringLiteral("0.00;-0.00;\"零\"")},
        {"", 1.25, ""},
    };
    for (const auto &c : cases)
        EXPECT_EQ(excelNumberFormat(QString::fromUtf8(c.picture), c.value), c.excel) << c.picture << " " << c.value;
}

TEST(ExportFormat, extension_is_appended_only_when_the_name_does_not_end_in_it)
{
    struct Case {
        const char *file, *ext, *result;
    } cases[] = {
        {"/d/list", "txt", "/d/list.txt"},       {"/d/list.txt", "txt", "/d/list.txt"},
        {"/d/list.TXT", "txt", "/d/list.TXT"},   {"/d/list.Txt", "txt", "/d/list.Txt"},
        {"/d/list.csv", "txt", "/d/list.csv.txt"}, {"/d/book.XLSX", "xlsx", "/d/book.XLSX"},
        {"/d/book.xls", "xlsx", "/d/book.xls.xlsx"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(withExportExtension(c.file, c.ext), QString(c.result)) << c.file;
}

TEST_F(ExportTest, success_question_names_the_file_and_ok_opens_it)
{
    prompts.answerSave(path(QStringLiteral("清单.TXT")), 2);
    prompts.answerMessages({MsgOk});
    ASSERT_TRUE(ExportGrid(&grid, QStringLiteral("原材料资料列表"), 1));
    EXPECT_EQ(leftovers(), QStringList{QStringLiteral("清单.TXT")}) << "no second extension";
    ASSERT_EQ(prompts.shown.size(), 1);
    EXPECT_EQ(prompts.shown[0].text, QStringLiteral("导出 “清单.TXT” 成功，打开该文件吗？"));
    EXPECT_EQ(prompts.shown[0].kind, MsgQuestion);
    ASSERT_EQ(prompts.openedUrls.size(), 1);
    EXPECT_EQ(prompts.openedUrls[0].toLocalFile(), QFileInfo(path(QStringLiteral("清单.TXT"))).absoluteFilePath());

    prompts.clear();
    prompts.answerSave(QString(), 1); // the dialog cancelled
    EXPECT_FALSE(ExportGrid(&grid, QStringLiteral("原材料资料列表"), 1));
    EXPECT_TRUE(prompts.shown.isEmpty());
}

TEST_F(ExportTest, unwritable_target_shows_an_error_leaves_nothing_and_asks_nothing)
{
    // A folder that does not exist, and a "folder" that is a file: no write can succeed (even as root).
    QFile blocker(path("blocker"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    for (const QString &target : {path("missing/list"), path("blocker/list")}) {
        for (int filter : {1, 2, 5}) {
            prompts.clear();
            prompts.answerSave(target, filter);
            EXPECT_FALSE(ExportGrid(&grid, QStringLiteral("原材料资料列表"), 1));
            ASSERT_EQ(prompts.shown.size(), 1) << target.toStdString() << " " << filter;
            EXPECT_EQ(prompts.shown[0].kind, MsgError);
            EXPECT_TRUE(prompts.shown[0].text.startsWith(QStringLiteral("无法写入文件“"))) << prompts.shown[0].text.toStdString();
            EXPECT_TRUE(prompts.openedUrls.isEmpty());
        }
    }
    EXPECT_EQ(leftovers(), QStringList{"blocker"});
}

TEST_F(ExportTest, replacing_an_existing_file_keeps_it_until_the_new_one_is_complete)
{
    QFile old(path("list.xlsx"));
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("old");
    old.close();
    ASSERT_TRUE(exportAs(path("list.xlsx"), 1));
    EXPECT_TRUE(readBytes(path("list.xlsx")).startsWith("PK")) << "replaced by the workbook";
    EXPECT_EQ(leftovers(), QStringList{"list.xlsx"});
}
