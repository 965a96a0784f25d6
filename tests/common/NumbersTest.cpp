// Rounding, picture strings and date texts: what every receipt and grid prints.
#include "common/Dates.h"
#include "common/Errors.h"
#include "common/Numbers.h"

#include <gtest/gtest.h>

using namespace kv;

TEST(Rounding, HalfGoesToTheEvenNeighbour)
{
    struct { double in, out; } cases[] = {
        {2.5, 2}, {3.5, 4}, {-2.5, -2}, {0.5, 0}, {1.5, 2}, {2.4999, 2}, {2.51, 3},
        {212.5, 212}, {237.5, 238},  // line subtotals 2.125 and 2.375 at hundredths
        {-0.4, 0},
    };
    for (auto c : cases)
        EXPECT_EQ(R(c.in), c.out) << c.in;
    EXPECT_FALSE(std::signbit(R(-0.4)));  // never a "-0" on a receipt
}

TEST(Pictures, FormatLikeTheReceiptsExpect)
{
    struct { const char* pic; double v; const char* out; } cases[] = {
        {"###,###.00", 1234.5, "1,234.50"},
        {"###,###.00", 0, ".00"},
        {"###,###.00", 0.5, ".50"},
        {"###,###.00", -5000, "-5,000.00"},
        {"###,###.00", 2.675, "2.68"},          // read as a person reads it, not as binary noise
        {"###,###.00.", 1234.5, "1,234.50"},   // a second point is ignored
        {"###,###.", 900123456, "900,123,456"},
        {"###,###.", 0, ""},
        {"###,###", 1234567.6, "1,234,568"},
        {"##,###,###,###.", 222222222, "222,222,222"},
        {"###,###.##", 1234.5, "1,234.5"},
        {"###,###.##", 1234, "1,234"},
        {"#,###.", 8, "8"},
        {"00%", 5, "05%"},
        {"000000", 42, "000042"},
        {"0.00", 0.004, "0.00"},
        {"", 12500, "12500"},
        {"", 2.5, "2.5"},
        {"$###,###", 1500, "$1,500"},
    };
    for (auto c : cases)
        EXPECT_EQ(FormatFloat(c.pic, c.v), QString::fromUtf8(c.out)) << c.pic << " " << c.v;
}

TEST(Pictures, TypedNumbersAreReadOrRefused)
{
    EXPECT_EQ(StrToFloat(" 1,234.50 "), 1234.5);
    EXPECT_EQ(StrToFloat("-3"), -3);
    EXPECT_EQ(StrToFloat("12,345,678"), 12345678);
    EXPECT_EQ(StrToFloat("-1,000"), -1000);
    EXPECT_EQ(StrToFloat("999,999.5"), 999999.5);
    // A comma anywhere but between groups of thousands is someone's decimal comma or a slip:
    // "2,5" must not become 25.
    for (const char* bad : {"", "abc", "12a", "1.2.3", "--1", "1.000,5", "2,5", "1,23", "1,2345", "1234,567", ",5",
                            "1,,000", "1,000,00", "12,", "1,5e3"}) {
        EXPECT_FALSE(IsNumber(bad)) << bad;
        EXPECT_THROW(StrToFloat(bad), ConversionError) << bad;
    }
    try {
        StrToFloat("x1");
    } catch (const ConversionError& e) {
        EXPECT_EQ(e.text(), QString::fromUtf8("'x1' no es un valor numérico válido"));
    }
}

TEST(DateTexts, SpanishNamesAndPictures)
{
    const QDateTime dt(QDate(2026, 3, 7), QTime(14, 5, 9));
    struct { const char* pic; const char* out; } cases[] = {
        {"dd  mmm  yyyy", "07  mar  2026"},
        {"dd mmm yyyy", "07 mar 2026"},
        {"DD MMMM YYY", "07 marzo 2026"},
        {"d/m/yy", "7/3/26"},
        {"hh:nn:ss", "14:05:09"},
        {"hh:mm", "14:05"},
        {"dddd", "sábado"},
        {"h:nn AM/PM", "2:05 PM"},
        {"hh:nn am/pm", "02:05 pm"},
    };
    for (auto c : cases)
        EXPECT_EQ(FormatDateTime(c.pic, dt), QString::fromUtf8(c.out)) << c.pic;
    EXPECT_EQ(StrToDate("25/12/2026"), QDate(2026, 12, 25));
    EXPECT_THROW(StrToDate("31/02/2026"), ConversionError);
    EXPECT_THROW(StrToDate("hoy"), ConversionError);
}
