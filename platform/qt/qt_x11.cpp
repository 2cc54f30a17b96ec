#include "qt_x11.h"

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <thread>
#include <vector>

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

xcb_window_t Root(xcb_connection_t* c)
{
    const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
    return screen ? screen->root : 0;
}

xcb_atom_t Atom(xcb_connection_t* c, const char* name)
{
    xcb_intern_atom_reply_t* reply =
        xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, std::uint16_t(std::strlen(name)), name), nullptr);
    if (!reply)
        return XCB_ATOM_NONE;
    const xcb_atom_t atom = reply->atom;
    std::free(reply);
    return atom;
}

// The 32-bit values of a window's property, empty when it has none.
std::vector<std::uint32_t> Cardinals(xcb_connection_t* c, xcb_window_t w, const char* name, xcb_atom_t type)
{
    std::vector<std::uint32_t> values;
    const xcb_atom_t atom = Atom(c, name);
    if (atom == XCB_ATOM_NONE)
        return values;
    xcb_get_property_reply_t* reply = xcb_get_property_reply(c, xcb_get_property(c, 0, w, atom, type, 0, 16), nullptr);
    if (!reply)
        return values;
    if (reply->format == 32) {
        const auto* data = static_cast<const std::uint32_t*>(xcb_get_property_value(reply));
        values.assign(data, data + xcb_get_property_value_length(reply) / 4);
    }
    std::free(reply);
    return values;
}

}  // namespace

namespace X11 {

bool WindowManagerRunning()
{
    xcb_connection_t* c = Connection();
    return c && !Cardinals(c, Root(c), "_NET_SUPPORTING_WM_CHECK", XCB_ATOM_WINDOW).empty();
}

bool Managed(QWidget* window)
{
    xcb_connection_t* c = Connection();
    const xcb_window_t w = Native(window);
    if (!c || !w)
        return false;
    const xcb_atom_t state = Atom(c, "WM_STATE");
    return state != XCB_ATOM_NONE && !Cardinals(c, w, "WM_STATE", state).empty();
}

std::optional<QMargins> FrameExtents(QWidget* window)
{
    xcb_connection_t* c = Connection();
    const xcb_window_t w = Native(window);
    if (!c || !w)
        return std::nullopt;
    const std::vector<std::uint32_t> v = Cardinals(c, w, "_NET_FRAME_EXTENTS", XCB_ATOM_CARDINAL);
    if (v.size() < 4)
        return std::nullopt;
    // Left, right, top, bottom.
    return QMargins(int(v[0]), int(v[2]), int(v[1]), int(v[3]));
}

std::optional<QMargins> AskFrameExtents(QWidget* window)
{
    xcb_connection_t* c = Connection();
    if (!c || !window)
        return std::nullopt;
    window->winId();
    const xcb_window_t w = Native(window);
    if (!w)
        return std::nullopt;
    xcb_client_message_event_t message{};
    message.response_type = XCB_CLIENT_MESSAGE;
    message.format = 32;
    message.window = w;
    message.type = Atom(c, "_NET_REQUEST_FRAME_EXTENTS");
    xcb_send_event(c, 0, Root(c), XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY | XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT,
                   reinterpret_cast<const char*>(&message));
    xcb_flush(c);
    // The window manager answers by setting the property, at once as a rule.
    for (int i = 0; i < 50; ++i) {
        if (std::optional<QMargins> m = FrameExtents(window))
            return m;
        std::this_thread::sleep_for(std::chrono::milliseconds(4));
    }
    return std::nullopt;
}

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
    xcb_query_pointer_reply_t* reply = xcb_query_pointer_reply(c, xcb_query_pointer(c, Root(c)), nullptr);
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
