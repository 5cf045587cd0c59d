#include "frame/KeyboardLocks.h"

#include <QGuiApplication>

#if QT_CONFIG(xcb)
#include <xcb/xcb.h>
#endif

KeyboardLocks KeyboardLocks::read() {
#if QT_CONFIG(xcb)
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    xcb_connection_t* connection = x11 ? x11->connection() : nullptr;
    if (!connection)
        return {};
    xcb_get_keyboard_control_reply_t* reply =
        xcb_get_keyboard_control_reply(connection, xcb_get_keyboard_control(connection), nullptr);
    if (!reply)
        return {};
    // The X keyboard's indicators: 1 is Caps Lock, 2 is Num Lock.
    KeyboardLocks locks{(reply->led_mask & 1u) != 0, (reply->led_mask & 2u) != 0};
    free(reply);
    return locks;
#else
    return {};
#endif
}
