#pragma once

#include <QObject>

#include <functional>

namespace corvane::kwin {

// Tells when Plasma's keyboard layouts were changed (System Settings writes
// kxkbrc and announces it with org.kde.keyboard's reloadConfig, which KWin
// follows too): the symbols a shifted digit types may have moved. Main thread.
class LayoutWatch final : public QObject {
    Q_OBJECT

public:
    explicit LayoutWatch(std::function<void()> changed);
    ~LayoutWatch() override;

private Q_SLOTS:
    void reloaded();

private:
    std::function<void()> changed_;
};

}  // namespace corvane::kwin
