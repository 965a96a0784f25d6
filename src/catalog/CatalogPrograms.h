#pragma once
// The module tree's program numbers that open catalogue screens: 1 branches, 2 cashiers,
// 3 registers, 4 invoice lines, 5 POS parameters, 6 restaurant tables, 7 waiters, 8 products.
// Each opens its screen modally on the program's POS database and frees it when it closes.

namespace kv {

// Registers the openers of programs 1 to 8. The program's start-up calls it once, after the
// general data module exists and before the main window dispatches.
void registerCatalogPrograms();

}  // namespace kv
