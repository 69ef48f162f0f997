#pragma once

#include <sys/types.h>

#include <functional>
#include <memory>
#include <string>

#include "app/platform/element.hpp"

namespace corvane::compositor {

// An application (a process, and the window that made it frontmost) or a
// window (the plugin's id, which stays the same for the window's life).
struct CompositorElement final : ElementRef {
    enum class Kind { application, window };
    Kind kind = Kind::application;
    pid_t pid = 0;
    std::string window;

    static Element application(pid_t pid, std::string window) {
        auto e = std::make_shared<CompositorElement>();
        e->pid = pid;
        e->window = std::move(window);
        return Element(std::move(e));
    }
    static Element windowOf(pid_t pid, std::string window) {
        auto e = std::make_shared<CompositorElement>();
        e->kind = Kind::window;
        e->pid = pid;
        e->window = std::move(window);
        return Element(std::move(e));
    }

    std::size_t hash() const override {
        return kind == Kind::window ? std::hash<std::string>{}(window) : std::hash<pid_t>{}(pid);
    }
    bool equals(const ElementRef& other) const override {
        const auto* o = dynamic_cast<const CompositorElement*>(&other);
        if (!o || o->kind != kind) return false;
        return kind == Kind::window ? o->window == window : o->pid == pid && o->window == window;
    }
};

}  // namespace corvane::compositor
