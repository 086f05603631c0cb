#include "data/rowset.h"
#include "support/testdb.h"

using namespace tarvik;
using namespace tarvik::test;

namespace {

class RowSetTest : public EngineTest {
protected:
    void SetUp() override
    {
        EngineTest::SetUp();
        for (int i = 1; i <= 3; ++i)
            ASSERT_TRUE(db().exec("INSERT INTO t_code (F_type, F_name) VALUES ('unit', ?)", {QString("u%1").arg(i)}).ok());
    }
    QStringList stored()
    {
        QStringList out;
        auto q = db().exec("SELECT F_name FROM t_code ORDER BY F_ID");
        while (q->next())
            out << q->value(0).toString();
        return out;
    }
};

} // namespace

TEST_P(RowSetTest, pending_changes_are_written_in_one_go)
{
    RowSet set;
    ASSERT_TRUE(set.open(db(), "SELECT * FROM t_code ORDER BY F_ID").ok());
    ASSERT_EQ(set.count(), 3);
    set.setValue(0, "F_name", "kg");
    set.remove(1);
    const int added = set.append();
    set.setValue(added, "F_type", "unit");
    set.setValue(added, "f_NAME", "箱'子");
    EXPECT_TRUE(set.hasPendingChanges());
    EXPECT_EQ(stored(), QStringList({"u1", "u2", "u3"})) << "nothing is written before applyUpdates";
    ASSERT_TRUE(set.applyUpdates(db(), "t_code").ok());
    EXPECT_FALSE(set.hasPendingChanges());
    EXPECT_EQ(stored(), QStringList({"kg", "u3", "箱'子"}));
    EXPECT_GT(set.value(added, "F_ID").toLongLong(), 0) << "new rows learn their key";
    // A second write after success sends nothing again.
    ASSERT_TRUE(set.applyUpdates(db(), "t_code").ok());
    EXPECT_EQ(stored().size(), 3);
}

TEST_P(RowSetTest, failed_write_keeps_rows_as_shown_and_next_write_stores_exactly_them)
{
    RowSet set;
    ASSERT_TRUE(set.open(db(), "SELECT * FROM t_code ORDER BY F_ID").ok());
    set.setValue(0, "F_name", "first");
    set.remove(2);
    const int added = set.append();
    set.setValue(added, "F_name", "new");
    {
        // The write runs inside a caller's transaction that then fails and rolls back.
        Transaction tx(db());
        ASSERT_TRUE(set.applyUpdates(db(), "t_code").ok());
        tx.rollback();
    }
    EXPECT_EQ(stored(), QStringList({"u1", "u2", "u3"}));
    EXPECT_TRUE(set.hasPendingChanges());
    EXPECT_EQ(set.count(), 3);
    EXPECT_TRUE(set.value(added, "F_ID").isNull());
    ASSERT_TRUE(set.applyUpdates(db(), "t_code").ok());
    EXPECT_EQ(stored(), QStringList({"first", "u2", "new"}));
}

TEST_P(RowSetTest, cancel_restores_the_loaded_rows)
{
    RowSet set;
    ASSERT_TRUE(set.open(db(), "SELECT * FROM t_code ORDER BY F_ID").ok());
    set.setValue(1, "F_name", "changed");
    set.remove(0);
    set.append();
    set.cancelUpdates();
    ASSERT_EQ(set.count(), 3);
    EXPECT_EQ(set.text(0, "F_name"), QStringLiteral("u1"));
    EXPECT_EQ(set.text(1, "F_name"), QStringLiteral("u2"));
    EXPECT_EQ(set.text(2, "F_name"), QStringLiteral("u3"));
    EXPECT_FALSE(set.hasPendingChanges());
}

TEST_P(RowSetTest, sort_and_locate_work_in_memory)
{
    ASSERT_TRUE(db().exec("INSERT INTO t_goods (F_code, F_amount) VALUES ('B', 10), ('A', 2), ('C', 2.5)").ok());
    RowSet set;
    ASSERT_TRUE(set.open(db(), "SELECT F_ID, F_code, F_amount FROM t_goods").ok());
    set.sort("F_AMOUNT", Qt::AscendingOrder);
    EXPECT_EQ(set.text(0, "F_code"), "A");
    EXPECT_EQ(set.text(2, "F_code"), "B") << "numbers sort as numbers, not text";
    set.sort("f_code", Qt::DescendingOrder);
    EXPECT_EQ(set.text(0, "F_code"), "C");
    EXPECT_TRUE(set.locate("F_code", "A"));
    EXPECT_EQ(set.current(), 2);
    EXPECT_FALSE(set.locate("F_code", "Z"));
    EXPECT_EQ(set.current(), 2);
}

TEST_P(RowSetTest, writes_only_the_columns_of_the_table_with_money_rounded_and_dates_kept)
{
    ASSERT_TRUE(db().exec("INSERT INTO DepotM (F_Code, F_Flag, F_OperFlag) VALUES ('B1', 1, 1)").ok());
    RowSet lines;
    ASSERT_TRUE(lines.open(db(), "SELECT d.*, m.F_Flag AS kind FROM DepotD d LEFT JOIN DepotM m ON d.F_Code = m.F_Code WHERE d.F_Code = ?", {"B1"}).ok());
    const int r = lines.append();
    lines.setValue(r, "F_Code", "B1");
    lines.setValue(r, "F_GoodCode", "M1");
    lines.setValue(r, "F_price", 1.234567);
    lines.setValue(r, "F_RQ1", QDate(2024, 5, 6));
    lines.setValue(r, "kind", 99); // not a column of DepotD
    ASSERT_TRUE(lines.applyUpdates(db(), "DepotD").ok());
    EXPECT_NEAR(scalarOf(db(), "SELECT F_price FROM DepotD").toDouble(), 1.2346, 1e-9);
    EXPECT_EQ(dateText(scalarOf(db(), "SELECT F_RQ1 FROM DepotD")), "2024-05-06");
    EXPECT_EQ(scalarOf(db(), "SELECT F_flag FROM DepotD").toInt(), 0) << "an unwritten line flag takes the default 0";
}

TARVIK_ENGINE_TESTS(RowSetTest);
