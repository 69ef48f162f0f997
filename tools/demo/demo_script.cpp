#include "tools/demo/demo_script.hpp"

#include <chrono>
#include <functional>
#include <iomanip>
#include <ostream>
#include <sstream>
#include <stdexcept>
#include <vector>

#include "core/geometry.hpp"
#include "tools/demo/wallpaper.hpp"
#include "tools/xharness/client_window.hpp"
#include "tools/xharness/corvane_process.hpp"
#include "tools/xharness/x_server.hpp"

namespace corvane::demo {

namespace {

using xharness::ClientWindow;
using xharness::XServer;

const std::vector<DemoStep>& demoSteps() {
    static const std::vector<DemoStep> steps = {
        {"Ctrl+Alt+Super+Left", WindowAction::placement(Placement::leftHalf)},
        {"Ctrl+Alt+Super+Right", WindowAction::placement(Placement::rightHalf)},
        {"Ctrl+Alt+Super+Up", WindowAction::placement(Placement::topHalf)},
        {"Ctrl+Alt+Super+Down", WindowAction::placement(Placement::bottomHalf)},
        {"Ctrl+Alt+Shift+Left", WindowAction::placement(Placement::topLeft)},
        {"Ctrl+Alt+Shift+Up", WindowAction::placement(Placement::topRight)},
        {"Ctrl+Alt+Shift+Down", WindowAction::placement(Placement::bottomLeft)},
        {"Ctrl+Alt+Shift+Right", WindowAction::placement(Placement::bottomRight)},
        {"Ctrl+Alt+Super+M", WindowAction::placement(Placement::maximize)},
        {"Ctrl+Alt+Super+M", WindowAction::placement(Placement::maximize), true},
        {"Ctrl+Alt+Right", WindowAction::placement(Placement::nextDisplay)},
        {"Ctrl+Alt+Left", WindowAction::placement(Placement::previousDisplay)},
        {"Ctrl+Alt+Shift+2", WindowAction::space(SpaceAction::follow2)},
        {"Ctrl+Alt+3", WindowAction::space(SpaceAction::send3)},
    };
    return steps;
}

// Two monitors of different sizes side by side, so the display moves show.
xharness::XServerOptions desktopLayout() {
    xharness::XServerOptions options;
    options.width = 2304;
    options.height = 1024;
    options.monitors = {{"Main", 0, 0, 1280, 1024, true}, {"Side", 1280, 0, 1024, 768, false}};
    options.desktops = 2;
    return options;
}

std::string frameText(const std::optional<Rect>& frame) {
    if (!frame) return "(gone)";
    std::ostringstream text;
    text << "(" << frame->x << ", " << frame->y << ", " << frame->width << " x " << frame->height << ")";
    return text.str();
}

// 1-based, as people count desktops.
std::string desktopText(xharness::XConnection& x, ClientWindow& window) {
    std::ostringstream text;
    text << "on " << window.desktop().value_or(0) + 1 << ", showing " << x.currentDesktop().value_or(0) + 1
         << " of " << x.numberOfDesktops().value_or(0);
    return text.str();
}

std::string slug(const DemoStep& step) {
    std::string name(step.action.asPlacement() ? step.action.asPlacement()->rawValue()
                                               : step.action.asSpace()->rawValue());
    return step.restores ? name + "-restore" : name;
}

std::unique_ptr<ClientWindow> openDemoWindow(XServer& server) {
    paintWallpaper(server.x(), server.monitors());
    return ClientWindow::open(server, "Corvane demo window", 720, 480);
}

class DemoRun {
public:
    DemoRun(const std::filesystem::path& app, std::filesystem::path outDir, std::ostream& out)
        : server_(desktopLayout()),
          app_(app, server_),
          window_(openDemoWindow(server_)),
          outDir_(std::move(outDir)),
          out_(out) {}

    DemoResult run() {
        const xharness::StartTimes& times = server_.startTimes();
        out_ << "Private desktop " << server_.display() << ": Xvfb " << times.server.count()
             << " ms, openbox " << times.windowManager.count() << " ms, trayer " << times.tray.count()
             << " ms; corvane ready in " << app_.startDuration().count() << " ms.\n\n";
        out_ << std::left << std::setw(4) << "#" << std::setw(22) << "Keys" << std::setw(28) << "Action"
             << std::setw(30) << "Window frame (x, y, w x h)" << std::setw(24) << "Desktop" << std::setw(8)
             << "ms"
             << "Result\n";
        out_ << std::string(120, '-') << "\n";
        row(0, "", "Start", true, 0);
        screenshot(0, "start", "The demo window, before any shortcut");

        int index = 0;
        DemoResult result;
        for (const DemoStep& step : demoSteps()) {
            ++index;
            const auto started = std::chrono::steady_clock::now();
            const bool ok = perform(step);
            const auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(
                std::chrono::steady_clock::now() - started);
            std::string title(step.action.title());
            if (step.restores) title += " (restore)";
            row(index, step.chord, title, ok, elapsed.count());
            screenshot(index, slug(step), step.chord + "   " + title);
            ++result.steps;
            if (!ok) ++result.failures;
        }
        if (!app_.isAlive()) {
            out_ << "\ncorvane ended during the demo:\n" << app_.stderrText();
            ++result.failures;
            return result;
        }
        // Quitting lets the app finish what it queued; anything it then
        // reports is a failure the frames alone would not show.
        app_.stop();
        if (const std::string said = app_.stderrText(); said.find("corvane: ") != std::string::npos) {
            out_ << "\ncorvane reported:\n" << said;
            ++result.failures;
        }
        return result;
    }

private:
    // Types the step's chord and waits (on X events) until the window shows
    // what the step should do; false when it did not within five seconds.
    bool perform(const DemoStep& step) {
        xharness::XConnection& x = server_.x();
        const Rect before = window_->frame().value_or(Rect{});
        std::function<bool()> done;
        if (auto placement = step.action.asPlacement()) {
            const Rect target = expectedFrame(*placement, before, step.restores);
            done = [this, target] { return window_->frame() == target; };
        } else {
            const SpaceAction space = *step.action.asSpace();
            const std::uint32_t desktop = static_cast<std::uint32_t>(space.number() - 1);
            const std::uint32_t showing = space.followsWindow() ? desktop : x.currentDesktop().value_or(0);
            done = [this, &x, desktop, showing] {
                return window_->desktop() == desktop && x.currentDesktop() == showing &&
                       x.numberOfDesktops().value_or(0) > desktop;
            };
        }
        server_.keyboard().press(step.chord);
        return x.waitFor(done);
    }

    Rect expectedFrame(Placement placement, const Rect& current, bool restores) {
        std::vector<xharness::MonitorArea> monitors = server_.monitors();
        std::vector<Rect> frames;
        for (const auto& m : monitors) frames.push_back(m.frame);
        const std::size_t here = Geometry::screenIndex(current, frames).value_or(0);
        const Rect area = monitors[here].visible;
        if (restores) return beforeFullScreen_;
        if (placement == Placement::maximize) beforeFullScreen_ = current;
        if (auto step = placement.displayStep()) {
            const std::size_t there = Geometry::adjacentScreen(here, *step, frames);
            return Geometry::moved(current, area, monitors[there].visible);
        }
        return Geometry::frame(placement, area, 0);
    }

    void row(int index, const std::string& chord, const std::string& title, bool ok, long ms) {
        out_ << std::left << std::setw(4) << index << std::setw(22) << chord << std::setw(28) << title
             << std::setw(30) << frameText(window_->frame()) << std::setw(24)
             << desktopText(server_.x(), *window_) << std::setw(8) << (index == 0 ? "" : std::to_string(ms))
             << (ok ? "ok" : "NOT AS EXPECTED") << "\n"
             << std::flush;
    }

    // The whole screen, with the step written above it.
    void screenshot(int index, const std::string& name, const std::string& caption) {
        std::ostringstream file;
        file << std::setw(2) << std::setfill('0') << index << "-" << name << ".png";
        const std::string path = (outDir_ / file.str()).string();
        auto succeeded = [](const xharness::CommandResult& r) {
            return r.status && r.status->exited && r.status->code == 0;
        };
        xharness::CommandResult shot = server_.runClient({"import", "-window", "root", path});
        if (!succeeded(shot)) {
            out_ << "    (no screenshot: " << shot.err << ")\n";
            return;
        }
        // Without the caption the picture is still worth keeping.
        server_.runClient({"convert", path, "-gravity", "North", "-background", "#202020", "-splice", "0x36",
                           "-fill", "white", "-pointsize", "22", "-annotate", "+0+6",
                           std::to_string(index) + "   " + caption, path});
    }

    XServer server_;
    xharness::CorvaneProcess app_;
    std::unique_ptr<ClientWindow> window_;
    std::filesystem::path outDir_;
    std::ostream& out_;
    Rect beforeFullScreen_;
};

}  // namespace

DemoResult runDemo(const std::filesystem::path& app, const std::filesystem::path& outDir, std::ostream& out) {
    DemoRun demo(app, outDir, out);
    return demo.run();
}

}  // namespace corvane::demo
