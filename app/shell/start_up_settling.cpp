#include "app/shell/start_up_settling.hpp"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QThreadPool>
#include <QTimer>
#include <QWindow>

namespace corvane {

namespace {

bool windowAwaitsItsFirstExpose() {
    // All windows, not the toolkit's list of top-level ones: that leaves out
    // embedded windows, and the tray icon's window is one once docked.
    for (const QWindow* window : QGuiApplication::allWindows()) {
        if (!window->isTopLevel() || window->type() == Qt::Desktop) continue;
        if (window->isVisible() && !window->isExposed()) return true;
    }
    return false;
}

}  // namespace

void settleStartUp(const std::function<bool()>& starting, std::chrono::milliseconds patience) {
    QCoreApplication::processEvents();
    const auto unsettled = [&starting] { return (starting && starting()) || windowAwaitsItsFirstExpose(); };
    if (unsettled()) {
        QTimer limit;
        limit.setSingleShot(true);
        limit.start(patience);
        // Each pass sleeps until something arrives: the expose, or the limit.
        while (unsettled() && limit.isActive()) {
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        }
        // The paint the expose asked for.
        QCoreApplication::processEvents();
    }
    QThreadPool::globalInstance()->waitForDone();
}

}  // namespace corvane
