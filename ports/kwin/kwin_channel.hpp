#pragma once

#include <condition_variable>
#include <deque>
#include <filesystem>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "ports/compositor/plugin_channel.hpp"
#include "ports/kwin/kwin_script.hpp"
#include "ports/kwin/layout_watch.hpp"

namespace corvane::kwin {

// The way to our KWin script off the press path. A KWin script can call out
// but exports nothing, so Corvane wakes it through its key-less shortcut and
// the script fetches what is pending, applies it and reports the state
// afterwards (protocol.md). The channel also owns the script's life in KWin:
// loaded once Corvane serves it, unloaded when the application quits.
//
// apply() may be called on any thread; fetch(), applied() and settle() come
// on the main thread from the bus.
class KWinChannel final : public compositor::PluginChannel, public compositor::FetchEndpoint {
public:
    explicit KWinChannel(std::filesystem::path runtimeDirectory);
    ~KWinChannel() override;

    std::optional<std::string> start() override;
    std::optional<compositor::Snapshot> apply(const std::vector<compositor::Operation>& operations,
                                              std::chrono::milliseconds deadline) override;
    void post(const std::vector<compositor::Operation>& operations) override;

    std::vector<compositor::Operation> fetch(const compositor::Snapshot& before) override;
    void applied(const compositor::Snapshot& after) override;
    std::optional<std::vector<std::string>> settle(const std::vector<compositor::Binding>& bindings,
                                                   const std::string& report) override;

    // Unloads the script now (the application is about to quit).
    void unloadScript();
    // From now on every request fails at once, those waiting included. The
    // script's answers come through the main thread's event loop, which stops
    // at quit; a desktop worker still waiting for one would hold the quit
    // up until its deadline.
    void close();

private:
    struct Request {
        std::vector<compositor::Operation> operations;
        std::optional<compositor::Snapshot> result;
        bool done = false;
    };
    std::shared_ptr<Request> enqueue(std::vector<compositor::Operation> operations);
    void forget(const std::shared_ptr<Request>& request);

    std::filesystem::path directory_;
    std::optional<KWinScript> script_;
    std::unique_ptr<LayoutWatch> layoutWatch_;
    std::mutex mutex_;
    std::condition_variable answered_;
    std::deque<std::shared_ptr<Request>> pending_;
    std::vector<std::shared_ptr<Request>> inFlight_;
    bool closed_ = false;
};

}  // namespace corvane::kwin
