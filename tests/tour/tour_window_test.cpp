// The tour window and its controller on Qt's offscreen platform, with the
// application's state over the fake desktop: keys reach the lesson only
// while the tour is the active window, the button follows the tries, and
// opening and closing hold the shortcuts off and give them back.

#include "app/tour/tour_window.hpp"

#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>

#include "app/desktops/native_spaces.hpp"
#include "app/placement/window_mover.hpp"
#include "app/tour/tour_controller.hpp"
#include "ports/fake/fake_desktop.hpp"

namespace corvane {
namespace {

const Qt::KeyboardModifiers base = Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier;

// Presses and releases the chord's modifiers around the key, as a person does.
void typeChord(QWindow* window, Qt::KeyboardModifiers held, Qt::Key key) {
    Qt::KeyboardModifiers down;
    const std::pair<Qt::KeyboardModifier, Qt::Key> order[] = {{Qt::ControlModifier, Qt::Key_Control},
                                                              {Qt::AltModifier, Qt::Key_Alt},
                                                              {Qt::ShiftModifier, Qt::Key_Shift},
                                                              {Qt::MetaModifier, Qt::Key_Meta}};
    for (const auto& [modifier, modifierKey] : order) {
        if (!(held & modifier)) continue;
        QTest::keyPress(window, modifierKey, down);
        down |= modifier;
    }
    QTest::keyClick(window, key, held);
    for (auto it = std::rbegin(order); it != std::rend(order); ++it) {
        if (!(held & it->first)) continue;
        down &= ~it->first;
        QTest::keyRelease(window, it->second, down);
    }
}

class TourWindowTest : public ::testing::Test {
protected:
    std::size_t registered() { return desktop.hotKeys().registrations().size(); }

    TourWindow& openTour() {
        controller.show(store);
        EXPECT_TRUE(QTest::qWaitForWindowActive(controller.window()));
        return *controller.window();
    }

    void closeAndSettle(TourWindow& window) {
        window.close();
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents();
    }

    fake::FakeDesktop desktop;
    WindowMover mover{desktop.platform()};
    NativeSpaces spaces{desktop.platform()};
    std::shared_ptr<ConfigStore> store = ConfigStore::create(desktop.platform(), mover, spaces);
    TourController controller{desktop.platform(), nullptr};
};

TEST_F(TourWindowTest, KeysDriveTheLessonsToTheEnd) {
    TourWindow& window = openTour();
    QWindow* handle = window.windowHandle();
    EXPECT_EQ(0u, registered());
    EXPECT_FALSE(window.button().isVisible());

    // Holding the third modifier starts lesson 1, and the arrow is its first try.
    typeChord(handle, base, Qt::Key_Left);
    EXPECT_EQ(1, window.model().step());
    EXPECT_EQ((DemoFrame{0, 0, 0.5, 1}), window.model().frame());
    // Modifiers are all let go again.
    EXPECT_EQ(0u, window.model().modifiers());

    typeChord(handle, base, Qt::Key_Right);
    EXPECT_EQ((DemoFrame{0.5, 0, 0.5, 1}), window.model().frame());
    EXPECT_TRUE(window.button().isEnabled());
    EXPECT_EQ("Continue", window.button().text());
    QTest::keyClick(handle, Qt::Key_Return);
    EXPECT_EQ(2, window.model().step());
    // Return without a try does nothing.
    QTest::keyClick(handle, Qt::Key_Return);
    EXPECT_EQ(2, window.model().step());

    typeChord(handle, Qt::ControlModifier | Qt::AltModifier | Qt::ShiftModifier, Qt::Key_Down);
    window.button().click();
    EXPECT_EQ(3, window.model().step());
    typeChord(handle, Qt::ControlModifier | Qt::AltModifier | Qt::ShiftModifier, Qt::Key_4);
    EXPECT_EQ(4, window.model().desktopNumber());
    EXPECT_TRUE(window.model().followsDesktop());
    EXPECT_EQ("Finish Tour", window.button().text());

    window.button().click();
    QCoreApplication::processEvents();
    EXPECT_FALSE(controller.isOpen());
    EXPECT_EQ(true, desktop.defaults().boolValue("tourCompleted"));
    EXPECT_EQ(29u, registered());
    EXPECT_EQ(0u, desktop.log().count("requestTrust"));
}

TEST_F(TourWindowTest, KeysWhileAnotherWindowIsActivePassThrough) {
    TourWindow& window = openTour();
    QWidget other;
    other.show();
    other.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
    ASSERT_FALSE(window.isActiveWindow());

    typeChord(window.windowHandle(), base, Qt::Key_Left);
    EXPECT_EQ(0, window.model().step());
    EXPECT_EQ(0u, window.model().modifiers());
}

TEST_F(TourWindowTest, CloseButtonGivesShortcutsBackAndTheNextOpeningStartsOver) {
    TourWindow& first = openTour();
    typeChord(first.windowHandle(), base, Qt::Key_Left);
    ASSERT_EQ(1, first.model().step());
    // A second opening brings the same tour forward.
    controller.show(store);
    EXPECT_EQ(&first, controller.window());
    EXPECT_EQ(1, first.model().step());

    closeAndSettle(first);
    EXPECT_FALSE(controller.isOpen());
    EXPECT_EQ(29u, registered());
    EXPECT_FALSE(desktop.defaults().boolValue("tourCompleted"));

    TourWindow& second = openTour();
    EXPECT_EQ(0, second.model().step());
    EXPECT_EQ(0u, registered());
}

}  // namespace
}  // namespace corvane

int main(int argc, char** argv) {
    // Windows, focus and keys without a display.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
