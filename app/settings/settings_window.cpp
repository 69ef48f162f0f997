#include "app/settings/settings_window.hpp"

#include <QApplication>
#include <QFrame>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QScreen>
#include <QScrollArea>
#include <QSignalBlocker>
#include <QWindow>

#include "app/placement/permissions.hpp"
#include "app/settings/settings_header.hpp"
#include "app/settings/settings_palette.hpp"
#include "app/settings/settings_section.hpp"
#include "app/settings/settings_sections.hpp"
#include "app/shell/qt_key_input.hpp"

namespace corvane {

namespace {

constexpr int kWidth = 500;
constexpr int kHeight = 680;

}  // namespace

SettingsWindow::SettingsWindow(SettingsServices services, SettingsWords words)
    : services_(std::move(services)),
      words_(std::move(words)),
      recorder_(services_.store, services_.feedback, words_) {
    setWindowTitle(QStringLiteral("Corvane Settings"));
    // Titled and closable only: no resizing, no minimising.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setFixedSize(kWidth, kHeight);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(new SettingsHeader(QApplication::windowIcon(), this));
    auto* divider = new QFrame(this);
    divider->setFrameShape(QFrame::HLine);
    divider->setFrameShadow(QFrame::Sunken);
    layout->addWidget(divider);

    auto* scroll = new QScrollArea(this);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidgetResizable(true);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroll->setFocusPolicy(Qt::NoFocus);
    auto* form = new QWidget(scroll);
    auto* content = new QVBoxLayout(form);
    content->setContentsMargins(0, 8, 0, 12);
    content->setSpacing(4);
    buildPermissionSection(*content);
    buildShortcutSections(*content);
    buildLayoutAndGeneral(*content);
    content->addStretch(1);
    scroll->setWidget(form);
    layout->addWidget(scroll, 1);

    // Keys typed into a row start nowhere else: the first row is where
    // keyboard users begin.
    if (!rows_.empty()) rows_.front().second->recordButton().setFocus();

    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - QPoint(kWidth / 2, kHeight / 2));

    grabRetry_.setInterval(50);
    grabRetry_.setSingleShot(true);
    QObject::connect(&grabRetry_, &QTimer::timeout, this, [this] {
        if (monitoring_ && isVisible()) takeKeyboard();
    });
    poll_.setInterval(pollMilliseconds);
    QObject::connect(&poll_, &QTimer::timeout, this, [this] { pollNow(); });
    storeConnection_ = services_.store.changed.connect([this] { refresh(); });
    hintConnection_ = recorder_.hintChanged.connect([this] { refresh(); });
    refresh();
}

SettingsWindow::~SettingsWindow() {
    storeConnection_.disconnect();
    hintConnection_.disconnect();
    if (monitoring_) qApp->removeEventFilter(this);
}

void SettingsWindow::buildPermissionSection(QVBoxLayout& content) {
    auto* section = new SettingsSection(QString(), this);
    permissionBox_ = new QWidget;
    auto* box = new QVBoxLayout(permissionBox_);
    box->setContentsMargins(0, 0, 0, 0);
    box->setSpacing(0);
    section->addRow(permissionBox_);
    content.addWidget(section);
}

void SettingsWindow::buildShortcutSections(QVBoxLayout& content) {
    for (const ShortcutSection& model : shortcutSections(words_)) {
        auto* section = new SettingsSection(QString::fromStdString(model.header), this);
        for (const WindowAction& action : model.actions) {
            auto* row = new ShortcutRow([this, action] { recorder_.toggle(action); },
                                        [this, action] { recorder_.remove(action); });
            section->addRow(row);
            rows_.emplace_back(action, row);
        }
        if (!model.footer.empty()) section->addFooterText(QString::fromStdString(model.footer));
        if (model.isDesktops) {
            desktopsUnavailable_ = section->addFooterText(QString());
            QPalette orange = desktopsUnavailable_->palette();
            orange.setColor(QPalette::WindowText, SettingsPalette::warning());
            desktopsUnavailable_->setPalette(orange);
            desktopsUnavailable_->hide();

            auto* line = new QWidget;
            auto* lineLayout = new QHBoxLayout(line);
            lineLayout->setContentsMargins(0, 0, 0, 0);
            lineLayout->addStretch(1);
            restore_ = new QPushButton(QStringLiteral("Restore Default Shortcuts"), line);
            restore_->setAutoDefault(false);
            QObject::connect(restore_, &QPushButton::clicked, this,
                             [this] { services_.store.resetShortcuts(); });
            lineLayout->addWidget(restore_);
            section->addFooterWidget(line);
        }
        content.addWidget(section);
    }
}

void SettingsWindow::buildLayoutAndGeneral(QVBoxLayout& content) {
    auto* layoutSection = new SettingsSection(QStringLiteral("Layout"), this);
    gap_ = new GapRow([this](std::int64_t gap) {
        if (gap == services_.store.config().gap) return;
        Config config = services_.store.config();
        config.gap = gap;
        services_.store.setConfig(config);
    });
    layoutSection->addRow(gap_);
    content.addWidget(layoutSection);

    auto* general = new SettingsSection(QStringLiteral("General"), this);
    auto switchRow = [](const QString& title, QCheckBox*& box) {
        auto* row = new QWidget;
        auto* layout = new QHBoxLayout(row);
        layout->setContentsMargins(12, 8, 12, 8);
        box = new QCheckBox(title, row);
        layout->addWidget(box);
        return row;
    };
    general->addRow(switchRow(QStringLiteral("Enable Corvane"), enable_));
    general->addRow(switchRow(QStringLiteral("Launch at login"), launch_));
    QObject::connect(enable_, &QCheckBox::toggled, this, [this](bool on) { services_.store.setEnabled(on); });
    QObject::connect(launch_, &QCheckBox::toggled, this,
                     [this](bool on) { services_.store.setLaunchAtLogin(on); });
    content.addWidget(general);
}

ShortcutRow* SettingsWindow::row(const WindowAction& action) const {
    for (const auto& [a, row] : rows_)
        if (a == action) return row;
    return nullptr;
}

void SettingsWindow::refresh() {
    ConfigStore& store = services_.store;
    const RowState state{store.config(), store.unavailable(), store.recording(), recorder_.hint(), words_};
    for (const auto& [action, row] : rows_) row->showModel(shortcutRow(action, state));
    restore_->setEnabled(canRestoreDefaults(store.config()));
    gap_->setGap(store.config().gap);
    {
        const QSignalBlocker blockEnable(enable_);
        enable_->setChecked(store.isEnabled());
        // The login item's actual status, whatever the last change managed.
        const QSignalBlocker blockLaunch(launch_);
        launch_->setChecked(store.launchAtLogin());
    }
    followRecording();
}

void SettingsWindow::pollNow() {
    PermissionState state;
    state.trusted = services_.accessibility.isProcessTrusted();
    state.sizeUpRunning = !services_.workspace.runningApplications(sizeUpBundleIdentifier).empty();
    if (services_.windowManager) state.windowManager = services_.windowManager->facts();
    if (state != permissionState_) showPermissions(state);
    {
        // The autostart entry can be removed or added behind our back (a
        // file manager, another session): show what is there now.
        const QSignalBlocker blockLaunch(launch_);
        launch_->setChecked(services_.store.launchAtLogin());
    }
    const auto unavailable = desktopsUnavailableText(
        services_.desktopsAvailable ? services_.desktopsAvailable() : false, words_, state.windowManager);
    desktopsUnavailable_->setVisible(unavailable.has_value());
    desktopsUnavailable_->setText(QString::fromStdString(unavailable.value_or("")));
}

void SettingsWindow::showPermissions(const PermissionState& state) {
    permissionState_ = state;
    for (PermissionRowWidget* old : permissionRows_) old->deleteLater();
    permissionRows_.clear();
    auto* box = static_cast<QVBoxLayout*>(permissionBox_->layout());
    for (const PermissionRow& model : corvane::permissionRows(state)) {
        auto* row = new PermissionRowWidget(
            model, [this](PermissionRow::Action action) { runPermissionAction(action); }, permissionBox_);
        box->addWidget(row);
        permissionRows_.push_back(row);
    }
}

void SettingsWindow::runPermissionAction(PermissionRow::Action action) {
    switch (action) {
        case PermissionRow::Action::requestAccess:
            Permissions::requestAccess(services_.accessibility, services_.workspace);
            break;
        case PermissionRow::Action::quitSizeUp:
            // A polite request; the row goes at the first tick that finds it gone.
            for (const pid_t pid : services_.workspace.runningApplications(sizeUpBundleIdentifier))
                services_.workspace.terminate(pid);
            break;
        case PermissionRow::Action::none:
            break;
    }
}

void SettingsWindow::followRecording() {
    const bool recording = services_.store.recording().has_value();
    if (recording == monitoring_) return;
    monitoring_ = recording;
    if (recording) {
        qApp->installEventFilter(this);
        // Other programs' key bindings (the window manager's among them)
        // would otherwise take the very combination being recorded.
        if (isVisible()) takeKeyboard();
    } else {
        qApp->removeEventFilter(this);
        grabRetry_.stop();
        releaseKeyboard();
    }
}

void SettingsWindow::takeKeyboard() {
    grabKeyboard();
    // The server refuses the grab while another client holds the keyboard
    // for a moment (an open menu, a screenshot tool): try again shortly
    // rather than record without it for the rest of the recording.
    QWindow* window = windowHandle();
    if (window && !window->setKeyboardGrabEnabled(true) && QGuiApplication::platformName() == "xcb")
        grabRetry_.start();
    else
        grabRetry_.stop();
}

bool SettingsWindow::eventFilter(QObject* watched, QEvent* event) {
    const auto type = event->type();
    if (type == QEvent::ShortcutOverride && services_.store.recording()) {
        // Claim the key as typing, so no shortcut of the toolkit takes it.
        event->accept();
        return true;
    }
    if (type != QEvent::KeyPress && type != QEvent::KeyRelease) return QWidget::eventFilter(watched, event);
    const auto input = keyInputFrom(static_cast<const QKeyEvent&>(*event), services_.keyboardMap);
    if (!input) return services_.store.recording().has_value();
    return recorder_.handle(*input) == ShortcutRecorder::Outcome::swallowed;
}

void SettingsWindow::present() {
    show();
    raise();
    activateWindow();
    if (services_.windowManager) services_.windowManager->present(winId());
}

void SettingsWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    pollNow();
    poll_.start();
    if (monitoring_) takeKeyboard();
}

void SettingsWindow::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    // The user went to another window: whatever they type there is theirs,
    // and their shortcuts must work there again.
    if (event->type() == QEvent::ActivationChange && !isActiveWindow() && services_.store.recording())
        recorder_.cancel();
}

void SettingsWindow::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    poll_.stop();
    // Closing the window while a shortcut records ends the recording unchanged.
    recorder_.cancel();
}

}  // namespace corvane
