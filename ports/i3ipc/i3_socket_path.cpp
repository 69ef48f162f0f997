#include "ports/i3ipc/i3_socket_path.hpp"

#include <xcb/xcb.h>

#include <cstdlib>
#include <memory>

namespace corvane::i3ipc {

namespace {

template <class T>
using Reply = std::unique_ptr<T, decltype(&std::free)>;

}  // namespace

std::optional<std::string> i3SocketOnDisplay(const std::string& displayName) {
    int screenNumber = 0;
    const std::unique_ptr<xcb_connection_t, decltype(&xcb_disconnect)> connection(
        xcb_connect(displayName.c_str(), &screenNumber), &xcb_disconnect);
    if (!connection || xcb_connection_has_error(connection.get())) return std::nullopt;
    xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(connection.get()));
    for (int i = 0; i < screenNumber && screens.rem; ++i) xcb_screen_next(&screens);
    if (!screens.rem) return std::nullopt;

    constexpr const char* kName = "I3_SOCKET_PATH";
    const Reply<xcb_intern_atom_reply_t> atom(
        xcb_intern_atom_reply(connection.get(), xcb_intern_atom(connection.get(), 1, 14, kName), nullptr),
        &std::free);
    if (!atom || atom->atom == XCB_ATOM_NONE) return std::nullopt;
    // A path longer than this is not one a socket can have anyway.
    const Reply<xcb_get_property_reply_t> property(
        xcb_get_property_reply(connection.get(),
                               xcb_get_property(connection.get(), 0, screens.data->root, atom->atom,
                                                XCB_GET_PROPERTY_TYPE_ANY, 0, 256),
                               nullptr),
        &std::free);
    if (!property || property->format != 8) return std::nullopt;
    const auto length = xcb_get_property_value_length(property.get());
    if (length <= 0) return std::nullopt;
    std::string path(static_cast<const char*>(xcb_get_property_value(property.get())),
                     static_cast<std::size_t>(length));
    // The property may carry a terminating NUL.
    if (const auto end = path.find('\0'); end != std::string::npos) path.resize(end);
    if (path.empty()) return std::nullopt;
    return path;
}

}  // namespace corvane::i3ipc
