// The process entry: reads the command line, then either asks the running
// Corvane to do something, or becomes the running Corvane. The port is
// chosen here, once: our compositor plugin in a GNOME Wayland session, sway
// or i3 through their IPC where they announce themselves, else X11.

#include <unistd.h>
#include <QApplication>
#include <QCoreApplication>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <variant>
#include <vector>

#include "app/desktops/native_spaces.hpp"
#include "app/placement/window_mover.hpp"
#include "app/platform/platform.hpp"
#include "app/shell/app_delegate.hpp"
#include "app/shell/command_line.hpp"
#include "app/shell/file_lock.hpp"
#include "app/shell/instance_paths.hpp"
#include "app/shell/instance_requests.hpp"
#include "app/shell/qt_alerts.hpp"
#include "app/shell/qt_main_queue.hpp"
#include "app/shell/quit_on_signal.hpp"
#include "app/shell/ready_notice.hpp"
#include "app/shell/single_instance.hpp"
#include "app/shell/status_mark.hpp"
#include "app/shell/steady_clock.hpp"
#ifdef __APPLE__
#include "app/shell/mac_application.hpp"
#else
#include <memory>

#include "app/shell/session_bus_warm_up.hpp"
#include "app/shell/session_port.hpp"
#include "app/shell/start_up_settling.hpp"
#include "app/shell/status_backend.hpp"
#include "app/shell/x11_event_pump.hpp"
#include "app/state/hot_keys.hpp"
#include "ports/gnome/extension_installer.hpp"
#endif
#include "ports/xdg/autostart_login_item.hpp"
#include "ports/xdg/file_defaults.hpp"

namespace {

using namespace corvane;

int failWith(const std::string& message, int status = 1) {
    std::fprintf(stderr, "corvane: %s\n", message.c_str());
    return status;
}

int print(FILE* stream, const std::string& text, int status) {
    std::fputs(text.c_str(), stream);
    return status;
}

// A client mode: one request to the running instance, its answer, an exit status.
int runClient(int argc, char** argv, const InstancePaths& paths, const InstanceRequest& request) {
    if (const auto problem = preparePrivateDirectory(paths.directory)) return failWith(*problem);
    QCoreApplication app(argc, argv);
    const ClientOutcome outcome =
        clientOutcome(askRunningInstance(paths.socket(), request, replyTimeout(request)));
    std::fputs(outcome.standardOutput.c_str(), stdout);
    std::fputs(outcome.standardError.c_str(), stderr);
    return outcome.exitCode;
}

// Another Corvane runs: ask it to come forward and leave. Never a second tray icon.
int askToComeForward(int argc, char** argv, const InstancePaths& paths) {
    QCoreApplication app(argc, argv);
    const auto reply = askRunningInstance(paths.socket(), InstanceRequest{InstanceRequest::Kind::show, {}});
    if (!reply) return failWith("Corvane is already running but does not answer");
    const ClientOutcome outcome = clientOutcome(reply);
    std::fputs(outcome.standardError.c_str(), stderr);
    return outcome.exitCode;
}

int runApplication(int argc, char** argv, const InstancePaths& paths) {
    if (const auto problem = preparePrivateDirectory(paths.directory)) return failWith(*problem);

    // Launches decide one at a time whether they are the running instance;
    // the winner keeps the launch lock until it listens, so a loser always
    // finds a listener (or, if the winner died, nobody and an error).
    auto launchAttempt = FileLock::acquire(paths.launchLock());
    if (auto* failure = std::get_if<FileLock::Failure>(&launchAttempt)) return failWith(failure->message);
    FileLock launchLock = std::move(std::get<FileLock>(launchAttempt));

    auto instanceAttempt = FileLock::tryAcquire(paths.instanceLock());
    if (auto* failure = std::get_if<FileLock::Failure>(&instanceAttempt)) return failWith(failure->message);
    if (std::holds_alternative<FileLock::Busy>(instanceAttempt)) {
        launchLock.release();
        return askToComeForward(argc, argv, paths);
    }
    const FileLock instanceLock = std::move(std::get<FileLock>(instanceAttempt));
#ifdef __APPLE__
    return runMacApplication(argc, argv, paths, launchLock);
#else

    // Bindings made through a window manager's IPC name their action in the
    // command the window manager hands back on a press.
    auto opened = SessionPort::open([](HotKeyID identity) {
        const auto& actions = HotKeys::actions();
        if (identity.id >= actions.size()) return std::to_string(identity.id);
        const WindowAction& action = actions[identity.id];
        if (const auto placement = action.asPlacement()) return std::string(placement->rawValue());
        return std::string(action.asSpace()->rawValue());
    });
    if (auto* failure = std::get_if<SessionPort::Failure>(&opened))
        return failWith(failure->message, failure->exitCode);
    const auto port = std::move(std::get<std::unique_ptr<SessionPort> >(opened));

    installQtMessageHandler();
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    QApplication::setApplicationName(QStringLiteral("Corvane"));
    QApplication::setApplicationVersion(QString::fromStdString(versionText()).trimmed().section(' ', 1));
    QGuiApplication::setDesktopFileName(QStringLiteral("corvane"));
    // From here the bus connects on its own thread while this one starts the rest.
    SessionBusWarmUp busWarmUp;
    QApplication::setWindowIcon(statusMarkIcon());
    if (const auto failure = port->start()) return failWith(failure->message, failure->exitCode);

    xdg::FileDefaults defaults(xdg::FileDefaults::defaultDirectory(), port->feedback());
    xdg::AutostartLoginItem loginItem(xdg::AutostartLoginItem::defaultAutostartDirectory(),
                                      QCoreApplication::applicationFilePath().toStdString());
    QtMainQueue mainQueue;
    QtAlerts alerts;
    SteadyClock clock;
    Platform platform{port->accessibility(),
                      port->hotKeys(),
                      port->workspace(),
                      port->screens(),
                      port->windowServer(),
                      port->desktopGesture(),
                      defaults,
                      loginItem,
                      port->feedback(),
                      alerts,
                      mainQueue,
                      clock};
    WindowMover mover(platform);
    NativeSpaces spaces(platform);
    AppDelegate delegate(platform, mover, spaces, port->keyboardMap());
    delegate.setWindowManager(&port->windowManager());

    InstanceServer server(
        [&delegate, backend = port->backend()](const InstanceRequest& request, ReplyHandler reply) {
            respond(request, delegate, [reply = std::move(reply), backend](InstanceReply answer) {
                if (answer.kind == InstanceReply::Kind::status)
                    answer.text = withBackend(std::move(answer.text), backend);
                reply(answer);
            });
        },
        [&port](std::string_view line) { port->feedback().log(line); });
    // Without its channel this instance could not be reached by later
    // launches or by --action, and would still hold the lock that keeps
    // another from starting: better to say why now and not start.
    if (const auto problem = server.listen(paths.socket())) return failWith(*problem);
    launchLock.release();

    QuitOnSignal quitOnSignal;
    delegate.applicationDidFinishLaunching();
    if (port->backend() == "gnome") gnome::setUpForUser(alerts, port->feedback());
    busWarmUp.finish();
    // Hot-key presses arrive from here on, on this thread.
    std::vector<std::unique_ptr<X11EventPump> > pumps;
    for (auto& watch : port->watches()) {
        pumps.push_back(
            std::make_unique<X11EventPump>(watch.fileDescriptor, watch.dispatch, [&server, &port, watch] {
                if (watch.isXServer) {
                    reportLostXServer();
                } else {
                    port->feedback().log("lost the connection to " + watch.peer);
                }
                // The display is gone, and the toolkit's own teardown would
                // only trip over the dead connection (the X library then ends
                // the process with a message of its own). Settings were saved
                // as they changed; only the socket file needs removing.
                server.close();
                std::fflush(nullptr);
                ::_exit(1);
            }));
    }

    // "Ready" promises a settled app: nothing the start set in motion is still under way.
    settleStartUp([&delegate] { return delegate.trayIconAwaitsItsWindow(); });
    if (const auto problem = sendReadyNotice()) port->feedback().log(*problem);
    const int status = QApplication::exec();
    // Workers still waiting for this thread go on without it, so the desktop
    // queue can be joined below.
    mainQueue.close();
    return status;
#endif
}

}  // namespace

int main(int argc, char** argv) {
    // A reader that went away (a client, a starter's readiness pipe) is an
    // error on that write, never the end of the process.
    std::signal(SIGPIPE, SIG_IGN);

    const auto parsed = parseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
    if (const auto* error = std::get_if<CommandLineError>(&parsed)) {
        return print(stderr, error->message + "\n", usageExitCode);
    }
    const auto& commandLine = std::get<CommandLine>(parsed);
    if (commandLine.mode == CommandLine::Mode::help) return print(stdout, usageText(), 0);
    if (commandLine.mode == CommandLine::Mode::version) return print(stdout, versionText(), 0);

    const InstancePaths paths = InstancePaths::current();
    if (const auto request = instanceRequestFor(commandLine)) return runClient(argc, argv, paths, *request);
    return runApplication(argc, argv, paths);
}
