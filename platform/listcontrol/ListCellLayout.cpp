#include "platform/listcontrol/ListCellLayout.h"

#include <algorithm>

namespace vantor::lc {

FirstCellParts LayOutFirstCell(const QRect& cell, int indent, QSize smallImage, QSize stateImage)
{
    FirstCellParts parts;
    const int right = cell.left() + cell.width();  // one past the last pixel
    const int unit = smallImage.isEmpty() ? 0 : smallImage.width();
    // Indents are small (a few levels); the limit only keeps the arithmetic in range.
    int x = cell.left() + std::clamp(indent, 0, 1000) * unit;

    if (!stateImage.isEmpty()) {
        parts.state = QRect(x, cell.top(), stateImage.width(), cell.height());
        x += stateImage.width();
    } else {
        parts.state = QRect(x, cell.top(), 0, cell.height());
    }
    if (!smallImage.isEmpty()) {
        x += kIconMargin;
        parts.icon =
            QRect(x, cell.top() + (cell.height() - smallImage.height()) / 2, smallImage.width(), smallImage.height());
        x += smallImage.width();
    } else {
        parts.icon = QRect(x, cell.top(), 0, cell.height());
    }
    parts.label = QRect(x, cell.top(), std::max(0, right - x), cell.height());
    return parts;
}

QRect SubItemIconRect(const QRect& cell, QSize smallImage)
{
    if (smallImage.isEmpty())
        return QRect(cell.left(), cell.top(), 0, cell.height());
    return QRect(cell.left() + kIconMargin, cell.top() + (cell.height() - smallImage.height()) / 2, smallImage.width(),
                 smallImage.height());
}

}  // namespace vantor::lc
