#pragma once

#include <QRect>
#include <QSize>

namespace vantor::lc {

// Parts of the first column's cell in the details type, left to right: indent, state image,
// small icon, label. An absent image gives a part of width 0 at its place.
struct FirstCellParts {
    QRect state;
    QRect icon;   // exactly the image rectangle (vertically centred in the row)
    QRect label;  // rest of the cell, full row height
};

inline constexpr int kIconMargin = 2;       // gap before the small icon
inline constexpr int kFirstTextMargin = 3;  // text inset in the first column's label
inline constexpr int kTextMargin = 6;       // text inset in the other cells

// `smallImage` / `stateImage`: image sizes of the lists in use, empty when there is none.
// The indent is counted in small-image widths.
FirstCellParts LayOutFirstCell(const QRect& cell, int indent, QSize smallImage, QSize stateImage);

// Icon part of another cell when sub-item images are shown (width 0 without an image list).
QRect SubItemIconRect(const QRect& cell, QSize smallImage);

}  // namespace vantor::lc
