#pragma once

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>
#include <QWidget>
#include <functional>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include "app/platform/accessibility.hpp"
#include "app/platform/keyboard_map.hpp"
#include "app/platform/system_feedback.hpp"
#include "app/platform/window_manager.hpp"
#include "app/platform/workspace.hpp"
#include "app/settings/gap_row.hpp"
#include "app/settings/permission_row.hpp"
#include "app/settings/permission_rows.hpp"
#include "app/settings/settings_words.hpp"
#include "app/settings/shortcut_recorder.hpp"
#include "app/settings/shortcut_row.hpp"
#include "app/state/config_store.hpp"

namespace corvane {

// What the settings window reads and acts on. Everything outlives the window.
struct SettingsServices {
    ConfigStore& store;
    Accessibility& accessibility;
    Workspace& workspace;
    SystemFeedback& feedback;
    // Whether desktop moves can work here; asked at every poll.
    std::function<bool()> desktopsAvailable;
    // The separate window manager, where there is one (X11); null elsewhere.
    WindowManager* windowManager = nullptr;
    // Reads the keys typed while recording; null where the toolkit's own key
    // is all there is (the offscreen platform of tests).
    const KeyboardMap* keyboardMap = nullptr;
};

// The application's one ordinary window: status rows, a recorder row per
// action grouped by kind, the gap, the on/off and launch-at-login switches.
// Created once and kept; closing only hides it and ends any recording. Every
// change goes through the store, which saves it and registers the hot keys.
// Main thread only.
class SettingsWindow final : public QWidget {
public:
    static constexpr int pollMilliseconds = 1000;

    SettingsWindow(SettingsServices services, SettingsWords words);
    ~SettingsWindow() override;

    // Shows the window in front of the user, on the desktop they look at.
    void present();

    ShortcutRecorder& recorder() { return recorder_; }
    ShortcutRow* row(const WindowAction& action) const;
    QPushButton& restoreButton() { return *restore_; }
    GapRow& gapRow() { return *gap_; }
    QCheckBox& enableSwitch() { return *enable_; }
    QCheckBox& launchSwitch() { return *launch_; }
    QLabel& desktopsUnavailableLabel() { return *desktopsUnavailable_; }
    const std::vector<PermissionRowWidget*>& permissionRows() const { return permissionRows_; }
    // The permission and window-manager rows follow the system once a
    // second, but only while the window is visible.
    bool isPolling() const { return poll_.isActive(); }
    // What each tick of the poll does.
    void pollNow();
    bool holdsKeyboard() const { return monitoring_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void buildPermissionSection(QVBoxLayout& content);
    void buildShortcutSections(QVBoxLayout& content);
    void buildLayoutAndGeneral(QVBoxLayout& content);
    void showPermissions(const PermissionState& state);
    void runPermissionAction(PermissionRow::Action action);
    void refresh();
    // Installs or removes the key monitor and the keyboard grab to match
    // whether an action records.
    void followRecording();
    // Grabs the keyboard for the recording, retrying while the server refuses.
    void takeKeyboard();

    SettingsServices services_;
    SettingsWords words_;
    ShortcutRecorder recorder_;
    std::vector<std::pair<WindowAction, ShortcutRow*>> rows_;
    QWidget* permissionBox_ = nullptr;
    std::vector<PermissionRowWidget*> permissionRows_;
    std::optional<PermissionState> permissionState_;
    QLabel* desktopsUnavailable_ = nullptr;
    QPushButton* restore_ = nullptr;
    GapRow* gap_ = nullptr;
    QCheckBox* enable_ = nullptr;
    QCheckBox* launch_ = nullptr;
    QTimer poll_;
    QTimer grabRetry_;
    bool monitoring_ = false;
    Signal<>::Connection storeConnection_;
    Signal<>::Connection hintConnection_;
};

}  // namespace corvane
