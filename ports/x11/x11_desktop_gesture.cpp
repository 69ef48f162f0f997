#include "ports/x11/x11_desktop_gesture.hpp"

namespace corvane::x11 {

namespace {

class Session final : public DesktopGestureSession {
public:
    explicit Session(Connection& connection) : connection_(connection) {}

    // The window manager ignores a request it cannot grant; the caller sees
    // that as no new desktop.
    void requestDesktop(const Rect&) override {
        connection_.settle();
        xcb_ewmh_connection_t* ewmh = connection_.ewmh();
        const int screen = connection_.screenNumber();
        std::uint32_t count = 0;
        if (!xcb_ewmh_get_number_of_desktops_reply(
                ewmh, awaiting(ewmh->connection, xcb_ewmh_get_number_of_desktops(ewmh, screen)), &count,
                nullptr))
            return;
        // EWMH addresses this message to the root window; xcb-ewmh's own
        // helper leaves the window empty, which openbox ignores.
        const std::uint32_t wanted = count + 1;
        xcb_ewmh_send_client_message(connection_.xcb(), connection_.root(), connection_.root(),
                                     ewmh->_NET_NUMBER_OF_DESKTOPS, sizeof wanted, &wanted);
        connection_.flush();
    }
    void dismiss() override {}

private:
    Connection& connection_;
};

}  // namespace

X11DesktopGesture::X11DesktopGesture(Connection& connection) : connection_(connection) {}

std::unique_ptr<DesktopGestureSession> X11DesktopGesture::begin() {
    return std::make_unique<Session>(connection_);
}

}  // namespace corvane::x11
