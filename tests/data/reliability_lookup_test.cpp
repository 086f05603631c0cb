#include "data/dmdata.h"
#include "support/testdb.h"

using namespace tarvik;
using namespace tarvik::test;

namespace {

class LookupWithoutBillTest : public EngineTest {
protected:
    void SetUp() override
    {
        EngineTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        ASSERT_TRUE(db().exec("INSERT INTO t_goods (F_code, F_name, F_amount, F_price, F_flag) VALUES ('M1', '圆钢', 10, 4, false)").ok());
        for (const auto &[code, flag, amount, price] :
             {std::tuple{"CJD20240506001", 1, 5.0, 4.5}, std::tuple{"CCD20240506001", -1, 2.0, 4.8}}) {
            ASSERT_TRUE(db().exec("INSERT INTO DepotM (F_Code, F_Flag, F_OperFlag) VALUES (?, ?, ?)",
                                  {QString::fromLatin1(code), flag, flag}).ok());
            ASSERT_TRUE(db().exec("INSERT INTO DepotD (F_Code, F_GoodCode, F_amount, F_price, F_flag) VALUES (?, 'M1', ?, ?, 0)",
                                  {QString::fromLatin1(code), amount, price}).ok());
        }
    }
};

} // namespace

// A bill editor without a number yet holds a null text; it must leave out no bill,
// exactly as an empty text does.
TEST_P(LookupWithoutBillTest, null_and_empty_bill_number_leave_out_nothing)
{
    for (const QString &none : {QString(), QStringLiteral("")}) {
        SCOPED_TRACE(none.isNull() ? "null text" : "empty text");
        EXPECT_DOUBLE_EQ(dm().GetStockAmount("M1", none, StockRaw).value(), 10 + 5 - 2);
        EXPECT_DOUBLE_EQ(dm().LastGoodPrice("M1", none, 1).value(), 4.5) << "the receipt line, not the master price";
        EXPECT_DOUBLE_EQ(dm().LastGoodPrice("M1", none, -1).value(), 4.8);
    }
    EXPECT_DOUBLE_EQ(dm().GetStockAmount("M1", "CCD20240506001", StockRaw).value(), 10 + 5);
}

TARVIK_ENGINE_TESTS(LookupWithoutBillTest);
