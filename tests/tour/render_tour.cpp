// Renders the four lessons of the tour, as a Linux user sees them, to
// docs/tour-1.png ... docs/tour-4.png: on a private X server of its own
// (Xvfb through the test harness), with the Fusion style, a fixed font and
// the keyboard's own key names. Lesson 2 is shown after a try, lesson 4
// after a try that follows the window. Fails when a lesson does not show
// what its keys should have made of it.

#include <QApplication>
#include <QImage>
#include <QStyle>
#include <QStyleFactory>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "app/tour/tour_window.hpp"
#include "core/shortcut.hpp"
#include "ports/x11/x11_port.hpp"
#include "tools/xharness/x_server.hpp"

namespace {

using namespace corvane;

int fail(const std::string& message) {
    std::fprintf(stderr, "corvane_tour_render: %s\n", message.c_str());
    return 1;
}

constexpr std::uint32_t base = Shortcut::control | Shortcut::option | Shortcut::command;
constexpr std::uint32_t corners = Shortcut::control | Shortcut::option | Shortcut::shift;

KeyInput held(std::uint32_t modifiers) {
    return KeyInput{KeyInput::Kind::modifiersChanged, std::nullopt, modifiers, {}, false};
}
KeyInput press(std::uint32_t keyCode, std::uint32_t modifiers) {
    return KeyInput{KeyInput::Kind::keyDown, keyCode, modifiers, {}, false};
}

bool save(TourWindow& window, const std::filesystem::path& path) {
    window.finishAnimations();
    QCoreApplication::processEvents();
    return window.grab().toImage().save(QString::fromStdString(path.string()));
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) return fail("usage: corvane_tour_render OUTPUT-DIRECTORY");
    const std::filesystem::path out = argv[1];

    xharness::XServerOptions options;
    options.windowManager = false;
    options.tray = false;
    std::unique_ptr<xharness::XServer> server;
    try {
        server = std::make_unique<xharness::XServer>(options);
    } catch (const std::exception& e) {
        return fail(e.what());
    }
    for (const auto& [name, value] : server->clientEnvironment()) ::setenv(name.c_str(), value.c_str(), 1);
    ::setenv("QT_QPA_PLATFORM", "xcb", 1);
    const auto port = x11::X11Port::connect(server->display().c_str());
    if (!port) return fail("cannot reach the X server");

    QApplication app(argc, argv);
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    QApplication::setPalette(QApplication::style()->standardPalette());
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(13);
    QApplication::setFont(font);

    const KeyboardMap& map = port->keyboardMap();
    TourWindow window(&map, map.names());
    window.present();
    TourModel& model = window.model();

    model.handle(held(Shortcut::control | Shortcut::option));
    if (!save(window, out / "tour-1.png")) return fail("cannot write the first picture");

    model.handle(held(base));
    model.handle(press(123, base));
    if (model.step() != 1 || !window.button().isEnabled()) return fail("lesson 2 did not take the try");
    if (!save(window, out / "tour-2.png")) return fail("cannot write the second picture");

    model.advance();
    model.handle(held(corners));
    if (model.step() != 2 || window.button().isEnabled()) return fail("lesson 3 did not start afresh");
    if (!save(window, out / "tour-3.png")) return fail("cannot write the third picture");

    model.handle(press(124, corners));
    model.advance();
    model.handle(press(20, corners));
    if (model.step() != 3 || !model.followsDesktop() || window.button().text() != "Finish Tour")
        return fail("lesson 4 did not take the follow try");
    if (!save(window, out / "tour-4.png")) return fail("cannot write the fourth picture");
    window.close();
    return 0;
}
