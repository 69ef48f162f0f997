#pragma once

#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QWidget>
#include <functional>

#include "app/platform/keyboard_map.hpp"
#include "app/tour/tour_model.hpp"

namespace corvane {

class TourDemoScreen;
class TourDesktopPreview;
class TourKeyCaps;

// The tour's window: header, lesson title, the demo screen (or lesson 3's
// desktop preview), the key caps, the feedback line and Continue / Finish
// Tour. It reads its own keys while it is the active window, and then also
// holds the keyboard (an active grab on X11), so that the window manager's
// own bindings of the lesson chords cannot take them; the grab goes with
// the focus, and on close. Owns the model of this opening.
class TourWindow final : public QWidget {
public:
    // `keyboardMap` may be null (no X connection): keys then read as on a US layout.
    explicit TourWindow(const KeyboardMap* keyboardMap, KeyboardMap::Names names);
    ~TourWindow() override;

    // Centred on the primary screen, shown, raised and made active.
    void present();
    // Back to the front when opened again.
    void bringForward();

    TourModel& model() { return model_; }
    QPushButton& button() { return *button_; }
    // Ends the running animations: for pictures and tests.
    void finishAnimations();

    // "Finish Tour" was chosen.
    std::function<void()> onFinish;
    // The window closed, by its close button or by close().
    std::function<void()> onClosed;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void buildLayout();
    void refresh();
    // A key event of this window; true when it was used up.
    bool readKey(QKeyEvent& event);
    void buttonClicked();
    void setGrabbed(bool grabbed);

    const KeyboardMap* keyboardMap_;
    TourModel model_;
    Signal<>::Connection modelConnection_;
    bool grabbed_ = false;
    bool wantsGrab_ = false;
    QTimer grabRetry_;

    QLabel* counter_ = nullptr;
    QLabel* title_ = nullptr;
    TourDemoScreen* demoScreen_ = nullptr;
    TourDesktopPreview* desktopPreview_ = nullptr;
    TourKeyCaps* keyCaps_ = nullptr;
    QLabel* feedback_ = nullptr;
    QPushButton* button_ = nullptr;
};

}  // namespace corvane
