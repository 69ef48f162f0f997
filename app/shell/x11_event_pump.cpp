#include "app/shell/x11_event_pump.hpp"

#include <QAbstractEventDispatcher>
#include <QtGlobal>
#include <atomic>
#include <cstdio>

namespace corvane {

X11EventPump::X11EventPump(int fileDescriptor, std::function<bool()> dispatch, std::function<void()> lost)
    : dispatch_(std::move(dispatch)),
      lost_(std::move(lost)),
      notifier_(fileDescriptor, QSocketNotifier::Read) {
    QObject::connect(&notifier_, &QSocketNotifier::activated, [this] { pump(); });
    if (auto* dispatcher = QAbstractEventDispatcher::instance()) {
        beforeSleep_ =
            QObject::connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, [this] { pump(); });
    }
    // Events may already wait in the library's queue from the port's setup.
    pump();
}

X11EventPump::~X11EventPump() {
    QObject::disconnect(beforeSleep_);
}

void X11EventPump::pump() {
    // A press may open a window or post work, which can spin the loop again;
    // one dispatch at a time.
    if (stopped_ || dispatching_) return;
    dispatching_ = true;
    const bool alive = dispatch_();
    dispatching_ = false;
    if (!alive) {
        // A dead socket stays readable forever: stop watching it, or the
        // loop would spin.
        stop();
        if (lost_) lost_();
    }
}

void X11EventPump::stop() {
    stopped_ = true;
    notifier_.setEnabled(false);
    QObject::disconnect(beforeSleep_);
}

void reportLostXServer() {
    static std::atomic<bool> reported{false};
    if (reported.exchange(true)) return;
    std::fputs("corvane: lost the connection to the X server\n", stderr);
    std::fflush(stderr);
}

namespace {

void messageHandler(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    // The toolkit's own connection noticed first; it exits right after this.
    if (message.startsWith(QLatin1String("The X11 connection broke"))) {
        reportLostXServer();
        return;
    }
    const QByteArray text = qFormatLogMessage(type, context, message).toLocal8Bit();
    std::fprintf(stderr, "%s\n", text.constData());
    std::fflush(stderr);
}

}  // namespace

void installQtMessageHandler() {
    qInstallMessageHandler(messageHandler);
}

}  // namespace corvane
