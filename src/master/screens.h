#pragma once

namespace tarvik::master {

// Registers the screens of the master data commands with the main window's
// command catalogue (ScreenRegistry): materials, products, category trees,
// code lists, customers and suppliers.
void registerScreens();

} // namespace tarvik::master
