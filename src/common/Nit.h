#pragma once
// The identity of a Colombian third party: a NIT or cédula and its DIAN check digit (DV).
#include <QtGlobal>

namespace kv {

// The DIAN check digit of a NIT or cédula: the digits from the right weighted 3, 7, 13, 17, 19,
// 23, 29, 37, 41, 43, 47, 53, 59, 67, 71, the sum taken modulo 11; a remainder of 0 or 1 is the
// digit itself, any other r gives 11 - r.
int nitCheckDigit(qint64 nit);

}  // namespace kv
