#include "WindowMove.h"

#include <QGuiApplication>
#include <QWidget>
#include <QWindow>

#ifdef GLIMMET_HAVE_XCB
#include <xcb/xcb.h>

#include <dlfcn.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <optional>
#endif

namespace platform_detail {

namespace {

#ifdef GLIMMET_HAVE_XCB
// The X protocol library's calls, taken from the copy that the toolkit's X11
// backend has already loaded. Linking the library would load it, and bind
// its symbols, at every start, on any window system, for the one command
// that needs it.
struct XcbCalls {
    decltype(&xcb_intern_atom) internAtom;
    decltype(&xcb_intern_atom_reply) internAtomReply;
    decltype(&xcb_get_setup) getSetup;
    decltype(&xcb_setup_roots_iterator) setupRootsIterator;
    decltype(&xcb_send_event) sendEvent;
    decltype(&xcb_flush) flush;
};

// The calls, or nothing when the library is not loaded (no X11 session).
std::optional<XcbCalls> LoadedXcb() {
    void* library = dlopen("libxcb.so.1", RTLD_LAZY | RTLD_NOLOAD);
    if (!library)
        return std::nullopt;
    const auto call = [library]<typename Fn>(Fn& fn, const char* name) {
        fn = reinterpret_cast<Fn>(dlsym(library, name));
        return fn != nullptr;
    };
    XcbCalls xcb;
    const bool all = call(xcb.internAtom, "xcb_intern_atom") &&
                     call(xcb.internAtomReply, "xcb_intern_atom_reply") &&
                     call(xcb.getSetup, "xcb_get_setup") &&
                     call(xcb.setupRootsIterator, "xcb_setup_roots_iterator") &&
                     call(xcb.sendEvent, "xcb_send_event") && call(xcb.flush, "xcb_flush");
    // The toolkit keeps the library loaded as long as the connection lives.
    dlclose(library);
    return all ? std::optional(xcb) : std::nullopt;
}

// Asks an X11 window manager to move the window with the keyboard, as the
// Move item of a window menu does: the arrow keys move it, Return or a click
// ends the move, Esc puts it back. False if this is no X11 session.
bool StartKeyboardMoveOnX11(QWindow* window) {
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (!x11 || !x11->connection())
        return false;
    const std::optional<XcbCalls> xcb = LoadedXcb();
    if (!xcb)
        return false;
    xcb_connection_t* connection = x11->connection();

    constexpr char kMoveResize[] = "_NET_WM_MOVERESIZE";
    const xcb_intern_atom_cookie_t cookie =
        xcb->internAtom(connection, 1, sizeof kMoveResize - 1, kMoveResize);
    xcb_intern_atom_reply_t* atom = xcb->internAtomReply(connection, cookie, nullptr);
    if (!atom)
        return false;
    if (atom->atom == XCB_ATOM_NONE) {
        std::free(atom);
        return false; // no window manager that understands the request
    }

    const QPoint at = window->mapToGlobal(QPoint(window->width() / 2, window->height() / 2));
    xcb_client_message_event_t message;
    std::memset(&message, 0, sizeof message);
    message.response_type = XCB_CLIENT_MESSAGE;
    message.format = 32;
    message.window = static_cast<xcb_window_t>(window->winId());
    message.type = atom->atom;
    message.data.data32[0] = static_cast<std::uint32_t>(at.x());
    message.data.data32[1] = static_cast<std::uint32_t>(at.y());
    message.data.data32[2] = 10; // _NET_WM_MOVERESIZE_MOVE_KEYBOARD
    message.data.data32[3] = 0;  // no button
    message.data.data32[4] = 1;  // asked for by an ordinary application
    std::free(atom);

    const xcb_window_t root = xcb->setupRootsIterator(xcb->getSetup(connection)).data->root;
    xcb->sendEvent(connection, 0, root,
                   XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char*>(&message));
    xcb->flush(connection);
    return true;
}
#endif

} // namespace

void StartWindowMove(QWidget* widget) {
    QWindow* window = widget ? widget->windowHandle() : nullptr;
    if (!window)
        return;
#ifdef GLIMMET_HAVE_XCB
    if (StartKeyboardMoveOnX11(window))
        return;
#endif
    // Elsewhere the window system's own move, which follows the pointer.
    window->startSystemMove();
}

} // namespace platform_detail
