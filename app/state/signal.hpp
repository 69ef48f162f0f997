#pragma once

#include <cstddef>
#include <functional>
#include <map>
#include <memory>
#include <utility>

namespace corvane {

// A small typed signal: observers connect a callback and stay connected for
// as long as they keep the returned Connection. Main thread only.
template <class... Args>
class Signal {
public:
    using Slot = std::function<void(Args...)>;

    // Disconnects on destruction; safe to outlive the signal.
    class Connection {
    public:
        Connection() = default;
        Connection(Connection&&) noexcept = default;
        Connection& operator=(Connection&& other) noexcept {
            disconnect();
            slots_ = std::move(other.slots_);
            id_ = other.id_;
            return *this;
        }
        Connection(const Connection&) = delete;
        Connection& operator=(const Connection&) = delete;
        ~Connection() { disconnect(); }

        void disconnect() {
            if (auto slots = slots_.lock()) slots->erase(id_);
            slots_.reset();
        }

    private:
        friend class Signal;
        Connection(std::weak_ptr<std::map<std::size_t, Slot>> slots, std::size_t id)
            : slots_(std::move(slots)), id_(id) {}
        std::weak_ptr<std::map<std::size_t, Slot>> slots_;
        std::size_t id_ = 0;
    };

    Signal() = default;
    Signal(const Signal&) = delete;
    Signal& operator=(const Signal&) = delete;

    [[nodiscard]] Connection connect(Slot slot) {
        const std::size_t id = nextId_++;
        slots_->emplace(id, std::move(slot));
        return Connection(slots_, id);
    }

    // Calls every slot connected before the call; a slot may disconnect
    // itself or others while it runs.
    void emit(Args... args) const {
        const auto snapshot = *slots_;
        for (const auto& [id, slot] : snapshot) {
            if (slots_->count(id)) slot(args...);
        }
    }

private:
    std::shared_ptr<std::map<std::size_t, Slot>> slots_ = std::make_shared<std::map<std::size_t, Slot>>();
    std::size_t nextId_ = 0;
};

}  // namespace corvane
