#include "data/dmdata.h"
#include "data/rowset.h"
#include "data/session.h"
#include "support/scriptedprompts.h"
#include "support/testdb.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

using namespace tarvik;
using namespace tarvik::test;

namespace {

class DataModuleTest : public EngineTest {
protected:
    void addGood(const QString &code, double opening, bool stopped = false, double price = 0)
    {
        ASSERT_TRUE(db().exec("INSERT INTO t_goods (F_code, F_name, F_amount, F_flag, F_price) VALUES (?, ?, ?, ?, ?)",
                              {code, code + "名", opening, stopped, price}).ok());
    }
    void addBill(const QString &number, int kind, std::initializer_list<std::pair<QString, double>> lines,
                 double price = 0)
    {
        ASSERT_TRUE(db().exec("INSERT INTO DepotM (F_Code, F_Flag, F_OperFlag) VALUES (?, ?, ?)",
                              {number, kind, kind > 0 ? 1 : -1}).ok());
        for (const auto &[code, qty] : lines)
            ASSERT_TRUE(db().exec("INSERT INTO DepotD (F_Code, F_GoodCode, F_amount, F_price) VALUES (?, ?, ?, ?)",
                                  {number, code, qty, price}).ok());
    }
};

} // namespace

TEST_P(DataModuleTest, query_helpers_read_first_value_and_report_failures)
{
    ScriptedPrompts p;
    EXPECT_EQ(dm().QueryText("SELECT F_Name FROM OperList WHERE F_Code = ?", {"nobody"}), QString());
    EXPECT_EQ(dm().QueryText("SELECT F_Mem FROM DepotM"), QString());
    ASSERT_TRUE(db().exec("INSERT INTO DepotM (F_Code, F_Flag, F_OperFlag) VALUES ('A', 1, 1)").ok());
    EXPECT_EQ(dm().QueryText("SELECT F_Mem FROM DepotM"), QString()) << "null reads as empty text";
    EXPECT_EQ(dm().QueryInt("SELECT F_Flag FROM DepotM"), 1);
    EXPECT_EQ(dm().QueryFloat("SELECT F_amount FROM DepotM WHERE F_Code = 'none'"), 0.0);
    EXPECT_TRUE(p.shown.isEmpty());

    EXPECT_EQ(dm().QueryText("SELECT no_such_column FROM DepotM"), QString());
    EXPECT_FALSE(dm().ExecSql("UPDATE no_such_table SET x = 1"));
    ASSERT_GE(p.shown.size(), 2);
    EXPECT_EQ(p.shown[0].text, QStringLiteral("操作失败，请检查数据连接... "));
    EXPECT_EQ(p.shown[0].kind, MsgError);
    EXPECT_FALSE(p.shown[0].detail.isEmpty()) << "the driver's text goes under 详细信息";
    EXPECT_EQ(p.shown[1].text, QStringLiteral("操作失败，请检查数据连接... "));
}

TEST_P(DataModuleTest, fill_combo_items_skips_blank_entries_and_keeps_order_and_duplicates)
{
    for (const char *name : {"张三", "  ", "李四", "", "张三"})
        ASSERT_TRUE(db().exec("INSERT INTO t_code (F_type, F_name) VALUES ('empname', ?)", {QString::fromUtf8(name)}).ok());
    QComboBox box;
    box.setEditable(true);
    box.setEditText("王五");
    ASSERT_TRUE(dm().FillComboItems("SELECT F_name FROM t_code WHERE F_type = ? ORDER BY F_ID", {"empname"}, &box));
    ASSERT_EQ(box.count(), 3);
    EXPECT_EQ(box.itemText(0), QStringLiteral("张三"));
    EXPECT_EQ(box.itemText(1), QStringLiteral("李四"));
    EXPECT_EQ(box.itemText(2), QStringLiteral("张三"));
    EXPECT_EQ(box.currentText(), QStringLiteral("王五")) << "typed text survives the refill";
}

TEST_P(DataModuleTest, next_serial_number_follows_the_largest_number)
{
    setFixedNow(QDateTime(QDate(2024, 1, 1), QTime(9, 0)));
    const QString sql = "SELECT MAX(F_Code) FROM DepotM WHERE F_Code LIKE ? AND F_Flag = ?";
    auto first = dm().NextSerialNumber(sql, {"CJD20240101%", 1}, "CJD", 3);
    ASSERT_TRUE(first.ok());
    EXPECT_EQ(*first, QStringLiteral("CJD20240101001"));
    addBill("CJD20240101009", 1, {});
    EXPECT_EQ(dm().NextSerialNumber(sql, {"CJD20240101%", 1}, "CJD", 3).value(), QStringLiteral("CJD20240101010"));
    addBill("CJD20240101099", 1, {});
    EXPECT_EQ(dm().NextSerialNumber(sql, {"CJD20240101%", 1}, "CJD", 3).value(), QStringLiteral("CJD20240101100"));
    // Another kind keeps its own sequence.
    EXPECT_EQ(dm().NextSerialNumber(sql, {"CCD20240101%", -1}, "CCD", 3).value(), QStringLiteral("CCD20240101001"));
    // The thousandth bill of a day is refused instead of wrapping to "000".
    addBill("CJD20240101999", 1, {});
    auto full = dm().NextSerialNumber(sql, {"CJD20240101%", 1}, "CJD", 3);
    ASSERT_FALSE(full.ok());
    EXPECT_EQ(full.message(), QStringLiteral("今日此类单据已达999张，无法再新增！"));
}

TEST_P(DataModuleTest, stock_is_opening_plus_signed_lines_of_every_bill)
{
    addGood("M1", 10);
    addGood("M2", 50, /*stopped=*/true);
    addBill("CJD1", 1, {{"M1", 5}, {"M2", 3}});
    addBill("CCD1", -1, {{"M1", 2}, {"M1", 1}});
    addBill("LCD1", -2, {{"M1", 4}});
    addBill("LTD1", 2, {{"M1", 1.5}});
    addBill("PJD1", 3, {{"M1", 100}}); // product bills never count for a raw material
    ASSERT_TRUE(db().exec("UPDATE DepotM SET F_CheckFlag = true WHERE F_Code = 'CJD1'").ok());

    EXPECT_DOUBLE_EQ(dm().GetStockAmount("M1", "", StockRaw).value(), 10 + 5 - 3 - 4 + 1.5);
    EXPECT_DOUBLE_EQ(dm().GetStockAmount("M1", "CCD1", StockRaw).value(), 10 + 5 - 4 + 1.5);
    // A stopped item counts no opening amount but still its lines.
    EXPECT_DOUBLE_EQ(dm().GetStockAmount("M2", "", StockRaw).value(), 3);
    EXPECT_DOUBLE_EQ(dm().GetStockAmount("NONE", "", StockRaw).value(), 0);

    ASSERT_TRUE(db().exec("INSERT INTO Product (F_code, F_name, F_amount, F_flag) VALUES ('P1', '成品', 7, false)").ok());
    addBill("PJD2", 3, {{"P1", 3}});
    addBill("XSD1", -5, {{"P1", 4}});
    addBill("XTD1", 5, {{"P1", 1}});
    addBill("PCD1", -3, {{"P1", 2}});
    EXPECT_DOUBLE_EQ(dm().GetStockAmount("P1", "", StockProduct).value(), 7 + 3 - 4 + 1 - 2);
}

TEST_P(DataModuleTest, last_price_takes_newest_line_of_kind_on_another_bill_else_master)
{
    addGood("M1", 0, false, 9.5);
    EXPECT_DOUBLE_EQ(dm().LastGoodPrice("M1", "", 1).value(), 9.5);
    addBill("CJD1", 1, {{"M1", 1}}, 11);
    addBill("CJD2", 1, {{"M1", 1}}, 12.25);
    addBill("CCD1", -1, {{"M1", 1}}, 99);
    EXPECT_DOUBLE_EQ(dm().LastGoodPrice("M1", "", 1).value(), 12.25);
    EXPECT_DOUBLE_EQ(dm().LastGoodPrice("M1", "CJD2", 1).value(), 11);
    EXPECT_DOUBLE_EQ(dm().LastGoodPrice("M1", "", -1).value(), 99);
    EXPECT_DOUBLE_EQ(dm().LastGoodPrice("M1", "", 2).value(), 9.5) << "a kind it never appeared in";
    EXPECT_DOUBLE_EQ(dm().LastGoodPrice("NONE", "", 1).value(), 0);
    ASSERT_TRUE(db().exec("INSERT INTO Product (F_code, F_price) VALUES ('P1', 30)").ok());
    EXPECT_DOUBLE_EQ(dm().LastProductPrice("P1", "", 3).value(), 30);
}

TEST_P(DataModuleTest, has_permission_reads_the_role_of_the_login)
{
    loginContext().PartCode = "R1";
    EXPECT_FALSE(dm().HasPermission("303"));
    ASSERT_TRUE(db().exec("INSERT INTO PartLimit (F_PartCode, F_LmtCode) VALUES ('R1', '303'), ('R2', '304')").ok());
    EXPECT_TRUE(dm().HasPermission("303"));
    EXPECT_FALSE(dm().HasPermission("304"));
    loginContext().PartCode = "R'1";
    EXPECT_FALSE(dm().HasPermission("303"));
}

TEST_P(DataModuleTest, open_query_fills_a_rowset_with_case_insensitive_fields)
{
    addGood("M1", 1);
    RowSet set;
    ASSERT_TRUE(dm().OpenQuery("SELECT F_code, F_name FROM t_goods", {}, set));
    ASSERT_EQ(set.count(), 1);
    EXPECT_EQ(set.text(0, "f_CODE"), QStringLiteral("M1"));
    EXPECT_EQ(set.text(0, "F_Name"), QStringLiteral("M1名"));
}

TEST_P(DataModuleTest, auto_backup_makes_one_checked_copy_a_day)
{
    if (isPg() && QStandardPaths::findExecutable("pg_dump").isEmpty())
        GTEST_SKIP() << "pg_dump not installed";
    ScriptedPrompts p;
    setFixedNow(QDateTime(QDate(2026, 12, 9), QTime(8, 0)));
    const QString folder = testDb().dir().filePath("备份/每日");
    ASSERT_TRUE(db().exec("UPDATE SysInfo SET F_BakPath = ?", {folder}).ok());
    p.answerMessages({MsgOk}); // create the folder
    dm().AutoBackup();
    ASSERT_EQ(p.shown.size(), 1);
    EXPECT_EQ(p.shown[0].text, "当前目录" + folder + " 不存在，是否创建！");
    const QString file = QDir(folder).filePath("dp20261209.back");
    ASSERT_TRUE(QFileInfo::exists(file));
    if (!isPg()) {
        auto copy = Database::open(file);
        ASSERT_TRUE(copy.ok()) << copy.error().detail.toStdString();
        EXPECT_EQ((*copy)->integrityCheck().value(), QStringLiteral("ok"));
    }
    const QDateTime stamp = QFileInfo(file).lastModified();
    addGood("LATER", 1);
    dm().AutoBackup();
    EXPECT_EQ(QFileInfo(file).lastModified(), stamp) << "a second start the same day keeps the first copy";
    EXPECT_EQ(p.shown.size(), 1);
}

TEST_P(DataModuleTest, auto_backup_with_empty_folder_asks_then_reports_failure)
{
    ScriptedPrompts p;
    p.answerMessages({MsgOk});
    dm().AutoBackup();
    ASSERT_EQ(p.shown.size(), 2);
    EXPECT_EQ(p.shown[0].text, QStringLiteral("当前目录 不存在，是否创建！"));
    EXPECT_EQ(p.shown[1].text, QStringLiteral("目录 创建失败,请检测路径是否合法!"));
    EXPECT_EQ(p.shown[1].kind, MsgError);
    p.clear();
    p.answerMessages({MsgCancel});
    dm().AutoBackup();
    EXPECT_EQ(p.shown.size(), 1);
}

TEST_P(DataModuleTest, compaction_keeps_the_data)
{
    addGood("M1", 3);
    EXPECT_TRUE(dm().CompactDatabase());
    EXPECT_EQ(dm().QueryText("SELECT F_code FROM t_goods"), QStringLiteral("M1"));
}

TARVIK_ENGINE_TESTS(DataModuleTest);

// ---------------------------------------------------------------- pure operations

TEST(BackupPolicy, runs_only_on_the_days_the_policy_names)
{
    const QDate monday(2026, 12, 7), tuesday(2026, 12, 8), first(2026, 12, 1);
    struct Case {
        int policy;
        QDate day;
        bool due;
    } cases[] = {{0, monday, false}, {1, tuesday, true}, {2, monday, true}, {2, tuesday, false},
                 {3, first, true},   {3, monday, false}, {7, first, false}, {-1, monday, false}};
    for (const auto &c : cases)
        EXPECT_EQ(TdmData::BackupDue(c.policy, c.day), c.due) << c.policy << " " << c.day.toString().toStdString();
    EXPECT_TRUE(TdmData::BackupFileName("/b", QDate(2026, 12, 9)).endsWith("/b/dp20261209.back"));
}

TEST(DisplayFormats, follow_the_decimal_options)
{
    struct Case {
        int decimals;
        const char *amount;
        const char *money;
    } cases[] = {{0, "0.", ",0."}, {1, "0.#", ",0.0"}, {2, "0.##", ",0.00"}, {4, "0.####", ",0.00##"}};
    for (const auto &c : cases) {
        EXPECT_EQ(amountFormatFor(c.decimals), QString::fromUtf8(c.amount));
        EXPECT_EQ(moneyFormatFor(c.decimals), QString::fromUtf8(c.money));
    }
    systemOptions().AmountDecimals = 3;
    systemOptions().PriceDecimals = 4;
    systemOptions().TotalDecimals = 2;
    TdmData dm(nullptr);
    dm.BuildDisplayFormats();
    EXPECT_EQ(systemOptions().AmountFormat, QStringLiteral("0.###"));
    EXPECT_EQ(systemOptions().PriceFormat, QStringLiteral(",0.00##"));
    EXPECT_EQ(systemOptions().TotalFormat, QStringLiteral(",0.00"));
    systemOptions() = SystemOptions{};
}

TEST(Passwords, scramble_round_trips_and_has_4n_plus_1_characters)
{
    const QString printable = QStringLiteral(
        " !\"#$%&'()*+,-./0123456789:;<=>?@ABCDEFGHIJKLMNOPQRSTUVWXYZ[\\]^_`abcdefghijklmnopqrstuvwxyz{|}~");
    const QString samples[] = {QString(), QStringLiteral("a"), QStringLiteral("Secret123"), printable,
                               QStringLiteral("口令密码"), QStringLiteral("混合Mix码9")};
    for (const QString &plain : samples) {
        const QString stored = TdmData::ScramblePassword(plain);
        EXPECT_EQ(stored.size(), 4 * toGbk(plain).size() + 1) << plain.toStdString();
        EXPECT_EQ(TdmData::UnscramblePassword(stored), plain) << plain.toStdString();
    }
    // Every filler comes from the first 93 keyboard characters; never "~".
    const QString many = TdmData::ScramblePassword(QString(200, QLatin1Char('x')));
    for (int i = 0; i < many.size(); i += 2)
        EXPECT_NE(many[i], QLatin1Char('~'));
    // The same password scrambles differently each time.
    EXPECT_NE(TdmData::ScramblePassword("abcdef"), TdmData::ScramblePassword("abcdef"));
    // A stored empty text and a single filler both unscramble to the empty password.
    EXPECT_EQ(TdmData::UnscramblePassword(QString()), QString());
    EXPECT_EQ(TdmData::UnscramblePassword(QStringLiteral("q")), QString());
}

TEST(Passwords, stored_form_matches_the_documented_layout)
{
    // "AB" is 41 42 in GBK; hex "4142", reversed "2414", each digit after one filler, one filler at the end.
    const QString stored = TdmData::ScramblePassword("AB");
    ASSERT_EQ(stored.size(), 9);
    const QChar digits[] = {stored[1], stored[3], stored[5], stored[7]};
    EXPECT_EQ(QString(digits, 4), QStringLiteral("2414"));
    // Lower-case and other characters in digit places count as 0.
    EXPECT_EQ(TdmData::UnscramblePassword("x1x4x"), QStringLiteral("A"));
    EXPECT_EQ(TdmData::UnscramblePassword("xax4x"), QStringLiteral("@"));
}
