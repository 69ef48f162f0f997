#pragma once

#include <sys/types.h>

#include <cstdint>
#include <functional>
#include <memory>

#include "app/platform/element.hpp"

namespace corvane::i3ipc {

// An application (a process id) or a window (the window manager's container
// id, which stays the same for the window's life, and its process).
struct I3Element final : ElementRef {
    enum class Kind { application, window };
    Kind kind = Kind::application;
    pid_t pid = 0;
    std::int64_t container = 0;

    static Element application(pid_t pid) {
        auto e = std::make_shared<I3Element>();
        e->pid = pid;
        return Element(std::move(e));
    }
    static Element window(pid_t pid, std::int64_t container) {
        auto e = std::make_shared<I3Element>();
        e->kind = Kind::window;
        e->pid = pid;
        e->container = container;
        return Element(std::move(e));
    }

    std::size_t hash() const override {
        return kind == Kind::window ? std::hash<std::int64_t>{}(container) : std::hash<pid_t>{}(pid);
    }
    bool equals(const ElementRef& other) const override {
        const auto* o = dynamic_cast<const I3Element*>(&other);
        if (!o || o->kind != kind) return false;
        return kind == Kind::window ? o->container == container : o->pid == pid;
    }
};

}  // namespace corvane::i3ipc
