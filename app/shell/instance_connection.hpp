#pragma once

#include <sys/socket.h>
#include <QObject>
#include <QSocketNotifier>
#include <functional>
#include <string>
#include <string_view>

#include "ports/xdg/unique_fd.hpp"

namespace corvane {

// The flags of every send on the instance channel: a peer that hung up must
// be an error on that write, never a signal.
#ifdef MSG_NOSIGNAL
inline constexpr int noSignal = MSG_NOSIGNAL;
#else
inline constexpr int noSignal = 0;  // the process ignores SIGPIPE where the flag is missing
#endif

// One client of the instance channel on the main thread, over the plain
// non-blocking descriptor accept() gave us: what the client sends is handed
// on as it arrives, one reply goes back, and the connection closes. The
// descriptor is closed with the object; a parent QObject owns it.
class InstanceConnection : public QObject {
public:
    using Received = std::function<void(std::string_view chunk)>;

    InstanceConnection(xdg::UniqueFd descriptor, QObject* parent);
    ~InstanceConnection() override;

    // Called with every chunk read until the reply has been sent.
    void onReceived(Received received) { received_ = std::move(received); }

    // Called once when the connection closes: replied to, or the client gone.
    void onClosed(std::function<void()> closed) { closedHandler_ = std::move(closed); }

    // Writes `line` and closes the sending side at once, without waiting
    // for the event loop: an answer to "quit" must reach the client even
    // though the loop ends right after. The object deletes itself later.
    void reply(const std::string& line);

    // The client hung up or the connection failed: the object deletes itself later.
    bool isClosed() const { return closed_; }

private:
    void readAvailable();
    void finish();

    // The notifier is declared after the descriptor, so it leaves the loop
    // before the descriptor closes.
    xdg::UniqueFd descriptor_;
    QSocketNotifier notifier_;
    Received received_;
    std::function<void()> closedHandler_;
    bool replied_ = false;
    bool closed_ = false;
};

}  // namespace corvane
