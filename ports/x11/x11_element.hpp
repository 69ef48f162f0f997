#pragma once

#include <sys/types.h>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>

#include <xcb/xcb.h>

#include "app/platform/element.hpp"

namespace corvane::x11 {

// What this port puts behind an Element: an application (a process id) or
// one of its top-level client windows (the window the window manager lists
// in _NET_CLIENT_LIST, not its frame).
struct X11Element final : ElementRef {
    enum class Kind { application, window };
    Kind kind = Kind::window;
    pid_t pid = 0;
    xcb_window_t window = XCB_WINDOW_NONE;

    std::size_t hash() const override {
        return kind == Kind::application ? std::hash<pid_t>{}(pid) : std::hash<xcb_window_t>{}(window);
    }
    bool equals(const ElementRef& other) const override {
        const auto* o = dynamic_cast<const X11Element*>(&other);
        if (!o || o->kind != kind) return false;
        return kind == Kind::application ? o->pid == pid : o->window == window;
    }

    static Element application(pid_t pid) {
        auto e = std::make_shared<X11Element>();
        e->kind = Kind::application;
        e->pid = pid;
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
