#pragma once

#include <sys/types.h>
#include <cstddef>
#include <cstdint>
#include <memory>

#include "app/platform/element.hpp"

namespace corvane::fake {

// The fake port's element: an application (by pid) or a window (by id).
// `hashValue` is separate from identity so tests can make two different
// windows hash alike.
struct FakeElement final : ElementRef {
    enum class Kind { application, window };
    Kind kind = Kind::window;
    pid_t pid = 0;
    std::uint32_t windowId = 0;
    std::size_t hashValue = 0;

    std::size_t hash() const override { return hashValue; }
    bool equals(const ElementRef& other) const override {
        const auto* o = dynamic_cast<const FakeElement*>(&other);
        return o && o->kind == kind && o->pid == pid && o->windowId == windowId;
    }

    static Element application(pid_t pid) {
        auto e = std::make_shared<FakeElement>();
        e->kind = Kind::application;
        e->pid = pid;
        e->hashValue = static_cast<std::size_t>(pid) * 7919u;
        return Element(std::move(e));
    }
    static Element window(pid_t pid, std::uint32_t windowId, std::size_t hashValue) {
        auto e = std::make_shared<FakeElement>();
        e->pid = pid;
        e->windowId = windowId;
        e->hashValue = hashValue;
        return Element(std::move(e));
    }
};

}  // namespace corvane::fake
