#include "tests/x11/test_client.hpp"

#include <poll.h>
#include <unistd.h>
#include <cstdlib>
#include <cstring>
#include <stdexcept>

#include <xcb/xcb_keysyms.h>
#include <xcb/xtest.h>

namespace corvane::x11::test {

namespace {

template <class T>
struct Freed {
    T* p;
    ~Freed() { std::free(p); }
    T* operator->() const { return p; }
    explicit operator bool() const { return p != nullptr; }
};

}  // namespace

TestClient::TestClient(const std::string& display) : c_(xcb_connect(display.c_str(), nullptr)) {
    if (xcb_connection_has_error(c_)) throw std::runtime_error("cannot connect to " + display);
    root_ = xcb_setup_roots_iterator(xcb_get_setup(c_)).data->root;
    const std::uint32_t mask = XCB_EVENT_MASK_PROPERTY_CHANGE;
    xcb_change_window_attributes(c_, root_, XCB_CW_EVENT_MASK, &mask);
    xcb_flush(c_);
}

TestClient::~TestClient() {
    xcb_disconnect(c_);
}

xcb_atom_t TestClient::atom(const std::string& name) {
    Freed<xcb_intern_atom_reply_t> r{
        xcb_intern_atom_reply(c_, xcb_intern_atom(c_, 0, name.size(), name.c_str()), nullptr)};
    return r ? r->atom : xcb_atom_t{XCB_ATOM_NONE};
}

std::optional<std::uint32_t> TestClient::cardinal(xcb_window_t window, const std::string& property) {
    Freed<xcb_get_property_reply_t> r{xcb_get_property_reply(
        c_, xcb_get_property(c_, 0, window, atom(property), XCB_ATOM_ANY, 0, 1), nullptr)};
    if (!r || r->format != 32 || xcb_get_property_value_length(r.p) < 4) return std::nullopt;
    return *static_cast<std::uint32_t*>(xcb_get_property_value(r.p));
}

xcb_window_t TestClient::createWindow(int x, int y, int width, int height, const std::string& wmClass) {
    const xcb_window_t w = xcb_generate_id(c_);
    const std::uint32_t values[] = {XCB_EVENT_MASK_PROPERTY_CHANGE | XCB_EVENT_MASK_STRUCTURE_NOTIFY};
    xcb_create_window(c_, XCB_COPY_FROM_PARENT, w, root_, static_cast<std::int16_t>(x),
                      static_cast<std::int16_t>(y), static_cast<std::uint16_t>(width),
                      static_cast<std::uint16_t>(height), 0, XCB_WINDOW_CLASS_INPUT_OUTPUT,
                      XCB_COPY_FROM_PARENT, XCB_CW_EVENT_MASK, values);
    const std::uint32_t pid = static_cast<std::uint32_t>(getpid());
    xcb_change_property(c_, XCB_PROP_MODE_REPLACE, w, atom("_NET_WM_PID"), XCB_ATOM_CARDINAL, 32, 1, &pid);
    // WM_CLASS is instance and class, each NUL-terminated.
    const std::string classes = wmClass + '\0' + wmClass + '\0';
    xcb_change_property(c_, XCB_PROP_MODE_REPLACE, w, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING, 8, classes.size(),
                        classes.data());
    // Program-specified position, so that the window manager keeps it.
    std::uint32_t hints[18] = {};
    hints[0] = 4 | 8;  // PPosition | PSize
    hints[1] = static_cast<std::uint32_t>(x);
    hints[2] = static_cast<std::uint32_t>(y);
    hints[3] = static_cast<std::uint32_t>(width);
    hints[4] = static_cast<std::uint32_t>(height);
    xcb_change_property(c_, XCB_PROP_MODE_REPLACE, w, XCB_ATOM_WM_NORMAL_HINTS, XCB_ATOM_WM_SIZE_HINTS, 32,
                        18, hints);
    return mapAndWait(w);
}

xcb_window_t TestClient::createDock(int x, int y, int width, int height,
                                    const std::vector<std::uint32_t>& strut) {
    const xcb_window_t w = xcb_generate_id(c_);
    const std::uint32_t values[] = {XCB_EVENT_MASK_PROPERTY_CHANGE | XCB_EVENT_MASK_STRUCTURE_NOTIFY};
    xcb_create_window(c_, XCB_COPY_FROM_PARENT, w, root_, static_cast<std::int16_t>(x),
                      static_cast<std::int16_t>(y), static_cast<std::uint16_t>(width),
                      static_cast<std::uint16_t>(height), 0, XCB_WINDOW_CLASS_INPUT_OUTPUT,
                      XCB_COPY_FROM_PARENT, XCB_CW_EVENT_MASK, values);
    const xcb_atom_t dock = atom("_NET_WM_WINDOW_TYPE_DOCK");
    xcb_change_property(c_, XCB_PROP_MODE_REPLACE, w, atom("_NET_WM_WINDOW_TYPE"), XCB_ATOM_ATOM, 32, 1,
                        &dock);
    xcb_change_property(c_, XCB_PROP_MODE_REPLACE, w, atom("_NET_WM_STRUT_PARTIAL"), XCB_ATOM_CARDINAL, 32,
                        strut.size(), strut.data());
    return mapAndWait(w);
}

// Managed means listed by the window manager and mapped inside its frame.
xcb_window_t TestClient::mapAndWait(xcb_window_t w) {
    xcb_map_window(c_, w);
    xcb_flush(c_);
    const xcb_atom_t clientList = atom("_NET_CLIENT_LIST");
    const bool managed = waitUntil([&] {
        Freed<xcb_get_window_attributes_reply_t> attributes{
            xcb_get_window_attributes_reply(c_, xcb_get_window_attributes(c_, w), nullptr)};
        if (!attributes || attributes->map_state != XCB_MAP_STATE_VIEWABLE) return false;
        Freed<xcb_get_property_reply_t> list{xcb_get_property_reply(
            c_, xcb_get_property(c_, 0, root_, clientList, XCB_ATOM_WINDOW, 0, 4096), nullptr)};
        if (!list) return false;
        const auto* windows = static_cast<xcb_window_t*>(xcb_get_property_value(list.p));
        const int count = xcb_get_property_value_length(list.p) / 4;
        for (int i = 0; i < count; ++i)
            if (windows[i] == w) return true;
        return false;
    });
    if (!managed) {
        Freed<xcb_get_window_attributes_reply_t> attributes{
            xcb_get_window_attributes_reply(c_, xcb_get_window_attributes(c_, w), nullptr)};
        Freed<xcb_query_tree_reply_t> tree{xcb_query_tree_reply(c_, xcb_query_tree(c_, w), nullptr)};
        throw std::runtime_error("the window manager did not manage a test window (map state " +
                                 std::to_string(attributes ? attributes->map_state : -1) +
                                 ", parent is root: " + std::to_string(tree && tree->parent == root_) + ")");
    }
    return w;
}

bool TestClient::grabKey(xcb_keycode_t keycode, std::uint16_t modifiers) {
    auto cookie =
        xcb_grab_key_checked(c_, 0, root_, modifiers, keycode, XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC);
    Freed<xcb_generic_error_t> error{xcb_request_check(c_, cookie)};
    return !error;
}

void TestClient::ungrabKey(xcb_keycode_t keycode, std::uint16_t modifiers) {
    xcb_ungrab_key(c_, keycode, root_, modifiers);
    Freed<xcb_get_input_focus_reply_t> sync{xcb_get_input_focus_reply(c_, xcb_get_input_focus(c_), nullptr)};
}

xcb_keycode_t TestClient::keycodeOf(std::uint32_t keysym) {
    xcb_key_symbols_t* symbols = xcb_key_symbols_alloc(c_);
    xcb_keycode_t result = 0;
    const xcb_setup_t* setup = xcb_get_setup(c_);
    for (unsigned code = setup->min_keycode; code <= setup->max_keycode && result == 0; ++code)
        if (xcb_key_symbols_get_keysym(symbols, static_cast<xcb_keycode_t>(code), 0) == keysym)
            result = static_cast<xcb_keycode_t>(code);
    xcb_key_symbols_free(symbols);
    return result;
}

void TestClient::typeCombination(const std::vector<std::uint32_t>& modifierKeysyms, std::uint32_t keysym) {
    auto fake = [&](std::uint8_t type, std::uint32_t sym) {
        xcb_test_fake_input(c_, type, keycodeOf(sym), XCB_CURRENT_TIME, root_, 0, 0, 0);
    };
    for (auto m : modifierKeysyms) fake(XCB_KEY_PRESS, m);
    fake(XCB_KEY_PRESS, keysym);
    fake(XCB_KEY_RELEASE, keysym);
    for (auto it = modifierKeysyms.rbegin(); it != modifierKeysyms.rend(); ++it) fake(XCB_KEY_RELEASE, *it);
    Freed<xcb_get_input_focus_reply_t> sync{xcb_get_input_focus_reply(c_, xcb_get_input_focus(c_), nullptr)};
}

void TestClient::tap(std::uint32_t keysym) {
    typeCombination({}, keysym);
}

void TestClient::drain(xcb_generic_event_t* event) {
    if (observer_) observer_(*event);
    std::free(event);
}

bool TestClient::waitUntil(const std::function<bool()>& condition, int alsoWatch,
                           std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        while (auto* e = xcb_poll_for_event(c_)) drain(e);
        if (condition()) return true;
        // The condition's own round trips may have queued events already.
        if (auto* queued = xcb_poll_for_queued_event(c_)) {
            drain(queued);
            continue;
        }
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) return false;
        pollfd fds[2] = {{xcb_get_file_descriptor(c_), POLLIN, 0}, {alsoWatch, POLLIN, 0}};
        poll(fds, alsoWatch >= 0 ? 2 : 1, static_cast<int>(left.count()));
    }
}

}  // namespace corvane::x11::test
