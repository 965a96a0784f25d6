#pragma once
// The sale screens of the other cashier levels, registered with the sign-on at start-up:
// "2" the restaurant ("Ventas"), "R" "Caja Dos", "8" "Caja Tres".
namespace kv {

void registerVariantScreens();

}  // namespace kv
