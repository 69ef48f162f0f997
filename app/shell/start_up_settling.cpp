#include "app/shell/start_up_settling.hpp"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QThreadPool>
#include <QTimer>
#include <QWindow>

namespace corvane {

namespace {

bool windowAwaitsItsFirstExpose() {
    for (const QWindow* window : QGuiApplication::topLevelWindows()) {
        if (window->isVisible() && !window->isExposed()) return true;
    }
    return false;
}

}  // namespace

void settleStartUp(std::chrono::milliseconds patience) {
    QCoreApplication::processEvents();
    if (windowAwaitsItsFirstExpose()) {
        QTimer limit;
        limit.setSingleShot(true);
        limit.start(patience);
        // Each pass sleeps until something arrives: the expose, or the limit.
        while (windowAwaitsItsFirstExpose() && limit.isActive()) {
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        }
        // The paint the expose asked for.
        QCoreApplication::processEvents();
    }
    QThreadPool::globalInstance()->waitForDone();
}

}  // namespace corvane
