// The CUDE against the public annex's examples: the text put together from the parts must be the
// annex's text, and its SHA-384 the annex's code (the debit-note example has a known erratum in
// the annex; the value here is the hash of its text).
#include "einvoice/Cude.h"

#include <gtest/gtest.h>

using namespace kv;

TEST(CudeTest, AnnexExamples)
{
    const struct {
        CudeParts parts;
        const char* text;
        const char* code;
    } cases[] = {
        {{"323200000129", "2019-01-16", "10:53:10-05:00", 150000000, 28500000, 0, 0, 178500000, "700085371",
          "800199436", "693ff6f2a553c3646a063436fd4dd9ded0311471", 1},
         "3232000001292019-01-1610:53:10-05:001500000.0001285000.00040.00030.001785000.00700085371800199436693ff6f2a5"
         "53c3646a063436fd4dd9ded03114711",
         "8bb918b19ba22a694f1da11c643b5e9de39adf60311cf179179e9b33381030bcd4c3c3f156c506ed5908f9276f5bd9b4"},
        {{"ND1001", "2019-01-18", "10:58:00-05:00", 3000000, 0, 240000, 0, 3240000, "900197264", "10254102", "10201",
          2},
         "ND10012019-01-1810:58:00-05:0030000.00010.00042400.00030.0032400.0090019726410254102102012",
         "3fa73a86d57d9341c536afde1f85c4efd9d4591c2c22bce4dfb0e6b0d2e83b8f047a8bde7098292e9d2493e60d1c31da"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(cudeText(c.parts), c.text);
        EXPECT_EQ(cude(c.parts), c.code);
    }
}

TEST(CudeTest, MoneyIsWholeCentsWithTwoDecimals)
{
    EXPECT_EQ(moneyText(0), "0.00");
    EXPECT_EQ(moneyText(5), "0.05");
    EXPECT_EQ(moneyText(178500000), "1785000.00");
    EXPECT_EQ(moneyText(-1050), "-10.50");
    // Stored doubles such as 0.1 + 0.2 still give whole cents.
    EXPECT_EQ(toCents(0.1 + 0.2), 30);
    EXPECT_EQ(toCents(11600.50), 1160050);
    EXPECT_EQ(toCents(-10.5), -1050);
}
