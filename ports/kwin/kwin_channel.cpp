#include "ports/kwin/kwin_channel.hpp"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QEventLoop>
#include <QThread>
#include <QTimer>

#include <algorithm>
#include <nlohmann/json.hpp>

#include "ports/kwin/kwin_accelerator.hpp"
#include "ports/kwin/kwin_layout.hpp"
#include "ports/kwin/kwin_shortcuts.hpp"

namespace corvane::kwin {

namespace {

// The names the script has registered so far, from its report.
std::vector<std::string> heldNames(const std::string& report) {
    std::vector<std::string> names;
    const auto json = nlohmann::json::parse(report, nullptr, false);
    if (!json.is_object() || !json.contains("held") || !json["held"].is_array()) return names;
    for (const auto& name : json["held"])
        if (name.is_string()) names.push_back(name.get<std::string>());
    return names;
}

bool onMainThread() {
    const auto* app = QCoreApplication::instance();
    return app && QThread::currentThread() == app->thread();
}

}  // namespace

KWinChannel::KWinChannel(std::filesystem::path runtimeDirectory) : directory_(std::move(runtimeDirectory)) {}

KWinChannel::~KWinChannel() {
    unloadScript();
}

std::optional<std::string> KWinChannel::start() {
    std::string error;
    auto loaded = KWinScript::load(QDBusConnection::sessionBus(), directory_, error);
    if (!loaded) return "cannot load Corvane's script into KWin: " + error;
    script_.emplace(std::move(*loaded));
    // A new layout may move the symbols of shifted digits: the keys are
    // settled again (the script attaches anew and reports back).
    layoutWatch_ = std::make_unique<LayoutWatch>([this] { post({compositor::Operation::rebind()}); });
    // The bus is still there while the event loop winds down; after the
    // application object is gone it may not be.
    if (auto* app = QCoreApplication::instance())
        QObject::connect(app, &QCoreApplication::aboutToQuit, app, [this] {
            close();
            unloadScript();
        });
    return std::nullopt;
}

void KWinChannel::unloadScript() {
    layoutWatch_.reset();
    if (!script_) return;
    script_->unload();
    script_.reset();
    forgetShortcuts(QDBusConnection::sessionBus());
}

void KWinChannel::close() {
    {
        const std::lock_guard lock(mutex_);
        closed_ = true;
        for (auto& request : pending_) request->done = true;
        for (auto& request : inFlight_) request->done = true;
        pending_.clear();
        inFlight_.clear();
    }
    answered_.notify_all();
}

std::shared_ptr<KWinChannel::Request> KWinChannel::enqueue(std::vector<compositor::Operation> operations) {
    auto request = std::make_shared<Request>();
    request->operations = std::move(operations);
    {
        const std::lock_guard lock(mutex_);
        if (closed_) {
            request->done = true;
            return request;
        }
        pending_.push_back(request);
    }
    wakeScript(QDBusConnection::sessionBus());
    return request;
}

void KWinChannel::forget(const std::shared_ptr<Request>& request) {
    const std::lock_guard lock(mutex_);
    pending_.erase(std::remove(pending_.begin(), pending_.end(), request), pending_.end());
    inFlight_.erase(std::remove(inFlight_.begin(), inFlight_.end(), request), inFlight_.end());
}

std::optional<compositor::Snapshot> KWinChannel::apply(const std::vector<compositor::Operation>& operations,
                                                       std::chrono::milliseconds deadline) {
    const auto request = enqueue(operations);
    if (onMainThread()) {
        // The script's answer arrives through this thread's own event loop.
        QEventLoop loop;
        QTimer timeout;
        timeout.setSingleShot(true);
        QObject::connect(&timeout, &QTimer::timeout, &loop, [] {});
        timeout.start(static_cast<int>(deadline.count()));
        while (timeout.isActive()) {
            {
                const std::lock_guard lock(mutex_);
                if (request->done) return request->result;
            }
            loop.processEvents(QEventLoop::WaitForMoreEvents);
        }
    } else {
        std::unique_lock lock(mutex_);
        if (answered_.wait_for(lock, deadline, [&] { return request->done; })) return request->result;
    }
    forget(request);
    return std::nullopt;
}

void KWinChannel::post(const std::vector<compositor::Operation>& operations) {
    enqueue(operations);
}

std::vector<compositor::Operation> KWinChannel::fetch(const compositor::Snapshot&) {
    std::vector<compositor::Operation> operations;
    const std::lock_guard lock(mutex_);
    for (auto& request : pending_) {
        operations.insert(operations.end(), request->operations.begin(), request->operations.end());
        inFlight_.push_back(std::move(request));
    }
    pending_.clear();
    return operations;
}

void KWinChannel::applied(const compositor::Snapshot& after) {
    {
        const std::lock_guard lock(mutex_);
        for (auto& request : inFlight_) {
            request->result = after;
            request->done = true;
        }
        inFlight_.clear();
    }
    answered_.notify_all();
}

std::optional<std::vector<std::string>> KWinChannel::settle(const std::vector<compositor::Binding>& bindings,
                                                            const std::string& report) {
    // KWin's script cannot tell which shortcuts got their keys, and KWin
    // prefers a key remembered from an earlier run: Corvane sets each key
    // in KWin's registry itself, written as KWin sees the press on the
    // user's layout now (a shifted digit is its symbol there).
    const auto keymap = compileKeymap(sessionLayout());
    std::vector<KWinBinding> keys;
    std::vector<std::string> refused;
    for (const auto& binding : bindings) {
        if (const auto accelerator = kwinAccelerator(binding.keyCode, binding.modifiers, keymap.get()))
            keys.push_back({binding.name, *accelerator});
        else
            refused.push_back(binding.name);
    }
    const auto taken = assignKeys(QDBusConnection::sessionBus(), keys, heldNames(report));
    refused.insert(refused.end(), taken.begin(), taken.end());
    return refused;
}

}  // namespace corvane::kwin
