// The settings window on Qt's offscreen platform, over the in-memory desktop:
// what a user clicks and types, and what the store then holds.

#include "app/settings/settings_window.hpp"

#include <QAccessible>
#include <QApplication>
#include <QGraphicsOpacityEffect>
#include <QScrollArea>
#include <QtTest>

#include "app/settings/glyph_label.hpp"
#include "app/settings/settings_header.hpp"
#include "tests/settings/settings_fixture.hpp"

namespace corvane {
namespace {

const WindowAction leftHalf = WindowAction::placement(Placement::leftHalf);
const WindowAction topHalf = WindowAction::placement(Placement::topHalf);

class StubWindowManager final : public WindowManager {
public:
    Facts facts() override { return facts_; }
    void present(std::uint64_t window) override { presented.push_back(window); }
    Facts facts_{"Openbox", {}, {}};
    std::vector<std::uint64_t> presented;
};

SettingsWords linuxWords() {
    KeyboardMap::Names names;
    names.shortcutsInWords = true;
    names.optionShort = "Alt";
    names.commandShort = "Super";
    return SettingsWords::forKeyboard(names);
}

// What a screen reader would read as the control's name.
QString accessibleName(QWidget* widget) {
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(widget);
    return face ? face->text(QAccessible::Name) : QString();
}

struct Harness {
    explicit Harness(WindowManager* wm = nullptr, SettingsWords words = {})
        : window(
              SettingsServices{*world.store, world.desktop.accessibility(), world.desktop.workspace(),
                               world.desktop.feedback(), [this] { return desktopsAvailable; }, wm, nullptr},
              std::move(words)) {}
    testing::SettingsWorld world;
    bool desktopsAvailable = true;
    SettingsWindow window;
    ConfigStore& store() { return *world.store; }
};

}  // namespace

class SettingsWindowTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void recordsACombinationTypedIntoTheWindow() {
        Harness h;
        h.window.present();
        ShortcutRow* row = h.window.row(topHalf);
        QTest::mouseClick(&row->recordButton(), Qt::LeftButton);
        QCOMPARE(h.store().recording(), std::optional(topHalf));
        QCOMPARE(row->recordButton().text(), QStringLiteral("Type shortcut…"));
        QVERIFY(h.window.holdsKeyboard());
        QCOMPARE(h.world.registered(), std::size_t(0));

        QTest::keyClick(&row->recordButton(), Qt::Key_K, Qt::ControlModifier | Qt::AltModifier);
        const Shortcut stored = h.store().config().shortcuts.at(Placement::topHalf);
        QCOMPARE(stored.keyCode, 40u);
        QCOMPARE(stored.modifiers, 0x1800u);
        QCOMPARE(row->recordButton().text(), QStringLiteral("⌃⌥K"));
        QVERIFY(!h.window.holdsKeyboard());
        QCOMPARE(h.world.registered(), std::size_t(29));
    }

    void rejectedKeyShowsTheHintAndSpaceDoesNotPressTheButton() {
        Harness h;
        h.window.present();
        ShortcutRow* row = h.window.row(leftHalf);
        QTest::mouseClick(&row->recordButton(), Qt::LeftButton);
        QTest::keyClick(&row->recordButton(), Qt::Key_A, Qt::ShiftModifier);
        QCOMPARE(row->noteLabel().text(), QStringLiteral("Include ⌘, ⌥ or ⌃ — e.g. ⌃⌥⌘A"));
        QCOMPARE(h.world.desktop.feedback().beeps(), 1);
        // Space would click the focused button; while recording it is a key like any other.
        QTest::keyClick(&row->recordButton(), Qt::Key_Space);
        QCOMPARE(h.store().recording(), std::optional(leftHalf));
        QCOMPARE(row->noteLabel().text(), QStringLiteral("Include ⌘, ⌥ or ⌃ — e.g. ⌃⌥⌘Space"));
        QTest::keyClick(&row->recordButton(), Qt::Key_Escape);
        QVERIFY(!h.store().recording());
        QCOMPARE(h.store().config(), Config::defaults());
        QVERIFY(row->noteLabel().isHidden());
    }

    void backspaceRemovesAndTheRemoveButtonFades() {
        Harness h;
        h.window.present();
        ShortcutRow* row = h.window.row(leftHalf);
        QVERIFY(row->removeButton().isEnabled());
        QTest::mouseClick(&row->recordButton(), Qt::LeftButton);
        QTest::keyClick(&row->recordButton(), Qt::Key_Backspace);
        QVERIFY(!h.store().config().shortcuts.contains(Placement::leftHalf));
        QCOMPARE(row->recordButton().text(), QStringLiteral("Record Shortcut"));
        QVERIFY(!row->removeButton().isEnabled());
        auto* effect = static_cast<QGraphicsOpacityEffect*>(row->removeButton().graphicsEffect());
        QCOMPARE(effect->opacity(), 0.0);
    }

    void closingWhileRecordingEndsItUnchangedAndStopsThePoll() {
        Harness h;
        h.window.present();
        QVERIFY(h.window.isPolling());
        QTest::mouseClick(&h.window.row(leftHalf)->recordButton(), Qt::LeftButton);
        h.window.close();
        QVERIFY(!h.store().recording());
        QVERIFY(!h.window.holdsKeyboard());
        QVERIFY(!h.window.isPolling());
        QCOMPARE(h.world.registered(), std::size_t(29));
        QCOMPARE(h.store().config(), Config::defaults());
        // Shown again: the same window, polling again.
        h.window.present();
        QVERIFY(h.window.isPolling());
    }

    void restoreButtonFollowsTheShortcutsNotTheGap() {
        Harness h;
        h.window.present();
        QVERIFY(!h.window.restoreButton().isEnabled());
        h.window.gapRow().slider().setValue(4);
        QVERIFY(!h.window.restoreButton().isEnabled());
        QTest::mouseClick(&h.window.row(leftHalf)->removeButton(), Qt::LeftButton);
        QVERIFY(h.window.restoreButton().isEnabled());
        QTest::mouseClick(&h.window.restoreButton(), Qt::LeftButton);
        QVERIFY(!h.window.restoreButton().isEnabled());
        QCOMPARE(h.store().config().gap, std::int64_t(8));
        QCOMPARE(h.window.row(leftHalf)->recordButton().text(), QStringLiteral("⌃⌥⌘←"));
    }

    void sliderStepsByTwoAndWritesThroughTheStore() {
        Harness h;
        h.window.present();
        GapRow& gap = h.window.gapRow();
        for (int position = 0; position <= gap.slider().maximum(); ++position) {
            gap.slider().setValue(position);
            QCOMPARE(h.store().config().gap, std::int64_t(position * 2));
            QCOMPARE(gap.valueLabel().text(), QString::number(position * 2) + QStringLiteral(" pt"));
            QCOMPARE(gap.preview().gap(), std::int64_t(position * 2));
        }
        QCOMPARE(gap.slider().maximum(), 20);
        const auto saved = h.world.desktop.defaults().value("config");
        QVERIFY(saved.has_value());
        QCOMPARE(h.store().config().gap, std::int64_t(40));
    }

    void draggingFollowsAtOnceAndWritesOnceOnRelease() {
        Harness h;
        h.window.present();
        GapRow& gap = h.window.gapRow();
        gap.slider().setSliderDown(true);
        for (int position = 1; position <= 10; ++position) {
            gap.slider().setSliderPosition(position);
            QCOMPARE(gap.valueLabel().text(), QString::number(position * 2) + QStringLiteral(" pt"));
            QCOMPARE(gap.preview().gap(), std::int64_t(position * 2));
        }
        QCOMPARE(h.store().config().gap, std::int64_t(0));
        QVERIFY(!h.world.desktop.defaults().value("config"));
        h.world.desktop.log().clear();
        gap.slider().setSliderDown(false);
        QCOMPARE(h.store().config().gap, std::int64_t(20));
        QCOMPARE(h.world.desktop.log().count("setBytes config"), std::size_t(1));
    }

    void switchesWriteTheStoreAndShowTheLoginItemAsItIs() {
        Harness h;
        h.window.present();
        h.window.enableSwitch().click();
        QVERIFY(!h.store().isEnabled());
        QCOMPARE(h.world.registered(), std::size_t(0));
        h.window.launchSwitch().click();
        QCOMPARE(h.window.launchSwitch().isChecked(), h.store().launchAtLogin());

        // A change the system refuses leaves the switch as the system has it.
        h.world.desktop.loginItem().setFailure("read-only autostart folder");
        h.window.launchSwitch().click();
        QVERIFY(h.window.launchSwitch().isChecked());
        QVERIFY(h.store().launchAtLogin());
        // Removed behind our back: the next tick of the poll shows it.
        h.world.desktop.loginItem().setEnabled(false);
        h.window.pollNow();
        QVERIFY(!h.window.launchSwitch().isChecked());
    }

    void goingToAnotherWindowEndsRecordingUnchanged() {
        Harness h;
        h.window.present();
        QVERIFY(QTest::qWaitForWindowActive(&h.window));
        QTest::mouseClick(&h.window.row(leftHalf)->recordButton(), Qt::LeftButton);
        QVERIFY(h.window.holdsKeyboard());
        QWidget elsewhere;
        elsewhere.show();
        elsewhere.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&elsewhere));
        QTRY_VERIFY(!h.store().recording());
        QVERIFY(!h.window.holdsKeyboard());
        QCOMPARE(h.world.registered(), std::size_t(29));
        QCOMPARE(h.store().config(), Config::defaults());
    }

    void permissionRowFollowsTrustAndSizeUpAtTheNextTick() {
        Harness h;
        h.window.present();
        QCOMPARE(h.window.permissionRows().size(), std::size_t(1));
        QCOMPARE(h.window.permissionRows()[0]->row().title, std::string("Accessibility access granted"));
        h.world.desktop.accessibility().setTrusted(false);
        h.world.desktop.workspace().addRunningApplication(std::string(sizeUpBundleIdentifier), 4242);
        h.window.pollNow();
        QCOMPARE(h.window.permissionRows().size(), std::size_t(2));
        QCOMPARE(h.window.permissionRows()[0]->row().title, std::string("Accessibility access needed"));
        h.window.permissionRows()[0]->button()->click();
        QCOMPARE(h.world.desktop.accessibility().trustRequests(), 1);
        h.window.permissionRows()[1]->button()->click();
        QCOMPARE(h.world.desktop.workspace().terminated(), std::vector<pid_t>{4242});
        h.window.pollNow();
        // Gone at the next tick.
        QCOMPARE(h.window.permissionRows().size(), std::size_t(1));
    }

    void windowManagerRowAndDesktopsSentenceOnLinux() {
        StubWindowManager wm;
        KeyboardMap::Names names;
        names.shortcutsInWords = true;
        names.optionShort = "Alt";
        names.commandShort = "Super";
        Harness h(&wm, SettingsWords::forKeyboard(names));
        h.desktopsAvailable = false;
        wm.facts_.missingForDesktops = {"_NET_WM_DESKTOP"};
        h.window.present();
        QCOMPARE(wm.presented.size(), std::size_t(1));
        QCOMPARE(h.window.permissionRows()[0]->row().title, std::string("Window manager: Openbox"));
        QVERIFY(!h.window.desktopsUnavailableLabel().isHidden());
        QCOMPARE(h.window.desktopsUnavailableLabel().text(),
                 QStringLiteral("Desktop moves need _NET_WM_DESKTOP, which Openbox does not offer."));
        QCOMPARE(h.window.row(leftHalf)->recordButton().text(), QStringLiteral("Ctrl+Alt+Super+←"));
        h.desktopsAvailable = true;
        wm.facts_.missingForDesktops.clear();
        h.window.pollNow();
        QVERIFY(h.window.desktopsUnavailableLabel().isHidden());
    }

    // --- Keyboard alone, and what assistive technology reads ---

    void tabVisitsEveryControlTopToBottomAndEachHasAName() {
        Harness h(nullptr, linuxWords());
        h.window.present();
        QVERIFY(QTest::qWaitForWindowActive(&h.window));
        // The status row is rebuilt when trust changes; its new button must
        // still come first, not at the end of the chain.
        h.world.desktop.accessibility().setTrusted(false);
        h.window.pollNow();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents();  // new rows show at the next turn of the loop
        QPushButton* grant = h.window.permissionRows().at(0)->findChild<QPushButton*>();
        QVERIFY(grant);
        Config changed = h.store().config();
        changed.shortcuts.erase(Placement::topHalf);
        h.store().setConfig(changed);

        grant->setFocus();
        QVERIFY(grant->hasFocus());
        std::vector<QWidget*> visited{grant};
        for (int step = 0; step < 200; ++step) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            if (QApplication::focusWidget() == grant) break;
            visited.push_back(QApplication::focusWidget());
        }
        QCOMPARE(QApplication::focusWidget(), grant);

        QWidget* form = h.window.findChild<QScrollArea*>()->widget();
        auto centre = [form](QWidget* w) { return w->mapTo(form, w->rect().center()); };
        for (std::size_t i = 1; i < visited.size(); ++i) {
            const QPoint a = centre(visited[i - 1]);
            const QPoint b = centre(visited[i]);
            const bool below = b.y() > a.y() + 2;
            const bool rightOnSameLine = std::abs(b.y() - a.y()) <= 2 && b.x() > a.x();
            QVERIFY2(below || rightOnSameLine,
                     qPrintable(accessibleName(visited[i - 1]) + " before " + accessibleName(visited[i])));
        }
        for (QWidget* widget : visited)
            QVERIFY2(!accessibleName(widget).isEmpty(), widget->metaObject()->className());

        auto visits = [&](QWidget* w) {
            return std::find(visited.begin(), visited.end(), w) != visited.end();
        };
        // 29 record buttons, 28 remove buttons (Top Half has none now), the
        // restore button, the slider, two switches and the status button.
        QCOMPARE(visited.size(), std::size_t(29 + 28 + 1 + 1 + 2 + 1));
        QVERIFY(visits(&h.window.restoreButton()));
        QVERIFY(visits(&h.window.enableSwitch()));
        QVERIFY(visits(&h.window.launchSwitch()));
        QVERIFY2(!visits(&h.window.row(topHalf)->removeButton()), "a hidden remove button is skipped");
        QCOMPARE(accessibleName(&h.window.row(leftHalf)->recordButton()),
                 QStringLiteral("Left Half, Ctrl+Alt+Super+←"));
        QCOMPARE(accessibleName(&h.window.row(leftHalf)->removeButton()),
                 QStringLiteral("Remove shortcut, Left Half"));
    }

    void recordButtonDescribesTheRowsNote() {
        Harness h(nullptr, linuxWords());
        // Another program holds Ctrl+Alt+K; Left Half is given it.
        h.world.desktop.hotKeys().refuse(40, Shortcut::control | Shortcut::option);
        Config config = h.store().config();
        config.shortcuts[Placement::leftHalf] = Shortcut{40, Shortcut::control | Shortcut::option, "K"};
        h.store().setConfig(config);
        h.window.present();
        QAccessibleInterface* face =
            QAccessible::queryAccessibleInterface(&h.window.row(leftHalf)->recordButton());
        QVERIFY(face);
        QCOMPARE(face->text(QAccessible::Description), QStringLiteral("Couldn't register this shortcut"));
        QCOMPARE(QAccessible::queryAccessibleInterface(&h.window.row(topHalf)->recordButton())
                     ->text(QAccessible::Description),
                 QString());
    }

    void glyphsWithCutOutsLeaveTheRowBackgroundShowing() {
        // The desktop symbols cut parts away; on the window that must show
        // the row behind them, not black.
        for (const char* symbol : {"rectangle.portrait.and.arrow.right", "rectangle.on.rectangle.angled"}) {
            QWidget row;
            row.setAutoFillBackground(true);
            QPalette white = row.palette();
            white.setColor(QPalette::Window, Qt::white);
            row.setPalette(white);
            auto* glyph = new GlyphLabel(18, &row);
            glyph->setGlyph(symbol, Qt::red);
            row.resize(18, 18);
            const QImage shot = row.grab().toImage();
            int dark = 0;
            for (int y = 0; y < shot.height(); ++y)
                for (int x = 0; x < shot.width(); ++x)
                    if (qGray(shot.pixel(x, y)) < 40) ++dark;
            QVERIFY2(dark == 0, symbol);
        }
    }

    void headerPaintsTheApplicationIconWithoutShowingItToAssistiveTechnology() {
        {
            Harness h;
            auto* header = h.window.findChild<SettingsHeader*>();
            QVERIFY(header);
            QVERIFY2(!header->showsIcon(), "no icon loaded: left out");
        }
        QPixmap mark(42, 42);
        mark.fill(Qt::black);
        QApplication::setWindowIcon(QIcon(mark));
        Harness h;
        auto* header = h.window.findChild<SettingsHeader*>();
        QVERIFY(header->showsIcon());
        QVERIFY(header->height() >= SettingsHeader::iconSize);
        QAccessibleInterface* face = QAccessible::queryAccessibleInterface(header);
        QStringList read;
        for (int i = 0; i < face->childCount(); ++i) read << face->child(i)->text(QAccessible::Name);
        QCOMPARE(read, (QStringList{"Corvane", "Window placement, simplified."}));
        QApplication::setWindowIcon(QIcon());
    }
};

}  // namespace corvane

QTEST_MAIN(corvane::SettingsWindowTest)
#include "settings_window_test.moc"
