#include "app/tour/tour_demo_screen.hpp"

#include <QEasingCurve>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include "app/tour/tour_page.hpp"
#include "app/tour/tour_style.hpp"

namespace corvane {

namespace {

double mix(double a, double b, double t) {
    return a + (b - a) * t;
}

// Ease in and out over the whole move, as the platform's standard curve does.
QEasingCurve easeInOut() {
    QEasingCurve curve(QEasingCurve::BezierSpline);
    curve.addCubicBezierSegment(QPointF(0.42, 0.0), QPointF(0.58, 1.0), QPointF(1.0, 1.0));
    return curve;
}

}  // namespace

TourDemoScreen::TourDemoScreen(QWidget* parent) : QWidget(parent) {
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    setMinimumHeight(sizeHint().height());
    animation_.setDuration(animationMilliseconds);
    animation_.setEasingCurve(easeInOut());
    animation_.setStartValue(0.0);
    animation_.setEndValue(1.0);
    QObject::connect(&animation_, &QVariantAnimation::valueChanged, this, [this](const QVariant& value) {
        const double t = value.toDouble();
        shown_ = {mix(from_.x, target_.x, t), mix(from_.y, target_.y, t), mix(from_.w, target_.w, t),
                  mix(from_.h, target_.h, t)};
        update();
    });
}

void TourDemoScreen::setFrame(const DemoFrame& frame) {
    if (placed_ && frame == target_) return;
    target_ = frame;
    if (!placed_) {
        placed_ = true;
        shown_ = frame;
        update();
        return;
    }
    // A new key during a move starts from wherever the window is drawn.
    animation_.stop();
    from_ = shown_;
    animation_.start();
}

void TourDemoScreen::finishAnimation() {
    animation_.stop();
    shown_ = target_;
    update();
}

void TourDemoScreen::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QRectF bounds = rect();
    tourStyle::clipToPreview(painter, bounds);

    const QColor tint = tourStyle::tint();
    QLinearGradient desktop(bounds.topLeft(), bounds.bottomRight());
    desktop.setColorAt(0, tint.lighter(165));
    desktop.setColorAt(1, tint.lighter(125));
    painter.fillRect(bounds, desktop);

    // The screen's bar, with a mark where an application menu would be.
    const QRectF bar(bounds.left(), bounds.top(), bounds.width(), 24);
    painter.fillRect(bar, QColor(255, 255, 255, 120));
    painter.setPen(Qt::NoPen);
    painter.setBrush(tint.darker(130));
    painter.drawRoundedRect(QRectF(bar.left() + 12, bar.center().y() - 4, 28, 8), 4, 4);
    QColor faint = tint.darker(130);
    faint.setAlpha(128);
    painter.setBrush(faint);
    painter.drawRoundedRect(QRectF(bar.left() + 48, bar.center().y() - 4, 44, 8), 4, 4);

    const Rect r = demoWindowRect(shown_, bounds.width(), bounds.height());
    paintWindow(painter, QRectF(r.x, r.y, r.width, r.height));
}

void TourDemoScreen::paintWindow(QPainter& painter, const QRectF& rect) {
    const QColor tint = tourStyle::tint();
    // A soft shadow lifts the window off the desktop.
    for (int spread = 4; spread >= 1; --spread) {
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(0, 0, 0, 10));
        painter.drawRoundedRect(rect.adjusted(-spread, -spread + 2, spread, spread + 2), 8 + spread,
                                8 + spread);
    }
    QPainterPath body;
    body.addRoundedRect(rect, 8, 8);
    painter.fillPath(body, QColor(252, 252, 253));
    painter.save();
    painter.setClipPath(body);
    painter.fillRect(QRectF(rect.left(), rect.top(), rect.width(), 16), tint.lighter(175));
    painter.restore();
    painter.setPen(QPen(tint, 1.5));
    painter.setBrush(Qt::NoBrush);
    painter.drawRoundedRect(rect.adjusted(0.75, 0.75, -0.75, -0.75), 8, 8);

    // The title bar's three buttons, then the label in the middle of the window.
    painter.setPen(Qt::NoPen);
    painter.setBrush(tint.lighter(130));
    for (int i = 0; i < 3; ++i)
        painter.drawEllipse(QPointF(rect.left() + 9 + i * 9, rect.top() + 8), 2.5, 2.5);
    painter.setPen(tint.darker(140));
    painter.setFont(tourStyle::sized(font(), 12));
    const QRectF content = rect.adjusted(4, 16, -4, -2);
    painter.drawText(content, Qt::AlignCenter | Qt::TextWordWrap, QString::fromUtf8(demoWindowLabel));
}

}  // namespace corvane
