#include "ports/compositor/compositor_session.hpp"

#include <algorithm>
#include <utility>

namespace corvane::compositor {

CompositorSession::CompositorSession(std::unique_ptr<PluginChannel> channel) : channel_(std::move(channel)) {}

void CompositorSession::beginPress(Snapshot snapshot) {
    const std::lock_guard lock(mutex_);
    press_ = std::move(snapshot);
    pressThread_ = std::this_thread::get_id();
    pending_.clear();
}

std::vector<Operation> CompositorSession::endPress() {
    const std::lock_guard lock(mutex_);
    press_.reset();
    return std::exchange(pending_, {});
}

bool CompositorSession::pressOnThisThread() const {
    return press_ && pressThread_ == std::this_thread::get_id();
}

std::optional<Snapshot> CompositorSession::read() {
    PluginChannel* channel = nullptr;
    {
        const std::lock_guard lock(mutex_);
        if (pressOnThisThread()) return press_;
        channel = channel_.get();
    }
    // The channel blocks; other threads keep using the session meanwhile.
    return channel ? channel->apply({}, channelDeadline) : std::nullopt;
}

std::optional<Snapshot> CompositorSession::write(const Operation& operation) {
    PluginChannel* channel = nullptr;
    {
        const std::lock_guard lock(mutex_);
        if (pressOnThisThread()) {
            // Later reads of this press see what was written, as they would
            // after a round trip.
            auto& window = press_->window;
            if (operation.kind == Operation::Kind::frame) {
                if (window && window->id == operation.window) window->frame = operation.rect;
                const auto earlier = std::find_if(pending_.begin(), pending_.end(), [&](const Operation& o) {
                    return o.kind == Operation::Kind::frame && o.window == operation.window;
                });
                if (earlier != pending_.end()) {
                    // The frame moves to the end: operations before it
                    // (a monitor change) must still come first.
                    pending_.erase(earlier);
                }
            } else if (operation.kind == Operation::Kind::focus && !pending_.empty() &&
                       pending_.back() == operation) {
                return std::nullopt;
            }
            pending_.push_back(operation);
            return std::nullopt;
        }
        channel = channel_.get();
    }
    if (!channel) return std::nullopt;
    return channel->apply({operation}, channelDeadline);
}

std::uint32_t CompositorSession::numberOf(const std::string& windowId) {
    const std::lock_guard lock(mutex_);
    const auto it = numbers_.find(windowId);
    if (it != numbers_.end()) return it->second;
    const std::uint32_t number = nextNumber_++;
    numbers_.emplace(windowId, number);
    ids_.emplace(number, windowId);
    return number;
}

std::optional<std::string> CompositorSession::idOf(std::uint32_t number) const {
    const std::lock_guard lock(mutex_);
    const auto it = ids_.find(number);
    if (it == ids_.end()) return std::nullopt;
    return it->second;
}

void CompositorSession::setAttached(bool attached) {
    const std::lock_guard lock(mutex_);
    attached_ = attached;
}

bool CompositorSession::isAttached() const {
    const std::lock_guard lock(mutex_);
    return attached_;
}

}  // namespace corvane::compositor
