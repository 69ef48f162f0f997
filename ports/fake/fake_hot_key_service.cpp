#include "ports/fake/fake_hot_key_service.hpp"

#include <algorithm>
#include <string>

namespace corvane::fake {

FakeHotKeyService::FakeHotKeyService(FakeCallLog& log) : log_(log) {}

std::optional<HotKeyService::Reference> FakeHotKeyService::registerHotKey(std::uint32_t keyCode,
                                                                          std::uint32_t modifiers,
                                                                          HotKeyID identity) {
    log_.record("registerHotKey " + std::to_string(keyCode) + " " + std::to_string(modifiers) + " " +
                std::to_string(identity.id));
    std::lock_guard lock(mutex_);
    if (refused_.count({keyCode, modifiers})) return std::nullopt;
    const Reference reference = nextReference_++;
    registrations_.push_back({reference, keyCode, modifiers, identity});
    return reference;
}

void FakeHotKeyService::unregisterHotKey(Reference reference) {
    log_.record("unregisterHotKey " + std::to_string(reference));
    std::lock_guard lock(mutex_);
    std::erase_if(registrations_, [&](const Registration& r) { return r.reference == reference; });
}

void FakeHotKeyService::installPressHandler(PressHandler handler) {
    log_.record("installPressHandler");
    std::lock_guard lock(mutex_);
    handler_ = std::move(handler);
    ++handlersInstalled_;
}

void FakeHotKeyService::installChangeHandler(ChangeHandler handler) {
    std::lock_guard lock(mutex_);
    changeHandler_ = std::move(handler);
}

bool FakeHotKeyService::isActive(Reference reference) const {
    std::lock_guard lock(mutex_);
    return std::any_of(registrations_.begin(), registrations_.end(), [&](const Registration& r) {
        return r.reference == reference && !outOfForce_.count({r.keyCode, r.modifiers});
    });
}

void FakeHotKeyService::setInForce(std::uint32_t keyCode, std::uint32_t modifiers, bool inForce) {
    {
        std::lock_guard lock(mutex_);
        if (inForce)
            outOfForce_.erase({keyCode, modifiers});
        else
            outOfForce_.insert({keyCode, modifiers});
    }
    announce(Change::keyboard);
}

void FakeHotKeyService::announce(Change change) {
    ChangeHandler handler;
    {
        std::lock_guard lock(mutex_);
        handler = changeHandler_;
    }
    // Without the lock: the handler registers and unregisters.
    if (handler) handler(change);
}

void FakeHotKeyService::refuse(std::uint32_t keyCode, std::uint32_t modifiers) {
    std::lock_guard lock(mutex_);
    refused_.insert({keyCode, modifiers});
}

void FakeHotKeyService::allow(std::uint32_t keyCode, std::uint32_t modifiers) {
    std::lock_guard lock(mutex_);
    refused_.erase({keyCode, modifiers});
}

std::vector<FakeHotKeyService::Registration> FakeHotKeyService::registrations() const {
    std::lock_guard lock(mutex_);
    return registrations_;
}

bool FakeHotKeyService::isRegistered(std::uint32_t keyCode, std::uint32_t modifiers) const {
    std::lock_guard lock(mutex_);
    return std::any_of(registrations_.begin(), registrations_.end(), [&](const Registration& r) {
        return r.keyCode == keyCode && r.modifiers == modifiers;
    });
}

int FakeHotKeyService::handlersInstalled() const {
    std::lock_guard lock(mutex_);
    return handlersInstalled_;
}

std::int32_t FakeHotKeyService::press(std::optional<HotKeyID> identity) {
    PressHandler handler;
    {
        std::lock_guard lock(mutex_);
        handler = handler_;
    }
    // Called without the lock: the handler may register or unregister hot keys.
    return handler ? handler(identity) : eventNotHandledErr;
}

std::optional<std::int32_t> FakeHotKeyService::pressShortcut(std::uint32_t keyCode, std::uint32_t modifiers) {
    std::optional<HotKeyID> identity;
    {
        std::lock_guard lock(mutex_);
        for (const auto& r : registrations_) {
            if (r.keyCode == keyCode && r.modifiers == modifiers &&
                !outOfForce_.count({keyCode, modifiers})) {
                identity = r.identity;
                break;
            }
        }
    }
    if (!identity) return std::nullopt;
    return press(identity);
}

}  // namespace corvane::fake
