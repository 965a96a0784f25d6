#pragma once
// Screens that the main window's dispatcher opens by program number but cannot include: they live
// in the catalogue, sales, orders and back-office folders, which come earlier in the build chain
// than the main window. Each of those folders registers an opener for its own screens at start-up
// and the dispatcher only looks the opener up here.
//
//     registerProgram(8, [] { TFrmProductos f(DMGeneral->DbPos); f.exec(); });
#include <functional>

namespace kv {

using ScreenOpener = std::function<void()>;

// Program numbers of the module tree (PROGRAMASPOS.PROGRAMA). An empty opener removes the entry.
void registerProgram(int number, ScreenOpener opener);
// The opener of a number, or an empty function when nothing was registered for it.
ScreenOpener programOpener(int number);

}  // namespace kv
