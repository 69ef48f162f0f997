#pragma once

#include <QIcon>
#include <QMenu>
#include <QSystemTrayIcon>
#include <memory>

#include "app/platform/keyboard_map.hpp"
#include "app/platform/platform.hpp"
#include "app/platform/window_manager.hpp"
#include "app/shell/app_control.hpp"
#include "app/state/config_store.hpp"

namespace corvane {

class NativeSpaces;
class SettingsWindow;
class TourController;
class WindowMover;

// The application itself: owns the one store for the life of the process,
// puts the mark into the system tray with the status menu (rebuilt at every
// opening), dims the mark while switched off, and is what the menu and the
// instance channel act on. No main window, no taskbar entry. Main thread.
class AppDelegate final : public AppControl {
public:
    // The keyboard map reads keys in our own windows (recorder, tour).
    AppDelegate(Platform& platform, WindowMover& mover, NativeSpaces& spaces, const KeyboardMap& keyboardMap);
    ~AppDelegate() override;

    // The launch sequence: the store (which loads the settings and registers
    // the hot keys), the tray icon with its menu and dimming, then on a
    // first run the guided tour (which holds the hot keys off until it
    // ends), otherwise the system's request for window access if it is missing.
    void applicationDidFinishLaunching();
    // True while the tray icon is shown, a tray is there, and the toolkit
    // has not yet made the icon's window for it to take in.
    bool trayIconAwaitsItsWindow() const;

    // The window manager the settings window describes and asks to bring
    // it forward, where there is a separate one (X11). Set before launch.
    void setWindowManager(WindowManager* windowManager) { windowManager_ = windowManager; }

    // AppControl.
    bool isEnabled() const override;
    void setEnabled(bool enabled) override;
    bool desktopsAvailable() override;
    const std::unordered_set<WindowAction>& unavailable() const override;
    void perform(const WindowAction& action, OutcomeHandler done) override;
    void requestAccess() override;
    void openSettings() override;
    void openTour() override;
    bool isTourOpen() const override;
    void bringForward() override;
    void quit() override;

private:
    void rebuildMenu();
    void showMark(bool enabled);
    // Creates the settings window on first use; later calls bring it forward.
    void showSettings();

    Platform& platform_;
    WindowMover& mover_;
    NativeSpaces& spaces_;
    const KeyboardMap& keyboardMap_;
    std::shared_ptr<ConfigStore> store_;
    Signal<bool>::Connection enabledConnection_;
    QIcon mark_;
    QIcon dimmedMark_;
    // The tray icon refers to the menu, so it is declared after it (and goes first).
    std::unique_ptr<QMenu> menu_;
    std::unique_ptr<QSystemTrayIcon> trayIcon_;
    WindowManager* windowManager_ = nullptr;
    // Last, so they go first: they refer to the store.
    std::unique_ptr<TourController> tour_;
    std::unique_ptr<SettingsWindow> settings_;
};

}  // namespace corvane
