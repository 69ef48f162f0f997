#pragma once

#include <QVariantAnimation>
#include <QWidget>

#include "app/tour/tour_model.hpp"

namespace corvane {

// The miniature screen of lessons 0 to 2: a desktop with a bar at the top
// and the demo window "Your active window", which glides to each new frame.
class TourDemoScreen final : public QWidget {
public:
    static constexpr int animationMilliseconds = 280;

    explicit TourDemoScreen(QWidget* parent = nullptr);

    // Animates from where the window is drawn now; the first call places it.
    void setFrame(const DemoFrame& frame);
    // Jumps to the frame the animation is heading for (pictures, tests).
    void finishAnimation();
    const DemoFrame& shownFrame() const { return shown_; }

    QSize sizeHint() const override { return {572, 250}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void paintWindow(QPainter& painter, const QRectF& rect);

    QVariantAnimation animation_;
    DemoFrame from_;
    DemoFrame target_;
    DemoFrame shown_;
    bool placed_ = false;
};

}  // namespace corvane
