#include "listview/ShadeTint.h"

namespace vantor {

namespace {

constexpr int kNearWhite = 240;  // every channel above this: darken instead of lighten
constexpr int kDarkenStep = 8;

}  // namespace

QColor ShadeTint(const QColor& background)
{
    const QColor rgb = background.toRgb();
    const int red = rgb.red();
    const int green = rgb.green();
    const int blue = rgb.blue();
    if (red > kNearWhite && green > kNearWhite && blue > kNearWhite) {
        return QColor(red - kDarkenStep, green - kDarkenStep, blue - kDarkenStep);
    }
    return QColor(LightenedChannel(red), LightenedChannel(green), LightenedChannel(blue));
}

}  // namespace vantor
