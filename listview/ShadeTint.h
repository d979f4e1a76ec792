#pragma once

#include <QColor>

namespace vantor {

// Tint of a sorted column drawn over a list background: a near-white background (every channel
// above 240) gets slightly darker (each channel - 8); any other background gets lighter (each
// channel + channel / 10, and 232 or more becomes 255). The alpha channel is ignored; the tint
// is opaque.
QColor ShadeTint(const QColor& background);

// One channel (0-255) of the tint for a background that is not near-white.
constexpr int LightenedChannel(int channel)
{
    return channel >= 232 ? 255 : channel + channel / 10;
}

}  // namespace vantor
