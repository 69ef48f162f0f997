#include "app/tour/tour_key_caps.hpp"

#include <QFontMetricsF>
#include <QPainter>

#include "app/tour/tour_style.hpp"

namespace corvane {

namespace {

constexpr qreal capHeight = 32;
constexpr qreal capSpacing = 8;
constexpr qreal groupSpacing = 18;
constexpr qreal labelHeight = 18;

QFont capFont(const QFont& base) {
    return tourStyle::sized(base, 13, QFont::DemiBold);
}

}  // namespace

TourKeyCaps::TourKeyCaps(QWidget* parent) : QWidget(parent) {
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

void TourKeyCaps::setRow(const KeyCapRow& row) {
    row_ = row;
    updateGeometry();
    update();
}

QSize TourKeyCaps::sizeHint() const {
    return {572, static_cast<int>(labelHeight + capHeight + 2)};
}

qreal TourKeyCaps::capWidth(const KeyCap& cap) const {
    const QFontMetricsF metrics(capFont(font()));
    return std::max(28.0, metrics.horizontalAdvance(QString::fromStdString(cap.label)) + 18);
}

qreal TourKeyCaps::paintGroup(QPainter& painter, qreal x, const QString& label,
                              const std::vector<KeyCap>& caps) {
    painter.setPen(tourStyle::secondaryText(palette()));
    painter.setFont(tourStyle::monospaced(10, 1));
    painter.drawText(QRectF(x, 0, 200, labelHeight - 4), Qt::AlignLeft | Qt::AlignVCenter, label);

    const QColor tint = tourStyle::tint();
    painter.setFont(capFont(font()));
    for (const KeyCap& cap : caps) {
        const QRectF rect(x + 0.75, labelHeight + 0.75, capWidth(cap) - 1.5, capHeight - 1.5);
        if (cap.lit) {
            painter.setPen(QPen(tint.darker(120), 1.5));
            painter.setBrush(tint);
        } else {
            // An unlit cap keeps a darker lower edge, like a key at rest.
            painter.setPen(Qt::NoPen);
            painter.setBrush(palette().color(QPalette::Mid));
            painter.drawRoundedRect(rect.translated(0, 1.5), 7, 7);
            painter.setPen(QPen(palette().color(QPalette::Mid), 1));
            painter.setBrush(palette().color(QPalette::Base));
        }
        painter.drawRoundedRect(rect, 7, 7);
        painter.setPen(cap.lit ? QColor(Qt::white) : palette().color(QPalette::WindowText));
        painter.drawText(rect, Qt::AlignCenter, QString::fromStdString(cap.label));
        x += capWidth(cap) + capSpacing;
    }
    return x - capSpacing + groupSpacing;
}

void TourKeyCaps::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    qreal x = paintGroup(painter, 0, QStringLiteral("HOLD"), row_.hold);
    if (!row_.tap.empty()) paintGroup(painter, x, QStringLiteral("TAP"), row_.tap);
}

}  // namespace corvane
