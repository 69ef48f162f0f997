#pragma once

#include <sys/types.h>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>

#include <xcb/xcb.h>

#include "app/platform/element.hpp"

namespace corvane::x11 {

// What this port puts behind an Element: an application or one of its
// top-level client windows (the window the window manager lists in
// _NET_CLIENT_LIST, not its frame). An application is its process id where
// one is known; `window` is the window that made it frontmost, which stands
// for an application whose process nobody names (pid 0).
struct X11Element final : ElementRef {
    enum class Kind { application, window };
    Kind kind = Kind::window;
    pid_t pid = 0;
    xcb_window_t window = XCB_WINDOW_NONE;

    std::size_t hash() const override {
        if (kind == Kind::application && pid != 0) return std::hash<pid_t>{}(pid);
        return std::hash<xcb_window_t>{}(window);
    }
    bool equals(const ElementRef& other) const override {
        const auto* o = dynamic_cast<const X11Element*>(&other);
        if (!o || o->kind != kind) return false;
        if (kind == Kind::application && (pid != 0 || o->pid != 0)) return o->pid == pid;
        return o->window == window;
    }

    static Element application(pid_t pid, xcb_window_t window = XCB_WINDOW_NONE) {
        auto e = std::make_shared<X11Element>();
        e->kind = Kind::application;
        e->pid = pid;
        e->window = window;
        return Element(std::move(e));
    }
    static Element ofWindow(pid_t pid, xcb_window_t window) {
        auto e = std::make_shared<X11Element>();
        e->pid = pid;
        e->window = window;
        return Element(std::move(e));
    }
};

}  // namespace corvane::x11
