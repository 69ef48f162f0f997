#include "ports/kwin/layout_watch.hpp"

#include <QDBusConnection>

namespace corvane::kwin {

namespace {

constexpr const char* kPath = "/Layouts";
constexpr const char* kInterface = "org.kde.keyboard";
constexpr const char* kSignal = "reloadConfig";

}  // namespace

LayoutWatch::LayoutWatch(std::function<void()> changed) : changed_(std::move(changed)) {
    QDBusConnection::sessionBus().connect(QString(), kPath, kInterface, kSignal, this, SLOT(reloaded()));
}

LayoutWatch::~LayoutWatch() {
    QDBusConnection::sessionBus().disconnect(QString(), kPath, kInterface, kSignal, this, SLOT(reloaded()));
}

void LayoutWatch::reloaded() {
    if (changed_) changed_();
}

}  // namespace corvane::kwin
