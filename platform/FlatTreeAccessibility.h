#pragma once

class QTreeView;

namespace vantor {

// Has screen readers see `view`, a tree view whose rows have no children, through this layer's
// accessible table instead of Qt's tree. Qt's tree keeps every cell object it makes for as long
// as the program runs, so a list emptied and filled again by each search grew with every search
// while a screen reader was on; here a cell object lives as long as its row. Call it before
// anything asks for the view's accessible interface.
void UseFlatTreeAccessibility(QTreeView& view);

}  // namespace vantor
