// Renders the settings window as a person sees it, on a private X server
// (Xvfb + openbox) so that the picture comes from the server itself, window
// manager frame included, and saves it to the folder given as the only
// argument:
//   settings.png             as first opened
//   settings-recording.png   Top Half recording, after a rejected Shift+A
//   settings-shared.png      Left Half given Bottom Half's shortcut
//   settings-unavailable.png Previous/Next Display held by another program
//   settings-layout.png      the end of the form, with a gap of 20
//   settings-gnome.png       in a GNOME session before the log-out that
//                            loads Corvane's extension
// The style, palette and font are fixed so the pictures do not depend on the
// machine's desktop settings. Fails when the window does not come up or does
// not show what it should.

#include <QApplication>
#include <QPalette>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QStyle>
#include <QStyleFactory>
#include <QTest>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>

#include "app/settings/settings_window.hpp"
#include "app/shell/status_mark.hpp"
#include "ports/gnome/gnome_plugin.hpp"
#include "ports/x11/layout_keyboard_map.hpp"
#include "ports/x11/x11_port.hpp"
#include "tests/settings/settings_fixture.hpp"
#include "tools/xharness/x_server.hpp"

namespace {

using namespace corvane;

int fail(const char* message) {
    std::fprintf(stderr, "corvane_settings_render: %s\n", message);
    return 1;
}

// The outer frame (decorations included), read from the server.
QRect outerFrame(xharness::XConnection& x, xcb_window_t client) {
    const auto frame = x.outerFrame(client);
    if (!frame) return {};
    return QRect(int(frame->x), int(frame->y), int(frame->width), int(frame->height));
}

bool save(QScreen& screen, const QRect& frame, const std::filesystem::path& path) {
    // A margin of desktop around the frame, as a screenshot of a window looks.
    const QRect area = frame.adjusted(-16, -16, 16, 16);
    const QPixmap shot = screen.grabWindow(0, area.x(), area.y(), area.width(), area.height());
    return !shot.isNull() && shot.save(QString::fromStdString(path.string()));
}

// A plugin that never answers: GNOME has not loaded the extension yet.
class AbsentPlugin final : public compositor::PluginChannel {
public:
    std::optional<compositor::Snapshot> apply(const std::vector<compositor::Operation>&,
                                              std::chrono::milliseconds) override {
        return std::nullopt;
    }
    void post(const std::vector<compositor::Operation>&) override {}
};

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) return fail("usage: corvane_settings_render OUTPUT-FOLDER");
    const std::filesystem::path folder = argv[1];

    xharness::XServerOptions options;
    options.width = 900;
    options.height = 800;
    options.tray = false;
    xharness::XServer server(options);
    ::setenv("DISPLAY", server.display().c_str(), 1);
    ::setenv("QT_QPA_PLATFORM", "xcb", 1);
    ::unsetenv("WAYLAND_DISPLAY");

    QApplication app(argc, argv);
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    QApplication::setPalette(QApplication::style()->standardPalette());
    QApplication::setFont(QFont(QStringLiteral("DejaVu Sans"), 9));
    // As the app sets it, so the header shows the mark.
    QApplication::setWindowIcon(statusMarkIcon());

    const auto port = x11::X11Port::connect(server.display().c_str());
    if (!port) return fail("cannot reach the X server");
    testing::SettingsWorld world;
    const SettingsWords words = SettingsWords::forKeyboard(port->keyboardMap().names());
    SettingsWindow window(SettingsServices{*world.store, world.desktop.accessibility(),
                                           world.desktop.workspace(), world.desktop.feedback(),
                                           [] { return true; }, &port->windowManager(), &port->keyboardMap()},
                          words);
    window.present();
    if (!QTest::qWaitForWindowActive(&window, 10000)) return fail("the window did not become active");
    const auto client = static_cast<xcb_window_t>(window.winId());
    const QRect frame = outerFrame(server.x(), client);
    if (frame.isEmpty()) return fail("the window has no frame");
    if (window.permissionRows().empty() ||
        window.permissionRows().front()->row().title.rfind("Window manager: ", 0) != 0)
        return fail("the status row does not name the window manager");
    QTest::qWait(200);  // the first paint after mapping
    QScreen* screen = QGuiApplication::primaryScreen();
    if (!save(*screen, frame, folder / "settings.png")) return fail("could not save settings.png");

    const WindowAction topHalf = WindowAction::placement(Placement::topHalf);
    const WindowAction leftHalf = WindowAction::placement(Placement::leftHalf);
    const WindowAction previousDisplay = WindowAction::placement(Placement::previousDisplay);
    auto noteOf = [&](const WindowAction& action) { return window.row(action)->noteLabel().text(); };
    auto shoot = [&](const char* name) {
        QTest::qWait(300);  // repaint, and the preview's animation
        return save(*screen, frame, folder / name);
    };

    window.row(topHalf)->recordButton().click();
    QTest::keyClick(&window, Qt::Key_A, Qt::ShiftModifier);
    if (!window.holdsKeyboard()) return fail("recording did not take the keyboard");
    if (!noteOf(topHalf).startsWith("Include")) return fail("the rejected key left no hint");
    if (!shoot("settings-recording.png")) return fail("could not save settings-recording.png");
    window.recorder().cancel();

    Config config = world.store->config();
    config.shortcuts[Placement::leftHalf] = config.shortcuts.at(Placement::bottomHalf);
    world.store->setConfig(config);
    if (!noteOf(leftHalf).startsWith("Same shortcut as")) return fail("the shared shortcut has no note");
    if (!shoot("settings-shared.png")) return fail("could not save settings-shared.png");
    world.store->setConfig(Config::defaults());

    // What a stock openbox does to the display moves: it holds Ctrl+Alt+←/→.
    const auto ctrlAlt = Shortcut::control | Shortcut::option;
    world.desktop.hotKeys().refuse(config.shortcuts.at(Placement::previousDisplay).keyCode, ctrlAlt);
    world.desktop.hotKeys().refuse(config.shortcuts.at(Placement::nextDisplay).keyCode, ctrlAlt);
    world.store->applyHotKeys();
    if (noteOf(previousDisplay) != "Couldn't register this shortcut") return fail("the refusal has no note");
    if (!shoot("settings-unavailable.png")) return fail("could not save settings-unavailable.png");

    // The end of the form: desktops, the gap with its preview, the switches.
    config = world.store->config();
    config.gap = 20;
    world.store->setConfig(config);
    auto* scroll = window.findChild<QScrollArea*>();
    if (!scroll) return fail("the form does not scroll");
    scroll->verticalScrollBar()->setValue(scroll->verticalScrollBar()->maximum());
    if (!shoot("settings-layout.png")) return fail("could not save settings-layout.png");
    window.hide();

    // The same window as the GNOME backend fills it before the extension runs.
    world.store->setConfig(Config::defaults());
    compositor::CompositorPort gnome(
        gnome::extensionPlugin(), std::make_unique<AbsentPlugin>(), [](HotKeyID) { return std::string(); },
        std::make_unique<x11::LayoutKeyboardMap>(x11::XkbLayout{"us", ""}));
    SettingsWindow waiting(
        SettingsServices{*world.store, world.desktop.accessibility(), world.desktop.workspace(),
                         world.desktop.feedback(), [] { return true; }, &gnome.windowManager(),
                         &gnome.keyboardMap()},
        SettingsWords::forKeyboard(gnome.keyboardMap().names()));
    waiting.present();
    if (!QTest::qWaitForWindowActive(&waiting, 10000)) return fail("the GNOME window did not become active");
    if (waiting.permissionRows().empty() ||
        waiting.permissionRows().front()->row().title != "Window manager: GNOME Shell")
        return fail("the status row does not name GNOME Shell");
    const QRect gnomeFrame = outerFrame(server.x(), static_cast<xcb_window_t>(waiting.winId()));
    QTest::qWait(300);
    if (!save(*screen, gnomeFrame, folder / "settings-gnome.png"))
        return fail("could not save settings-gnome.png");
    return 0;
}
