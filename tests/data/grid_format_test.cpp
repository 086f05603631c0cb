#include "data/grid/displayformat.h"

#include <QDate>
#include <QDateTime>

#include <gtest/gtest.h>

using namespace tarvik;

namespace {

struct Case {
    double value;
    const char *picture;
    const char *shown;
};

} // namespace

TEST(DisplayFormat, pictures_the_system_uses)
{
    const Case cases[] = {
        // quantities
        {1234.5, ",0.##;-,0.##", "1,234.5"},
        {-1234.567, ",0.##;-,0.##", "-1,234.57"},
        {0, ",0.##;-,0.##", "0"},
        {-0.001, ",0.##;-,0.##", "0"}, // rounds to zero: no minus sign
        {1000000, ",0.##;-,0.##", "1,000,000"},
        {999.995, ",0.##;-,0.##", "1,000"},
        // money with currency sign as a literal
        {12.5, "￥,0.00##;-￥,0.00##", "￥12.50"},
        {12.34567, "￥,0.00##;-￥,0.00##", "￥12.3457"},
        {-0.5, "￥,0.00##;-￥,0.00##", "-￥0.50"},
        {1234567.891, "￥,0.00;-￥,0.00", "￥1,234,567.89"},
        {-3, "￥,0.00;-￥,0.00", "-￥3.00"},
        // rounding half away from zero at the last place, on the decimal form
        {2.5, "0.", "3"},
        {-2.5, "0.", "-3"},
        {1.005, "0.00", "1.01"},
        {2.675, ",0.00", "2.68"},
        {0.125, "0.##", "0.13"},
        {1.5, "0.##", "1.5"},
        {7, "0.##", "7"},
        {0, "0.##", "0"},
        {12.3456789012, ",0.########;-,0.########", "12.3456789"},
        {0.1 + 0.2, ",0.########;-,0.########", "0.3"},
        {1234, "0.", "1234"},
        {1234.4, ",0.", "1,234"},
        {1234, ",0.00", "1,234.00"},
        {123, ",0.00", "123.00"},
        {-1234.5, ",0.00", "-1,234.50"}, // no negative section: a minus before the positive one
        // "#" suppresses leading zeros, "0" forces digits
        {0.5, "#.##", ".5"},
        {5, "000", "005"},
        {0, "0.00;-0.00;零", "零"},
        {3, "0;(0)", "3"},
        {-3, "0;(0)", "(3)"},
        {-3, "0;;零", "-3"}, // empty negative section falls back to the positive one
        {42, "\"共\"0\"件\"", "共42件"},
        // general form without a picture
        {1234.5, "", "1234.5"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(formatNumber(c.value, QString::fromUtf8(c.picture)).toStdString(), std::string(c.shown))
            << c.value << " with " << c.picture;
}

TEST(DisplayFormat, values_as_cells_show_them)
{
    EXPECT_EQ(formatDisplay(QVariant()), "");
    EXPECT_EQ(formatDisplay(QVariant(qlonglong(42))), "42");
    EXPECT_EQ(formatDisplay(QVariant(2.0), ",0.00"), "2.00");
    EXPECT_EQ(formatDisplay(QVariant(QStringLiteral("3.5")), "0.00"), "3.50") << "numbers typed as text still take the picture";
    EXPECT_EQ(formatDisplay(QVariant(QStringLiteral("A-01")), "0.00"), "A-01");
    EXPECT_EQ(formatDisplay(QVariant(QDate(2024, 3, 5))), "2024-03-05");
    EXPECT_EQ(formatDisplay(QVariant(QDateTime(QDate(2024, 3, 5), QTime(0, 0)))), "2024-03-05");
    // Absent dates are stored as 1900-08-14: anything before 1901-08-14 shows empty, as date or as text.
    EXPECT_EQ(formatDisplay(QVariant(QDate(1900, 8, 14))), "");
    EXPECT_EQ(formatDisplay(QVariant(QStringLiteral("1900-08-14"))), "");
    EXPECT_EQ(formatDisplay(QVariant(QStringLiteral("1901-08-13"))), "");
    EXPECT_EQ(formatDisplay(QVariant(QStringLiteral("1901-08-14"))), "1901-08-14");
    EXPECT_EQ(formatDisplay(QVariant(QStringLiteral("3000-08-14"))), "3000-08-14");
}

TEST(DisplayFormat, picture_digits_and_rounding_helpers)
{
    const PictureDigits d = pictureDigits(QStringLiteral("￥,0.00##;-￥,0.00##"));
    EXPECT_EQ(d.minDecimals, 2);
    EXPECT_EQ(d.maxDecimals, 4);
    EXPECT_TRUE(d.grouping);
    EXPECT_DOUBLE_EQ(roundHalfAway(-2.345, 2), -2.35);
    EXPECT_DOUBLE_EQ(roundHalfAway(1.005, 2), 1.01);
    EXPECT_DOUBLE_EQ(roundHalfAway(123.4, 0), 123.0);
}
