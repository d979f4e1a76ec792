#pragma once

#include <QFont>
#include <QPoint>
#include <QRect>
#include <QSize>

namespace vantor {

// Converts dialog-template units to pixels for a dialog font: a horizontal unit is a quarter
// of the font's average character width, a vertical unit an eighth of its height.
class DialogUnits final {
public:
    explicit DialogUnits(const QFont& font);
    // For a given base (average character width, character height) in pixels.
    DialogUnits(int baseX, int baseY);

    int BaseX() const { return m_baseX; }
    int BaseY() const { return m_baseY; }

    int ToPixelsX(int units) const;
    int ToPixelsY(int units) const;
    QPoint ToPixels(QPoint units) const;
    QSize ToPixels(QSize units) const;
    QRect ToPixels(const QRect& units) const;

private:
    int m_baseX;
    int m_baseY;
};

}  // namespace vantor
