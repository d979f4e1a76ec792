#include "platform/DialogUnits.h"

#include <QFontMetrics>
#include <QLatin1String>

#include <algorithm>
#include <cstdint>

namespace vantor {
namespace {

// a * b / c rounded to the nearest integer, halves away from zero, without overflow.
int MulDiv(int a, int b, int c)
{
    const std::int64_t product = static_cast<std::int64_t>(a) * b;
    const std::int64_t half = c / 2;
    const std::int64_t rounded = product >= 0 ? (product + half) / c : (product - half) / c;
    return static_cast<int>(rounded);
}

}  // namespace

DialogUnits::DialogUnits(const QFont& font)
{
    const QFontMetrics metrics(font);
    // Average width over the 52 letters, rounded: (width / 26 + 1) / 2.
    const int letters =
        metrics.horizontalAdvance(QLatin1String("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    m_baseX = std::max(1, (letters / 26 + 1) / 2);
    m_baseY = std::max(1, metrics.height());
}

DialogUnits::DialogUnits(int baseX, int baseY)
    : m_baseX(std::max(1, baseX))
    , m_baseY(std::max(1, baseY))
{ }

int DialogUnits::ToPixelsX(int units) const
{
    return MulDiv(units, m_baseX, 4);
}

int DialogUnits::ToPixelsY(int units) const
{
    return MulDiv(units, m_baseY, 8);
}

QPoint DialogUnits::ToPixels(QPoint units) const
{
    return {ToPixelsX(units.x()), ToPixelsY(units.y())};
}

QSize DialogUnits::ToPixels(QSize units) const
{
    return {ToPixelsX(units.width()), ToPixelsY(units.height())};
}

QRect DialogUnits::ToPixels(const QRect& units) const
{
    // Both corners are converted, as a dialog template's rectangle is.
    const int left = ToPixelsX(units.x());
    const int top = ToPixelsY(units.y());
    const int right = ToPixelsX(units.x() + units.width());
    const int bottom = ToPixelsY(units.y() + units.height());
    return {left, top, right - left, bottom - top};
}

}  // namespace vantor
