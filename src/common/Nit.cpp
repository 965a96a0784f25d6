#include "common/Nit.h"

namespace kv {

int nitCheckDigit(qint64 nit)
{
    static const int weights[] = {3, 7, 13, 17, 19, 23, 29, 37, 41, 43, 47, 53, 59, 67, 71};
    int sum = 0;
    for (int i = 0; nit > 0 && i < 15; ++i, nit /= 10)
        sum += int(nit % 10) * weights[i];
    const int r = sum % 11;
    return r > 1 ? 11 - r : r;
}

}  // namespace kv
