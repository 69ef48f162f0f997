#include "tests/e2e/e2e_support.hpp"

#include <nlohmann/json.hpp>

#include <cstdlib>
#include <sstream>

namespace corvane {

void PrintTo(const Rect& rect, std::ostream* out) {
    *out << "(" << rect.x << ", " << rect.y << ", " << rect.width << " x " << rect.height << ")";
}

namespace e2e {

std::optional<std::filesystem::path> corvaneBinary() {
    if (const char* fromEnvironment = std::getenv("CORVANE_E2E_BINARY");
        fromEnvironment && *fromEnvironment) {
        return std::filesystem::path(fromEnvironment);
    }
#ifdef CORVANE_BINARY
    if (std::filesystem::exists(CORVANE_BINARY)) return std::filesystem::path(CORVANE_BINARY);
#endif
    return std::nullopt;
}

std::map<std::filesystem::path, std::string> settingsFiles(const std::optional<Config>& config) {
    std::map<std::filesystem::path, std::string> files;
    if (config) files["corvane/config"] = config->encoded();
    return files;
}

std::string chordFor(const Shortcut& shortcut) {
    static const std::map<std::uint32_t, std::string> keys{
        {123, "Left"}, {124, "Right"}, {125, "Down"}, {126, "Up"}, {46, "M"}, {18, "1"}, {19, "2"},
        {20, "3"},     {21, "4"},      {23, "5"},     {22, "6"},   {26, "7"}, {28, "8"}, {25, "9"}};
    std::string chord;
    if (shortcut.modifiers & Shortcut::control) chord += "Ctrl+";
    if (shortcut.modifiers & Shortcut::option) chord += "Alt+";
    if (shortcut.modifiers & Shortcut::shift) chord += "Shift+";
    if (shortcut.modifiers & Shortcut::command) chord += "Super+";
    return chord + keys.at(shortcut.keyCode);
}

std::optional<Status> status(const xharness::CorvaneProcess& app) {
    xharness::CommandResult result = app.run({"--status"});
    if (!result.status || !result.status->exited || result.status->code != 0) {
        ADD_FAILURE() << "corvane --status failed: " << result.err;
        return std::nullopt;
    }
    nlohmann::json line = nlohmann::json::parse(result.out, nullptr, false);
    if (!line.is_object() || !line.contains("enabled") || !line.contains("unavailable")) {
        ADD_FAILURE() << "corvane --status printed: " << result.out;
        return std::nullopt;
    }
    return Status{line["enabled"].get<bool>(), line["unavailable"].get<std::vector<std::string>>(),
                  line.value("tourOpen", false)};
}

void AppTest::SetUp() {
    if (!corvaneBinary()) GTEST_SKIP() << "the corvane binary is not built (set CORVANE_E2E_BINARY)";
    server_ = std::make_unique<xharness::XServer>(serverOptions());
    beforeAppStarts();
    startApp();
}

void AppTest::startApp() {
    app_ = std::make_unique<xharness::CorvaneProcess>(*corvaneBinary(), *server_, appOptions());
}

void AppTest::TearDown() {
    if (app_ && !appMayExit_) {
        EXPECT_TRUE(app_->isAlive()) << "corvane ended during the test: "
                                     << xharness::describe(
                                            app_->exitStatus().value_or(xharness::ExitStatus{}))
                                     << "\nstderr:\n"
                                     << app_->stderrText();
        // A quit request is answered by quitting (work already queued may finish first).
        xharness::ExitStatus stopped = app_->stop();
        EXPECT_TRUE(stopped.exited) << "corvane did not end on SIGTERM: " << xharness::describe(stopped);
        // Every failure the app notices ends in a "corvane: " line; a test
        // in which everything worked must leave none.
        if (!logLinesAllowed_) {
            std::istringstream said(app_->stderrText());
            for (std::string line; std::getline(said, line);) {
                EXPECT_NE(line.rfind("corvane: ", 0), 0U) << "corvane reported a failure: " << line;
            }
        }
    }
    app_.reset();
    windows_.clear();
    server_.reset();
}

xharness::ClientWindow* AppTest::openWindow(const std::string& title) {
    windows_.push_back(xharness::ClientWindow::open(*server_, title));
    return windows_.back().get();
}

::testing::AssertionResult AppTest::expectFrame(xharness::ClientWindow& window, const Rect& expected) {
    if (x().waitFor([&] { return window.frame() == expected; })) return ::testing::AssertionSuccess();
    std::ostringstream message;
    message << "frame ";
    if (auto frame = window.frame()) {
        PrintTo(*frame, &message);
    } else {
        message << "(window gone)";
    }
    message << " never became ";
    PrintTo(expected, &message);
    if (app_ && !app_->isAlive()) message << "; corvane ended. stderr:\n" << app_->stderrText();
    return ::testing::AssertionFailure() << message.str();
}

::testing::AssertionResult AppTest::pressAndExpectFrame(const std::string& chord,
                                                        xharness::ClientWindow& window,
                                                        const Rect& expected) {
    server_->keyboard().press(chord);
    auto result = expectFrame(window, expected);
    if (!result) result << " (after " << chord << ")";
    return result;
}

Rect AppTest::primaryVisible() {
    return server_->monitors().at(0).visible;
}

}  // namespace e2e
}  // namespace corvane
