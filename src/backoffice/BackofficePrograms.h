#pragma once
// The module tree's program numbers that open back-office screens: 11 the sales reports menu,
// 12 the accounting posting of a day's sales, 13 the shelf labels, 20 the electronic documents and
// their trip to the DIAN, 21 the trail of voids, corrections, reprints and sign-ons, 22 the owner's
// dashboard of charts.

namespace kv {

// Registers their openers. The program's start-up calls it once, after the general data module
// exists and before the main window dispatches.
void registerBackofficePrograms();

}  // namespace kv
