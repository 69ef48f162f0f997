// Shortcuts on the keyboards people really use, against a real server whose
// layout the test switches with setxkbmap: AZERTY and Czech digits, a
// Cyrillic layout, two layouts at once, layouts switched while the port
// runs, and a client remapping keys all the time. Synchronised on round
// trips and X events, never on time.
#include <gtest/gtest.h>
#include <xcb/xcb.h>

#include <X11/keysym.h>

// xkb.h names a structure member `explicit`, a C++ keyword.
#if defined(__clang__)
#pragma clang diagnostic push
#pragma clang diagnostic ignored "-Wkeyword-macro"
#endif
#define explicit explicit_
#include <xcb/xkb.h>
#undef explicit
#if defined(__clang__)
#pragma clang diagnostic pop
#endif

#include <atomic>
#include <chrono>
#include <memory>
#include <thread>
#include <vector>

#include "ports/x11/x11_port.hpp"
#include "tools/xharness/keyboard.hpp"
#include "tools/xharness/x_server.hpp"

namespace corvane::x11 {
namespace {

using xharness::Chord;
using Change = HotKeyService::Change;

constexpr std::uint32_t kCrvn = 0x4352564E;
constexpr std::uint32_t kControlOption = 0x1800, kControlOptionShift = 0x1A00, kControlOptionCommand = 0x1900;
constexpr std::uint32_t kM = 46, kLeft = 123, kPeriod = 47;
// Product key codes of the digits 1...9.
constexpr std::uint32_t kDigits[] = {18, 19, 20, 21, 23, 22, 26, 28, 25};
// Keycodes of the evdev keycode set every Xvfb here uses: <AB07> (US M)
// and <AE01> (US 1).
constexpr xcb_keycode_t kUsM = 58, kUsOne = 10;
constexpr std::chrono::milliseconds kWait{10000};

class KeyboardLayoutTest : public ::testing::Test {
protected:
    // A server without a window manager: no grabs but ours and the test's.
    void startServer(const std::vector<std::string>& layout = {}) {
        xharness::XServerOptions options;
        options.windowManager = false;
        options.tray = false;
        server_ = std::make_unique<xharness::XServer>(options);
        if (!layout.empty()) setLayout(layout);
        port_ = X11Port::connect(server_->display().c_str());
        ASSERT_TRUE(port_);
        port_->hotKeys().installPressHandler([this](std::optional<HotKeyID> id) {
            if (id) pressed_.push_back(id->id);
            return noErr;
        });
        port_->hotKeys().installChangeHandler([this](Change change) { changes_.push_back(change); });
    }

    void TearDown() override {
        if (port_) {
            EXPECT_TRUE(port_->dispatchPending());
        }
        port_.reset();
        server_.reset();
    }

    // setxkbmap on the test's server; the port has taken the change when it returns.
    void setLayout(const std::vector<std::string>& arguments) {
        std::vector<std::string> argv{"setxkbmap"};
        argv.insert(argv.end(), arguments.begin(), arguments.end());
        const auto result = server_->runClient(argv);
        ASSERT_TRUE(result.status && result.status->exited && result.status->code == 0) << result.err;
        settle();
    }

    // The server sent its notifications before answering the change; a
    // round trip on the port's connection queues them there.
    void settle() {
        if (!port_) return;
        port_->screens().screens();
        ASSERT_TRUE(port_->dispatchPending());
    }

    std::optional<HotKeyService::Reference> add(std::uint32_t key, std::uint32_t modifiers,
                                                std::uint32_t id) {
        return port_->hotKeys().registerHotKey(key, modifiers, HotKeyID{kCrvn, id});
    }

    ::testing::AssertionResult pressesBecome(const std::vector<std::uint32_t>& expected) {
        const bool arrived = server_->x().waitFor(
            [&] {
                port_->dispatchPending();
                return pressed_ == expected;
            },
            kWait, port_->fileDescriptor());
        if (arrived) return ::testing::AssertionSuccess();
        auto failure = ::testing::AssertionFailure() << "presses arrived:";
        for (const auto id : pressed_) failure << " " << id;
        return failure;
    }

    // Types as the layout now is (the harness reads the server's keymap afresh).
    void type(const Chord& chord) {
        xharness::Keyboard keyboard(server_->x());
        keyboard.press(chord);
    }
    void type(std::string_view chord) { type(Chord::parse(chord)); }

    std::unique_ptr<xharness::XServer> server_;
    std::unique_ptr<X11Port> port_;
    std::vector<std::uint32_t> pressed_;
    std::vector<Change> changes_;
};

// --- Latin layouts whose digits are shifted ---

class ShiftedDigits : public KeyboardLayoutTest, public ::testing::WithParamInterface<const char*> {};

// Switched while the port runs: every desktop shortcut and Full Screen
// move to the keys labelled with their characters, and the keys they left
// are given back.
TEST_P(ShiftedDigits, DesktopShortcutsAreTheDigitKeysAndFullScreenTheKeyLabelledM) {
    startServer();
    for (std::uint32_t i = 0; i < 9; ++i) {
        ASSERT_TRUE(add(kDigits[i], kControlOption, 11 + i)) << i + 1;
        ASSERT_TRUE(add(kDigits[i], kControlOptionShift, 20 + i)) << i + 1;
    }
    ASSERT_TRUE(add(kM, kControlOptionCommand, 8));
    setLayout({GetParam()});
    EXPECT_EQ(changes_, std::vector<Change>{Change::keyboard});

    // The harness finds the key that types the digit (shifted here) and
    // presses it without Shift: Ctrl+Alt on the key labelled 1. (One key
    // twice in a row within a millisecond would read as auto-repeat.)
    std::vector<std::uint32_t> expected;
    for (const std::string modifiers : {"Ctrl+Alt+", "Ctrl+Alt+Shift+"}) {
        for (std::uint32_t i = 0; i < 9; ++i) {
            type(modifiers + static_cast<char>('1' + i));
            expected.push_back((modifiers.size() > 9 ? 20 : 11) + i);
        }
    }
    type("Ctrl+Alt+Super+m");
    expected.push_back(8);
    EXPECT_TRUE(pressesBecome(expected));

    if (std::string_view(GetParam()) == "fr") {
        // The US M key types "," on AZERTY: ours no more, free for others.
        Chord usM = Chord::parse("Ctrl+Alt+Super+m");
        usM.keycode = kUsM;
        xharness::Keyboard other(server_->x());
        EXPECT_TRUE(other.grab(usM));
        other.ungrab(usM);
    }
}

INSTANTIATE_TEST_SUITE_P(FrenchAndCzech, ShiftedDigits, ::testing::Values("fr", "cz"));

// --- Layouts without Latin letters, and two layouts at once ---

TEST_F(KeyboardLayoutTest, OnACyrillicLayoutShortcutsSitAtTheirUsPositions) {
    startServer({"ru"});
    ASSERT_TRUE(add(kM, kControlOptionCommand, 8));
    ASSERT_TRUE(add(kDigits[0], kControlOption, 11));
    ASSERT_TRUE(add(kLeft, kControlOptionCommand, 0));

    Chord m = Chord::parse("Ctrl+Alt+Super+m");
    m.keycode = kUsM;
    type(m);
    type("Ctrl+Alt+1");  // digits are the digits' own keys on this layout
    type("Ctrl+Alt+Super+Left");
    EXPECT_TRUE(pressesBecome({8, 11, 0}));

    // The recorder's way back: the key at the US position of M is M.
    const auto key = port_->keyboardMap().productKey(kUsM);
    ASSERT_TRUE(key);
    EXPECT_EQ(key->keyCode, kM);
    EXPECT_EQ(key->characters, "m");
    EXPECT_EQ(port_->keyboardMap().productKey(kUsOne)->keyCode, kDigits[0]);
}

// With a second group active the server adds a modifier (Mod5 for the
// stock group compatibility) to the state it matches grabs against.
TEST_F(KeyboardLayoutTest, WithTwoLayoutsEveryShortcutFiresInEitherGroup) {
    startServer({"-layout", "us,ru"});
    ASSERT_TRUE(add(kM, kControlOptionCommand, 8));
    ASSERT_TRUE(add(kDigits[2], kControlOption, 13));
    ASSERT_TRUE(add(kDigits[2], kControlOptionShift, 22));
    ASSERT_TRUE(add(kLeft, kControlOptionCommand, 0));

    xcb_connection_t* c = server_->x().get();
    auto lockGroup = [&](std::uint8_t group) {
        xcb_discard_reply(c, xcb_xkb_use_extension(c, 1, 0).sequence);
        xcb_xkb_latch_lock_state(c, XCB_XKB_ID_USE_CORE_KBD, 0, 0, 1, group, 0, 0, 0);
        server_->x().sync();
    };
    for (std::uint8_t group : {1, 0}) {
        lockGroup(group);
        pressed_.clear();
        // No key twice in a row, not even across the two rounds.
        type("Ctrl+Alt+3");
        type("Ctrl+Alt+Super+m");
        type("Ctrl+Alt+Shift+3");
        type("Ctrl+Alt+Super+Left");
        EXPECT_TRUE(pressesBecome({13, 8, 22, 0})) << "group " << int(group) + 1;
    }
}

// --- Keymap changes ---

// Another client remaps a key no shortcut uses every few milliseconds; each
// change is announced to the port, which must not let go of its grabs.
TEST_F(KeyboardLayoutTest, PressesDuringAStormOfUnrelatedRemappingsAreNeverLost) {
    startServer();
    ASSERT_TRUE(add(kLeft, kControlOptionCommand, 0));
    ASSERT_TRUE(add(124, kControlOptionCommand, 1));

    std::atomic<bool> stop{false};
    std::atomic<int> remaps{0};
    std::thread storm([&] {
        xcb_connection_t* other = xcb_connect(server_->display().c_str(), nullptr);
        constexpr xcb_keycode_t unused = 250;  // no symbol on any stock layout
        for (bool flip = false; !stop; flip = !flip) {
            const xcb_keysym_t sym = flip ? XK_F21 : XK_F22;
            xcb_change_keyboard_mapping(other, 1, unused, 1, &sym);
            free(xcb_get_input_focus_reply(other, xcb_get_input_focus(other), nullptr));
            ++remaps;
            remaps.notify_all();
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        xcb_disconnect(other);
    });

    // Another client types, as a keyboard does, while this thread works
    // through the notifications: a press the server takes while the port
    // is between releasing and taking a grab again would be lost.
    constexpr std::uint32_t kPresses = 60;
    std::thread typist([&] {
        xharness::XConnection connection(server_->display());
        xharness::Keyboard keys(connection);
        for (std::uint32_t i = 0; i < kPresses; ++i) {
            // At least one remapping between any two presses.
            const int seen = remaps.load();
            remaps.wait(seen);
            keys.press(i % 2 ? "Ctrl+Alt+Super+Right" : "Ctrl+Alt+Super+Left");
        }
    });
    std::vector<std::uint32_t> expected;
    for (std::uint32_t i = 0; i < kPresses; ++i) expected.push_back(i % 2);
    const auto all = pressesBecome(expected);
    typist.join();
    stop = true;
    storm.join();
    EXPECT_TRUE(all);
    EXPECT_TRUE(changes_.empty()) << "nothing of ours changed";
}

TEST_F(KeyboardLayoutTest, AShortcutALayoutCannotTypeIsOutOfForceUntilALayoutCanAgain) {
    startServer();
    const auto period = add(kPeriod, kControlOption, 3);
    const auto left = add(kLeft, kControlOption, 4);
    ASSERT_TRUE(period && left);

    // On AZERTY "." is shifted on a key that stands for ";", and its US
    // position types "/": it has no key.
    setLayout({"fr"});
    EXPECT_FALSE(port_->hotKeys().isActive(*period));
    EXPECT_TRUE(port_->hotKeys().isActive(*left));
    EXPECT_EQ(changes_, std::vector<Change>{Change::keyboard});

    setLayout({"us"});
    EXPECT_TRUE(port_->hotKeys().isActive(*period));
    type("Ctrl+Alt+Left");
    EXPECT_TRUE(pressesBecome({4}));
    EXPECT_EQ(changes_, (std::vector<Change>{Change::keyboard, Change::keyboard}));

    port_->hotKeys().unregisterHotKey(*period);
    EXPECT_FALSE(port_->hotKeys().isActive(*period));
}

}  // namespace
}  // namespace corvane::x11
