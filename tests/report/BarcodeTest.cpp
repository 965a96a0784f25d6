// EAN bars and check digits, against codes and patterns worked out by hand from the EAN tables.
#include "common/Errors.h"
#include "report/Barcode.h"

#include <gtest/gtest.h>

using namespace kv;

TEST(Ean, CheckDigits)
{
    const struct {
        const char* digits;
        int check;
    } cases[] = {{"750103131130", 9}, {"400638133393", 1}, {"123456789012", 8}, {"9638507", 4}, {"0000000", 0}};
    for (const auto& c : cases)
        EXPECT_EQ(eanCheckDigit(QString::fromLatin1(c.digits)), c.check) << c.digits;
    EXPECT_EQ(eanWithCheckDigit(QStringLiteral("9638507")), QStringLiteral("96385074"));
    EXPECT_THROW(eanCheckDigit(QStringLiteral("12345")), ConversionError);
    EXPECT_THROW(eanCheckDigit(QStringLiteral("75010313113A")), ConversionError);
}

TEST(Ean, Ean13PatternUsesTheFirstDigitsParity)
{
    // First digit 7: digits 2..7 in L G L G L G; the first digit itself is not drawn.
    const QString expected = QStringLiteral("x0x") + "0110001" "0100111" "0011001" "0100111" "0111101" "0110011" +
                             QStringLiteral("0x0x0") + "1000010" "1100110" "1100110" "1000010" "1110010" "1110100" +
                             QStringLiteral("x0x");
    EXPECT_EQ(eanPattern(QStringLiteral("7501031311309")), expected);
    EXPECT_EQ(expected.size(), 95);
    // The last digit is drawn as stored, even when it is not the right check digit.
    EXPECT_EQ(eanPattern(QStringLiteral("7501031311308")).right(10), QStringLiteral("1001000x0x"));
}

TEST(Ean, Ean8PatternAndCodesWithoutBars)
{
    const QString expected = QStringLiteral("x0x") + "0001011" "0101111" "0111101" "0110111" + QStringLiteral("0x0x0") +
                             "1001110" "1110010" "1000100" "1011100" + QStringLiteral("x0x");
    EXPECT_EQ(eanPattern(QStringLiteral("96385074")), expected);
    EXPECT_EQ(expected.size(), 67);
    for (const char* code : {"", "750103131130", "12345", "75010313113090"})
        EXPECT_EQ(eanPattern(QString::fromLatin1(code)), QString()) << code;
    EXPECT_THROW(eanPattern(QStringLiteral("9638507X")), ConversionError);
}

TEST(Ean, ImageDrawsOneModulePerColumnFromColumnEleven)
{
    const QImage img = eanImage(QStringLiteral("7501031311309"));
    ASSERT_EQ(img.size(), QSize(118, 41));
    auto black = [&](int x, int y) { return qGray(img.pixel(x, y)) < 128; };
    // Start guard: modules 0 and 2 are long bars (rows 5..34), module 1 a space.
    for (int y = 5; y <= 34; ++y) {
        EXPECT_TRUE(black(11, y)) << y;
        EXPECT_TRUE(black(13, y)) << y;
    }
    EXPECT_FALSE(black(11, 4));
    EXPECT_FALSE(black(12, 20));
    // Digit 2 (5 -> 0110001) begins at module 3: space, then a short bar ending at row 29.
    EXPECT_FALSE(black(14, 20));
    EXPECT_TRUE(black(15, 5));
    EXPECT_TRUE(black(15, 29));
    EXPECT_FALSE(black(15, 4));
    // Last module (94, a guard bar) is column 105; nothing is drawn to its right.
    EXPECT_TRUE(black(105, 34));
    for (int x = 106; x < 118; ++x)
        EXPECT_FALSE(black(x, 20)) << x;
    // A code that is not EAN leaves the image white.
    const QImage blank = eanImage(QStringLiteral("123"));
    EXPECT_EQ(blank, [] {
        QImage w(118, 41, QImage::Format_RGB32);
        w.fill(Qt::white);
        return w;
    }());
}
