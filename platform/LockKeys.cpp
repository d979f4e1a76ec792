#include "platform/LockKeys.h"

#include <QGuiApplication>

#if defined(VANTOR_HAVE_XKB)
#include <QtGui/qguiapplication_platform.h>

#include <xcb/xcb.h>
// xkb.h names a struct member "explicit"; keep the keyword out of its way.
#define explicit explicit_
#include <xcb/xkb.h>
#undef explicit

#include <cstdlib>
#endif

namespace vantor {

LockKeyState LockKeysFromIndicatorBits(std::uint32_t bits)
{
    return LockKeyState{(bits & 0x1u) != 0, (bits & 0x2u) != 0, (bits & 0x4u) != 0};
}

std::optional<LockKeyState> ReadLockKeys()
{
#if defined(VANTOR_HAVE_XKB)
    auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance());
    if (app == nullptr || QGuiApplication::platformName() != QLatin1String("xcb"))
        return std::nullopt;
    auto* x11 = app->nativeInterface<QNativeInterface::QX11Application>();
    if (x11 == nullptr)
        return std::nullopt;
    xcb_connection_t* connection = x11->connection();
    if (connection == nullptr || xcb_connection_has_error(connection) != 0)
        return std::nullopt;

    xcb_generic_error_t* error = nullptr;
    const xcb_xkb_get_indicator_state_cookie_t cookie =
        xcb_xkb_get_indicator_state(connection, XCB_XKB_ID_USE_CORE_KBD);
    xcb_xkb_get_indicator_state_reply_t* reply = xcb_xkb_get_indicator_state_reply(connection, cookie, &error);
    std::free(error);
    if (reply == nullptr)
        return std::nullopt;
    const LockKeyState state = LockKeysFromIndicatorBits(reply->state);
    std::free(reply);
    return state;
#else
    return std::nullopt;
#endif
}

}  // namespace vantor
