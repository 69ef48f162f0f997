#pragma once

#include <QWidget>

#include "app/tour/tour_page.hpp"

namespace corvane {

// The keyboard row: a "HOLD" group of modifier caps, lit while held, and a
// "TAP" group of the keys the lesson uses, 8 apart.
class TourKeyCaps final : public QWidget {
public:
    explicit TourKeyCaps(QWidget* parent = nullptr);

    void setRow(const KeyCapRow& row);
    const KeyCapRow& row() const { return row_; }

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    qreal capWidth(const KeyCap& cap) const;
    // Paints one labelled group from `x`; returns where the next may start.
    qreal paintGroup(QPainter& painter, qreal x, const QString& label, const std::vector<KeyCap>& caps);

    KeyCapRow row_;
};

}  // namespace corvane
