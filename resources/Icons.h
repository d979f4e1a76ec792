#pragma once

#include <QIcon>
#include <QString>

#include <array>

namespace vantor {

// Registers the program's artwork with Qt's resource system. The artwork lives in a static
// library, so its registration must be pulled in explicitly; the icon helpers below call this
// themselves, and calling it again does nothing.
void InitResources();

// Icon resource ids of the list's image lists, in image-index order (the first icon appears
// twice: index 1 is the picture of a device of unknown type, index 2 of a recognised one).
inline constexpr std::array<int, 7> kListImageIcons = {158, 158, 151, 147, 153, 155, 157};

// Resource path of a toolbar picture (by command id) or of an icon (by icon id); empty when
// there is none.
QString ToolbarIconPath(int commandId);
QString IconPath(int iconId);

// The toolbar picture of a command (32772, 32780-32783, 32814, 57664); a null icon for any other
// id. Each picture is drawn from its SVG at the size asked for, when it is first asked for.
QIcon ToolbarIcon(int commandId);
// Icon 128: the main window, the About box and the application.
QIcon AppIcon();
// One of the list icons (147, 151, 153, 155, 157, 158) or the application icon (128); null for
// any other id.
QIcon ListIcon(int iconId);

}  // namespace vantor
