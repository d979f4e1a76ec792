#pragma once

namespace vantor::lc {

// Has Qt describe the details view to screen readers with this library's accessible table
// (ListAccessibility.cpp) instead of its own tree: Qt's keeps every cell object it makes for as
// long as the program runs, so a list that is emptied and filled again by each search grew with
// every search while a screen reader was on. Installing again changes nothing.
void InstallListAccessibility();

}  // namespace vantor::lc
