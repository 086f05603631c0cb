#include "data/report/moneymintobig.h"

#include <gtest/gtest.h>

using namespace tarvik;

TEST(MoneyMinToBig, converts_every_digit_with_its_unit)
{
    const struct {
        double amount;
        const char *text;
    } cases[] = {
        {1234.5, "壹千贰佰叁拾肆元伍角零分"},
        {100, "壹佰零拾零元整"},
        {0, "零元整"},
        {0.5, "零元伍角零分"},
        {-8.07, "捌元零角柒分"},
        {20.30, "贰拾零元叁角零分"},
        {1000000, "壹佰零拾零万零千零佰零拾零元整"},
        {0.004, "零元整"},
        {0.125, "零元壹角叁分"},         // a half in the third decimal goes up
        {-0.125, "零元壹角叁分"},        // ... away from zero, sign dropped
        {1.005, "壹元零角壹分"},         // the decimal value typed, not its binary neighbour
        {9.995, "壹拾零元整"},           // carrying into a new place
        {0.01, "零元零角壹分"},
        {-1000, "壹千零佰零拾零元整"},
        {1234567890.12, "壹十贰亿叁千肆佰伍拾陆万柒千捌佰玖拾零元壹角贰分"}, // 十 at place 9
        {210987654321.0, "贰千壹佰零十玖亿捌千柒佰陆拾伍万肆千叁佰贰拾壹元整"},      // place 11, the last unit
        {1000000000000.0, "壹万零千零佰零十零亿零千零佰零拾零万零千零佰零拾零元整"},   // past place 11: units go round from 万
    };
    for (const auto &c : cases)
        EXPECT_EQ(MoneyMinToBig(c.amount).toStdString(), c.text) << c.amount;
}

TEST(MoneyMinToBig, two_decimal_text_and_values_that_are_not_numbers)
{
    EXPECT_EQ(moneyTwoDecimals(1234.5), QStringLiteral("1234.50"));
    EXPECT_EQ(moneyTwoDecimals(0.125), QStringLiteral("0.13"));
    EXPECT_EQ(moneyTwoDecimals(99.999), QStringLiteral("100.00"));
    EXPECT_EQ(moneyTwoDecimals(1e-7), QStringLiteral("0.00"));
    EXPECT_EQ(MoneyMinToBig(std::nan("")), QStringLiteral("零元整"));
}
