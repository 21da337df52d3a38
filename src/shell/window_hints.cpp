#include "shell/window_hints.h"

#include <QGuiApplication>
#include <QWidget>
#include <QtGui/qguiapplication_platform.h>

#ifdef TREVALON_HAVE_XCB
#include <xcb/xcb.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>
#endif

namespace trevalon::shell {

#ifdef TREVALON_HAVE_XCB
namespace {

xcb_atom_t Atom(xcb_connection_t* connection, const char* name) {
    const xcb_intern_atom_cookie_t cookie =
        xcb_intern_atom(connection, 0, static_cast<uint16_t>(std::strlen(name)), name);
    xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(connection, cookie, nullptr);
    const xcb_atom_t atom = reply != nullptr ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
    std::free(reply);
    return atom;
}

xcb_connection_t* X11Connection() {
    auto* x11 = qApp->nativeInterface<QNativeInterface::QX11Application>();
    return x11 != nullptr ? x11->connection() : nullptr;
}

}  // namespace
#endif

void KeepOffTaskBar(QWidget& window) {
#ifdef TREVALON_HAVE_XCB
    xcb_connection_t* connection = X11Connection();
    if (connection == nullptr) return;
    const auto id = static_cast<xcb_window_t>(window.winId());

    // An unmapped window may carry _NET_WM_STATE itself; the window manager
    // reads it when the window is mapped. Keep whatever states are there.
    const xcb_atom_t state = Atom(connection, "_NET_WM_STATE");
    const xcb_atom_t skip = Atom(connection, "_NET_WM_STATE_SKIP_TASKBAR");
    std::vector<xcb_atom_t> states;
    xcb_get_property_reply_t* reply = xcb_get_property_reply(
        connection, xcb_get_property(connection, 0, id, state, XCB_ATOM_ATOM, 0, 64), nullptr);
    if (reply != nullptr && reply->format == 32) {
        const auto* atoms = static_cast<const xcb_atom_t*>(xcb_get_property_value(reply));
        states.assign(atoms, atoms + xcb_get_property_value_length(reply) / 4);
    }
    std::free(reply);
    if (std::find(states.begin(), states.end(), skip) == states.end()) states.push_back(skip);
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, id, state, XCB_ATOM_ATOM, 32,
                        static_cast<uint32_t>(states.size()), states.data());
    xcb_flush(connection);
#else
    (void)window;
#endif
}

void KeepWithoutIcon(QWidget& window) {
#ifdef TREVALON_HAVE_XCB
    xcb_connection_t* connection = X11Connection();
    if (connection == nullptr) return;
    const auto id = static_cast<xcb_window_t>(window.winId());
    xcb_query_tree_reply_t* tree =
        xcb_query_tree_reply(connection, xcb_query_tree(connection, id), nullptr);
    if (tree == nullptr) return;
    // Transient for the root is transient for the program's group (ICCCM 4.1.2.6).
    const xcb_window_t root = tree->root;
    std::free(tree);
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, id, XCB_ATOM_WM_TRANSIENT_FOR,
                        XCB_ATOM_WINDOW, 32, 1, &root);
    xcb_delete_property(connection, id, Atom(connection, "_NET_WM_ICON"));
    xcb_flush(connection);
#else
    (void)window;
#endif
}

}  // namespace trevalon::shell
