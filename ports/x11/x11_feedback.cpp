#include "ports/x11/x11_feedback.hpp"

#include <cstdio>
#include <string>

namespace corvane::x11 {

X11Feedback::X11Feedback(Connection& connection) : connection_(connection) {}

void X11Feedback::beep() {
    xcb_bell(connection_.xcb(), 0);
    connection_.flush();
}

void X11Feedback::log(std::string_view message) {
    std::string line = "corvane: ";
    line.append(message);
    line.push_back('\n');
    std::fwrite(line.data(), 1, line.size(), stderr);
    std::fflush(stderr);
}

}  // namespace corvane::x11
