#pragma once
// Screens that a window must open but cannot include. The main window's dispatcher opens the
// screens of the catalogue, sales, orders and back-office folders by program number, and a few
// menu entries open screens by name; those folders come earlier in the build chain than the main
// window, or later than a screen that opens them, so each folder registers an opener for its own
// screens at start-up and the caller only looks the opener up here.
//
//     registerProgram(8, [] { TFrmProductos f(DMGeneral->DbPos); f.exec(); });
//     registerScreen("TFrmUsuarios", [] { ... });
#include <QString>
#include <functional>

namespace kv {

using ScreenOpener = std::function<void()>;

// Program numbers of the module tree (PROGRAMASPOS.PROGRAMA). An empty opener removes the entry.
void registerProgram(int number, ScreenOpener opener);
// The opener of a number, or an empty function when nothing was registered for it.
ScreenOpener programOpener(int number);

// Screens reached by name (menu entries of the main window, buttons of other screens).
void registerScreen(const QString& name, ScreenOpener opener);
ScreenOpener screenOpener(const QString& name);
// Runs the named screen's opener; false when none is registered.
bool openScreen(const QString& name);

}  // namespace kv
