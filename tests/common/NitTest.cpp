// The DIAN check digit printed beside every NIT: on the invoices, in the electronic document and
// on the business a new installation records.
#include "common/Nit.h"

#include <gtest/gtest.h>

using namespace kv;

TEST(NitCheckDigit, MatchesTheDigitsTheDianGives)
{
    struct {
        qint64 nit;
        int dv;
    } cases[] = {
        {800197268, 4},     // the DIAN itself
        {900456789, 4},     // a company NIT of nine digits
        {222222222222, 7},  // the final consumer, twelve digits
        {1, 8},             // a remainder above one: 11 - r
        {4, 1},             // remainder 1 is the digit itself
        {0, 0},
    };
    for (auto c : cases)
        EXPECT_EQ(nitCheckDigit(c.nit), c.dv) << c.nit;
}
