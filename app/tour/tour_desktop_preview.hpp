#pragma once

#include <QVariantAnimation>
#include <QWidget>

#include "app/tour/tour_page.hpp"

namespace corvane {

// Lesson 3's picture: "Current Desktop" and the numbered desktop, joined
// by an arrow, with a small window tile that moves across on a try. The
// card the user ends up looking at is outlined more strongly.
class TourDesktopPreview final : public QWidget {
public:
    explicit TourDesktopPreview(QWidget* parent = nullptr);

    void setPreview(const DesktopPreview& preview);
    void finishAnimation();

    QSize sizeHint() const override { return {572, 250}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void paintCard(QPainter& painter, const QRectF& card, const QString& title, double outlineOpacity);

    DesktopPreview preview_;
    QVariantAnimation travel_;
    // 0: the tile in "Current Desktop"; 1: in the numbered one.
    double position_ = 0;
    bool placed_ = false;
};

}  // namespace corvane
