#include "app/shell/mac_application.hpp"

#include <QApplication>
#include <cstdio>
#include <string>

#include "app/desktops/native_spaces.hpp"
#include "app/placement/window_mover.hpp"
#include "app/shell/app_delegate.hpp"
#include "app/shell/command_line.hpp"
#include "app/shell/instance_requests.hpp"
#include "app/shell/quit_on_signal.hpp"
#include "app/shell/ready_notice.hpp"
#include "app/shell/single_instance.hpp"
#include "app/shell/status_mark.hpp"
#include "ports/macos/mac_port.hpp"
#include "ports/macos/mac_reopen_handler.hpp"

namespace corvane {

int runMacApplication(int argc, char** argv, const InstancePaths& paths, FileLock& launchLock) {
    // The toolkit swaps Control and Command by default on a Mac, so that
    // "Ctrl+C" shortcuts work; our keys must keep their own names, or the
    // recorder would store Command for Control.
    QCoreApplication::setAttribute(Qt::AA_MacDontSwapCtrlAndMeta);
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    QApplication::setApplicationName(QStringLiteral("Corvane"));
    QApplication::setApplicationVersion(QString::fromStdString(versionText()).trimmed().section(' ', 1));

    macos::MacPort port;
    Platform& platform = port.platform();
    WindowMover mover(platform);
    NativeSpaces spaces(platform);
    AppDelegate delegate(platform, mover, spaces, port.keyboardMap());

    InstanceServer server([&delegate](const InstanceRequest& request,
                                      ReplyHandler reply) { respond(request, delegate, std::move(reply)); },
                          [&platform](std::string_view line) { platform.feedback.log(line); });
    // Without its channel this instance could not be reached by later
    // launches or by --action: better to say why now and not start.
    if (const auto problem = server.listen(paths.socket())) {
        std::fprintf(stderr, "corvane: %s\n", problem->c_str());
        return 1;
    }
    launchLock.release();

    QuitOnSignal quitOnSignal;
    delegate.applicationDidFinishLaunching();
    const macos::ReopenHandler reopen([&delegate] { delegate.openSettings(); });

    if (const auto problem = sendReadyNotice()) platform.feedback.log(*problem);
    const int status = QApplication::exec();
    // Workers still waiting for this thread go on without it, so the desktop
    // queue can be joined below.
    port.closeMainQueue();
    return status;
}

}  // namespace corvane
