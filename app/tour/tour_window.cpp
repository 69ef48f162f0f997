#include "app/tour/tour_window.hpp"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QScreen>
#include <QVBoxLayout>
#include <QWindow>

#include "app/shell/qt_key_input.hpp"
#include "app/tour/tour_demo_screen.hpp"
#include "app/tour/tour_desktop_preview.hpp"
#include "app/tour/tour_key_caps.hpp"
#include "app/tour/tour_page.hpp"
#include "app/tour/tour_style.hpp"

namespace corvane {

namespace {

constexpr int windowWidth = 620;
constexpr int inset = 24;

QLabel* label(const QString& text, const QFont& font, const QColor& color, QWidget* parent) {
    auto* result = new QLabel(text, parent);
    result->setFont(font);
    QPalette palette = result->palette();
    palette.setColor(QPalette::WindowText, color);
    result->setPalette(palette);
    return result;
}

}  // namespace

TourWindow::TourWindow(const KeyboardMap* keyboardMap, KeyboardMap::Names names)
    : keyboardMap_(keyboardMap), model_(std::move(names)) {
    setWindowTitle(QString::fromUtf8(tourWindowTitle));
    // Titled and closable: no minimise or maximise for a short lesson.
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::CustomizeWindowHint);
    setFixedWidth(windowWidth);
    buildLayout();
    modelConnection_ = model_.changed.connect([this] { refresh(); });
    grabRetry_.setInterval(100);
    grabRetry_.setSingleShot(true);
    QObject::connect(&grabRetry_, &QTimer::timeout, this, [this] {
        if (wantsGrab_ && isActiveWindow()) setGrabbed(true);
    });
    refresh();
    demoScreen_->finishAnimation();
}

TourWindow::~TourWindow() {
    setGrabbed(false);
}

void TourWindow::buildLayout() {
    const QColor secondary = tourStyle::secondaryText(palette());
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(inset, inset, inset, inset);
    column->setSpacing(14);

    auto* header = new QHBoxLayout;
    header->addWidget(label(QString::fromUtf8(tourHeader), tourStyle::monospaced(11, 2), secondary, this));
    header->addStretch();
    counter_ = label({}, tourStyle::sized(font(), 12), secondary, this);
    header->addWidget(counter_);
    column->addLayout(header);

    title_ =
        label({}, tourStyle::sized(font(), 25, QFont::DemiBold), palette().color(QPalette::WindowText), this);
    column->addWidget(title_);
    column->addSpacing(-8);
    auto* subtitle = label(QString::fromUtf8(tourSubtitle), tourStyle::sized(font(), 13), secondary, this);
    subtitle->setWordWrap(true);
    column->addWidget(subtitle);

    demoScreen_ = new TourDemoScreen(this);
    desktopPreview_ = new TourDesktopPreview(this);
    column->addWidget(demoScreen_);
    column->addWidget(desktopPreview_);

    keyCaps_ = new TourKeyCaps(this);
    column->addWidget(keyCaps_);

    feedback_ = label({}, tourStyle::sized(font(), 14), palette().color(QPalette::WindowText), this);
    feedback_->setWordWrap(true);
    feedback_->setMinimumHeight(44);
    feedback_->setContentsMargins(14, 10, 14, 10);
    // A faint wash of the tint: visible on light and dark themes alike.
    feedback_->setStyleSheet(
        QStringLiteral("QLabel { background: rgba(89, 102, 115, 30); border-radius: 12px; }"));
    column->addWidget(feedback_);

    auto* bottom = new QHBoxLayout;
    bottom->addWidget(label(QString::fromUtf8(tourFootnote), tourStyle::sized(font(), 12),
                            tourStyle::tertiaryText(palette()), this));
    bottom->addStretch();
    button_ = new QPushButton(this);
    button_->setMinimumWidth(110);
    // Keys stay with the lesson; Return chooses the button (see readKey).
    button_->setFocusPolicy(Qt::NoFocus);
    // Lesson 1 has no button; the window keeps its height all the same.
    QSizePolicy keepPlace = button_->sizePolicy();
    keepPlace.setRetainSizeWhenHidden(true);
    button_->setSizePolicy(keepPlace);
    QObject::connect(button_, &QPushButton::clicked, this, [this] { buttonClicked(); });
    bottom->addWidget(button_);
    column->addLayout(bottom);
}

void TourWindow::refresh() {
    const TourPage page = tourPage(model_);
    counter_->setText(QString::fromStdString(page.counter));
    title_->setText(QString::fromUtf8(page.title.c_str()));
    demoScreen_->setVisible(!page.desktops);
    desktopPreview_->setVisible(page.desktops.has_value());
    demoScreen_->setFrame(model_.frame());
    if (page.desktops) desktopPreview_->setPreview(*page.desktops);
    keyCaps_->setRow(page.keys);
    feedback_->setText(QString::fromStdString(model_.feedback()));
    button_->setVisible(page.buttonTitle.has_value());
    button_->setText(QString::fromStdString(page.buttonTitle.value_or("")));
    button_->setEnabled(page.buttonEnabled);
}

void TourWindow::finishAnimations() {
    demoScreen_->finishAnimation();
    desktopPreview_->finishAnimation();
}

void TourWindow::present() {
    adjustSize();
    // One size for every lesson, so the window manager offers no maximise.
    setFixedSize(size());
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        move(area.center() - QPoint(width() / 2, height() / 2));
    }
    // The lesson keys are read on the native window, before any child
    // widget sees them, as one monitor of the whole window.
    winId();
    windowHandle()->installEventFilter(this);
    show();
    bringForward();
}

void TourWindow::bringForward() {
    show();
    raise();
    activateWindow();
}

void TourWindow::buttonClicked() {
    const TourPage page = tourPage(model_);
    if (!page.buttonEnabled) return;
    if (page.buttonFinishes) {
        if (onFinish) onFinish();
    } else {
        model_.advance();
    }
}

bool TourWindow::readKey(QKeyEvent& event) {
    const auto input = keyInputFrom(event, keyboardMap_);
    if (!input) return false;
    if (model_.handle(*input)) return true;
    // Return chooses the button, so the whole tour can be taken from the keyboard.
    const bool isReturn = event.key() == Qt::Key_Return || event.key() == Qt::Key_Enter;
    if (input->kind == KeyInput::Kind::keyDown && isReturn && !input->isAutoRepeat && button_->isVisible() &&
        button_->isEnabled()) {
        button_->click();
        return true;
    }
    return false;
}

bool TourWindow::eventFilter(QObject* watched, QEvent* event) {
    const bool isKey = event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease;
    if (isKey && watched == windowHandle() && isActiveWindow())
        return readKey(static_cast<QKeyEvent&>(*event));
    return QWidget::eventFilter(watched, event);
}

bool TourWindow::event(QEvent* event) {
    if (event->type() == QEvent::WindowActivate) setGrabbed(true);
    if (event->type() == QEvent::WindowDeactivate || event->type() == QEvent::Hide) setGrabbed(false);
    return QWidget::event(event);
}

void TourWindow::setGrabbed(bool grabbed) {
    wantsGrab_ = grabbed;
    if (!grabbed) {
        grabRetry_.stop();
        if (grabbed_ && windowHandle()) {
            windowHandle()->setKeyboardGrabEnabled(false);
            // Let go now, not with the next request that happens to flush:
            // until then every key, even one typed into another window, is ours.
            QGuiApplication::sync();
        }
        grabbed_ = false;
        return;
    }
    if (grabbed_ || !windowHandle()) return;
    grabbed_ = windowHandle()->setKeyboardGrabEnabled(true);
    // Another client may hold the keyboard for a moment (a window manager's
    // switcher or menu, a key chain): try again while the tour stays
    // active. Platforms without grabs (offscreen) are not asked again.
    if (!grabbed_ && QGuiApplication::platformName() == QLatin1String("xcb")) grabRetry_.start();
}

void TourWindow::closeEvent(QCloseEvent* event) {
    setGrabbed(false);
    QWidget::closeEvent(event);
    if (event->isAccepted() && onClosed) onClosed();
}

}  // namespace corvane
