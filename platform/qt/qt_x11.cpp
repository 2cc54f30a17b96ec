#include "qt_x11.h"

#include <cstdlib>

#include <QGuiApplication>
#include <QWidget>
#include <xcb/xcb.h>

namespace {

xcb_connection_t* Connection()
{
    auto* x11 = qApp ? qApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return x11 ? x11->connection() : nullptr;
}

xcb_window_t Native(QWidget* window)
{
    return window && window->testAttribute(Qt::WA_WState_Created) ? static_cast<xcb_window_t>(window->winId()) : 0;
}

}  // namespace

namespace X11 {

std::optional<QSize> ServerSize(QWidget* window)
{
    xcb_connection_t* c = Connection();
    const xcb_window_t w = Native(window);
    if (!c || !w)
        return std::nullopt;
    xcb_get_geometry_reply_t* reply = xcb_get_geometry_reply(c, xcb_get_geometry(c, w), nullptr);
    if (!reply)
        return std::nullopt;
    const QSize size(reply->width, reply->height);
    std::free(reply);
    return size;
}

bool ButtonsDown()
{
    xcb_connection_t* c = Connection();
    if (!c)
        return false;
    const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
    if (!screen)
        return false;
    xcb_query_pointer_reply_t* reply = xcb_query_pointer_reply(c, xcb_query_pointer(c, screen->root), nullptr);
    if (!reply)
        return false;
    constexpr unsigned buttons = XCB_KEY_BUT_MASK_BUTTON_1 | XCB_KEY_BUT_MASK_BUTTON_2 | XCB_KEY_BUT_MASK_BUTTON_3;
    const bool down = (reply->mask & buttons) != 0;
    std::free(reply);
    return down;
}

void RequestSize(QWidget* window, QSize size)
{
    xcb_connection_t* c = Connection();
    const xcb_window_t w = Native(window);
    if (!c || !w || size.isEmpty())
        return;
    const std::uint32_t values[] = {std::uint32_t(size.width()), std::uint32_t(size.height())};
    xcb_configure_window(c, w, XCB_CONFIG_WINDOW_WIDTH | XCB_CONFIG_WINDOW_HEIGHT, values);
    xcb_flush(c);
}

}  // namespace X11
