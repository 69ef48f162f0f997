#pragma once

// A window manager on a socket of its own that answers the IPC the way i3
// does for one output with one workspace and one focused window: the tree,
// the outputs and the workspaces as they stand, and the commands that resize
// and move that window, which it applies and records. It can keep the old
// size once, as a compositor does when a slow client's late commit wins.

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <mutex>
#include <regex>
#include <string>
#include <thread>
#include <vector>

#include "core/rect.hpp"
#include "ports/i3ipc/ipc_frame.hpp"

namespace corvane::i3ipc::testing {

class FakeI3Peer {
public:
    static constexpr std::int64_t kWindow = 7;

    explicit FakeI3Peer(Rect frame) : frame_(frame) {
        std::string pattern = (std::filesystem::temp_directory_path() / "corvane-i3-XXXXXX").string();
        directory_ = ::mkdtemp(pattern.data());
        path_ = directory_ + "/sock";
        listener_ = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::strcpy(address.sun_path, path_.c_str());
        ::bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof(address));
        ::listen(listener_, 1);
        thread_ = std::thread([this] { serve(); });
    }
    // The client must have closed its connection first.
    ~FakeI3Peer() {
        thread_.join();
        ::close(listener_);
        ::unlink(path_.c_str());
        ::rmdir(directory_.c_str());
    }
    FakeI3Peer(const FakeI3Peer&) = delete;
    FakeI3Peer& operator=(const FakeI3Peer&) = delete;

    const std::string& path() const { return path_; }
    void keepOldSizeOnce() {
        std::lock_guard lock(mutex_);
        keepOldSize_ = true;
    }
    std::vector<std::string> commands() const {
        std::lock_guard lock(mutex_);
        return commands_;
    }
    Rect frame() const {
        std::lock_guard lock(mutex_);
        return frame_;
    }

private:
    static std::string rectJson(const Rect& r) {
        return R"({"x":)" + std::to_string(static_cast<int>(r.x)) + R"(,"y":)" +
               std::to_string(static_cast<int>(r.y)) + R"(,"width":)" +
               std::to_string(static_cast<int>(r.width)) + R"(,"height":)" +
               std::to_string(static_cast<int>(r.height)) + "}";
    }

    // i3's bar takes the bottom 20 rows of the output.
    static constexpr Rect kOutput{0, 0, 1440, 900};
    static constexpr Rect kWorkspace{0, 0, 1440, 880};

    std::string answer(std::uint32_t type, const std::string& payload) {
        std::lock_guard lock(mutex_);
        switch (type) {
            case MessageType::getTree:
                return R"({"id":1,"type":"root","rect":)" + rectJson(kOutput) +
                       R"(,"nodes":[{"id":2,"type":"output","name":"OUT","rect":)" + rectJson(kOutput) +
                       R"(,"nodes":[{"id":3,"type":"workspace","name":"1","num":1,"rect":)" +
                       rectJson(kWorkspace) + R"(,"nodes":[{"id":)" + std::to_string(kWindow) +
                       R"(,"type":"con","window":4194305,"focused":true,"window_properties":{"class":"t"},)"
                       R"("marks":[],"rect":)" +
                       rectJson(frame_) + R"(,"nodes":[]}],"floating_nodes":[]}]}]})";
            case MessageType::getOutputs:
                return R"([{"name":"OUT","active":true,"primary":true,"current_workspace":"1","rect":)" +
                       rectJson(kOutput) + "}]";
            case MessageType::getWorkspaces:
                return R"([{"num":1,"name":"1","output":"OUT","focused":true,"visible":true,"rect":)" +
                       rectJson(kWorkspace) + "}]";
            case MessageType::runCommand: {
                commands_.push_back(payload);
                std::smatch m;
                if (std::regex_search(payload, m,
                                      std::regex(R"(resize set width (\d+) px height (\d+) px)"))) {
                    if (keepOldSize_)
                        keepOldSize_ = false;
                    else
                        frame_.width = std::stod(m[1]), frame_.height = std::stod(m[2]);
                }
                if (std::regex_search(payload, m,
                                      std::regex(R"(move absolute position (-?\d+) px (-?\d+) px)")))
                    frame_.x = std::stod(m[1]), frame_.y = std::stod(m[2]);
                return R"([{"success":true}])";
            }
            default:
                return R"({"success":false})";
        }
    }

    bool readAll(int fd, char* into, std::size_t size) {
        std::size_t got = 0;
        while (got < size) {
            const ssize_t n = ::read(fd, into + got, size - got);
            if (n <= 0) return false;
            got += static_cast<std::size_t>(n);
        }
        return true;
    }

    void serve() {
        const int client = ::accept(listener_, nullptr, nullptr);
        if (client < 0) return;
        for (;;) {
            char header[14];
            if (!readAll(client, header, sizeof(header))) break;
            std::uint32_t length = 0, type = 0;
            std::memcpy(&length, header + 6, 4);
            std::memcpy(&type, header + 10, 4);
            std::string payload(length, '\0');
            if (!readAll(client, payload.data(), length)) break;
            const std::string reply = encodeFrame(type, answer(type, payload));
            if (::write(client, reply.data(), reply.size()) != static_cast<ssize_t>(reply.size())) break;
        }
        ::close(client);
    }

    std::string directory_, path_;
    int listener_ = -1;
    mutable std::mutex mutex_;
    Rect frame_;
    bool keepOldSize_ = false;
    std::vector<std::string> commands_;
    std::thread thread_;
};

}  // namespace corvane::i3ipc::testing
