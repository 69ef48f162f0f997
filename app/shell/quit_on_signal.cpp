#include "app/shell/quit_on_signal.hpp"

#include <fcntl.h>
#include <unistd.h>
#include <QCoreApplication>
#include <array>
#include <cerrno>
#include <csignal>

namespace corvane {

namespace {

constexpr std::array<int, 3> quitSignals{SIGTERM, SIGINT, SIGHUP};

// The handler may touch nothing but this and write(2).
volatile std::sig_atomic_t signalPipe = -1;

void onSignal(int) {
    const int saved = errno;
    const char byte = 'q';
    if (signalPipe >= 0) {
        const ssize_t written = ::write(signalPipe, &byte, 1);
        (void)written;  // a full pipe already holds a request to quit
    }
    errno = saved;
}

}  // namespace

QuitOnSignal::QuitOnSignal() {
    std::array<int, 2> fds{-1, -1};
    if (::pipe2(fds.data(), O_CLOEXEC | O_NONBLOCK) != 0) return;
    readEnd_ = fds[0];
    writeEnd_ = fds[1];
    signalPipe = writeEnd_;

    notifier_ = std::make_unique<QSocketNotifier>(readEnd_, QSocketNotifier::Read);
    QObject::connect(notifier_.get(), &QSocketNotifier::activated, [this] {
        std::array<char, 16> drained{};
        while (::read(readEnd_, drained.data(), drained.size()) > 0) {
        }
        QCoreApplication::quit();
    });

    struct sigaction action {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int signal : quitSignals) ::sigaction(signal, &action, nullptr);
}

QuitOnSignal::~QuitOnSignal() {
    for (const int signal : quitSignals) std::signal(signal, SIG_DFL);
    signalPipe = -1;
    notifier_.reset();
    if (readEnd_ >= 0) ::close(readEnd_);
    if (writeEnd_ >= 0) ::close(writeEnd_);
}

}  // namespace corvane
