#include "app/shell/app_delegate.hpp"

#include <QApplication>
#include <QCursor>

#include "app/desktops/native_spaces.hpp"
#include "app/placement/permissions.hpp"
#include "app/placement/window_mover.hpp"
#include "app/settings/settings_window.hpp"
#include "app/shell/menu_actions.hpp"
#include "app/shell/menu_model.hpp"
#include "app/shell/status_mark.hpp"
#include "app/shell/tray_menu.hpp"
#include "app/tour/tour_controller.hpp"

namespace corvane {

AppDelegate::AppDelegate(Platform& platform, WindowMover& mover, NativeSpaces& spaces,
                         const KeyboardMap& keyboardMap)
    : platform_(platform),
      mover_(mover),
      spaces_(spaces),
      keyboardMap_(keyboardMap),
      tour_(std::make_unique<TourController>(platform, &keyboardMap)) {}

AppDelegate::~AppDelegate() = default;

void AppDelegate::applicationDidFinishLaunching() {
    store_ = ConfigStore::create(platform_, mover_, spaces_);

    mark_ = statusMarkIcon();
    dimmedMark_ = statusMarkIcon(dimmedOpacity);
    trayIcon_ = std::make_unique<QSystemTrayIcon>();
    trayIcon_->setToolTip(QStringLiteral("Corvane"));
    showMark(store_->isEnabled());
    enabledConnection_ = store_->enabledChanged.connect([this](bool enabled) { showMark(enabled); });

    menu_ = std::make_unique<QMenu>();
    QObject::connect(menu_.get(), &QMenu::aboutToShow, [this] { rebuildMenu(); });
    trayIcon_->setContextMenu(menu_.get());
    // A tray utility's menu opens on a plain click too, not only the context click.
    QObject::connect(trayIcon_.get(), &QSystemTrayIcon::activated,
                     [this](QSystemTrayIcon::ActivationReason why) {
                         if (why == QSystemTrayIcon::Trigger) menu_->popup(QCursor::pos());
                     });
    if (!QSystemTrayIcon::isSystemTrayAvailable()) {
        platform_.feedback.log(
            "no system tray is running; the shortcuts work, and the icon appears once a tray starts");
    }
    // Shown even without a tray: the toolkit docks it when a tray appears.
    trayIcon_->show();

    // A first run teaches the shortcuts before they go live; the request
    // for window access then comes when the tour is finished.
    if (tour_->openOnFirstRun(store_)) return;
    if (!platform_.accessibility.isProcessTrusted()) platform_.accessibility.requestTrust();
}

bool AppDelegate::trayIconAwaitsItsWindow() const {
    return trayIcon_ && trayIcon_->isVisible() && QSystemTrayIcon::isSystemTrayAvailable() &&
           trayIcon_->geometry().isEmpty();
}

void AppDelegate::showMark(bool enabled) {
    if (trayIcon_) trayIcon_->setIcon(enabled ? mark_ : dimmedMark_);
}

void AppDelegate::rebuildMenu() {
    const MenuState state{platform_.accessibility.isProcessTrusted(), store_->isEnabled(), store_->config(),
                          spaces_.isAvailable(), keyboardMap_.names()};
    fillMenu(*menu_, buildStatusMenu(state),
             [this](const MenuCommand& command) { runMenuCommand(command, *this); });
}

bool AppDelegate::isEnabled() const {
    return store_->isEnabled();
}

void AppDelegate::setEnabled(bool enabled) {
    store_->setEnabled(enabled);
}

bool AppDelegate::desktopsAvailable() {
    return spaces_.isAvailable();
}

const std::unordered_set<WindowAction>& AppDelegate::unavailable() const {
    return store_->unavailable();
}

void AppDelegate::perform(const WindowAction& action, OutcomeHandler done) {
    store_->perform(action, std::move(done));
}

void AppDelegate::requestAccess() {
    Permissions::requestAccess(platform_.accessibility, platform_.workspace);
}

void AppDelegate::showSettings() {
    if (!store_) return;
    if (!settings_) {
        settings_ = std::make_unique<SettingsWindow>(
            SettingsServices{*store_, platform_.accessibility, platform_.workspace, platform_.feedback,
                             [this] { return spaces_.isAvailable(); }, windowManager_, &keyboardMap_},
            SettingsWords::forKeyboard(keyboardMap_.names()));
    }
    settings_->present();
}

void AppDelegate::openSettings() {
    showSettings();
}

void AppDelegate::openTour() {
    tour_->show(store_);
}

bool AppDelegate::isTourOpen() const {
    return tour_->isOpen();
}

// A second launch means the user is looking for Corvane: its one window.
void AppDelegate::bringForward() {
    showSettings();
}

void AppDelegate::quit() {
    QCoreApplication::quit();
}

}  // namespace corvane
