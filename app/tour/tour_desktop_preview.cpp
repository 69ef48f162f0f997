#include "app/tour/tour_desktop_preview.hpp"

#include <QEasingCurve>
#include <QPainter>
#include <QPainterPath>

#include "app/shell/symbol_icons.hpp"
#include "app/tour/tour_demo_screen.hpp"
#include "app/tour/tour_style.hpp"

namespace corvane {

namespace {

constexpr qreal headingHeight = 34;
constexpr qreal arrowWidth = 56;
constexpr qreal cardInset = 20;

}  // namespace

TourDesktopPreview::TourDesktopPreview(QWidget* parent) : QWidget(parent) {
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    setMinimumHeight(sizeHint().height());
    travel_.setDuration(TourDemoScreen::animationMilliseconds);
    travel_.setEasingCurve(QEasingCurve::InOutCubic);
    QObject::connect(&travel_, &QVariantAnimation::valueChanged, this, [this](const QVariant& value) {
        position_ = value.toDouble();
        update();
    });
}

void TourDesktopPreview::setPreview(const DesktopPreview& preview) {
    const double target = preview.windowInTarget ? 1.0 : 0.0;
    const bool moves = placed_ && preview.windowInTarget != preview_.windowInTarget;
    preview_ = preview;
    if (!placed_) {
        placed_ = true;
        position_ = target;
    } else if (moves) {
        travel_.stop();
        travel_.setStartValue(position_);
        travel_.setEndValue(target);
        travel_.start();
    }
    update();
}

void TourDesktopPreview::finishAnimation() {
    travel_.stop();
    position_ = preview_.windowInTarget ? 1.0 : 0.0;
    update();
}

void TourDesktopPreview::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QRectF bounds = rect();
    tourStyle::clipToPreview(painter, bounds);
    QColor background = tourStyle::tint();
    background.setAlphaF(0.08f);
    painter.fillRect(bounds, background);

    painter.setPen(tourStyle::secondaryText(palette()));
    painter.setFont(tourStyle::monospaced(10, 1));
    painter.drawText(QRectF(cardInset, 0, bounds.width() - 2 * cardInset, headingHeight),
                     Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("DESKTOP PREVIEW"));

    const qreal cardWidth = (bounds.width() - 2 * cardInset - arrowWidth) / 2;
    const qreal cardHeight = bounds.height() - headingHeight - cardInset;
    const QRectF current(cardInset, headingHeight, cardWidth, cardHeight);
    const QRectF target(current.right() + arrowWidth, headingHeight, cardWidth, cardHeight);
    paintCard(painter, current, QStringLiteral("Current Desktop"), preview_.currentOutlineOpacity);
    paintCard(painter, target, QString::fromStdString(preview_.targetTitle), preview_.targetOutlineOpacity);

    const qreal arrowSize = 28;
    paintSymbol(painter, "arrow.right",
                QRectF(current.right() + (arrowWidth - arrowSize) / 2, current.center().y() - arrowSize / 2,
                       arrowSize, arrowSize),
                tourStyle::secondaryText(palette()));

    // The tile sits in the middle of its card, below the card's title.
    const QSizeF tile(cardWidth * 0.46, cardHeight * 0.42);
    const auto tileIn = [&](const QRectF& card) {
        return QRectF(card.center().x() - tile.width() / 2, card.center().y() - tile.height() / 2 + 10,
                      tile.width(), tile.height());
    };
    const QRectF from = tileIn(current);
    const QRectF to = tileIn(target);
    const QRectF tileRect = from.translated((to.left() - from.left()) * position_, 0);
    painter.setPen(Qt::NoPen);
    painter.setBrush(tourStyle::tint());
    painter.drawRoundedRect(tileRect, 6, 6);
    painter.setPen(Qt::white);
    painter.setFont(tourStyle::sized(font(), 12, QFont::DemiBold));
    painter.drawText(tileRect, Qt::AlignCenter, QStringLiteral("Window"));
}

void TourDesktopPreview::paintCard(QPainter& painter, const QRectF& card, const QString& title,
                                   double outlineOpacity) {
    painter.setPen(Qt::NoPen);
    painter.setBrush(palette().color(QPalette::Base));
    painter.drawRoundedRect(card, 9, 9);
    QColor outline = palette().color(QPalette::WindowText);
    outline.setAlphaF(static_cast<float>(outlineOpacity));
    painter.setPen(QPen(outline, 1.5));
    painter.setBrush(Qt::NoBrush);
    painter.drawRoundedRect(card.adjusted(0.75, 0.75, -0.75, -0.75), 9, 9);
    painter.setPen(palette().color(QPalette::WindowText));
    painter.setFont(tourStyle::sized(font(), 13, QFont::DemiBold));
    painter.drawText(card.adjusted(12, 10, -12, 0), Qt::AlignHCenter | Qt::AlignTop, title);
}

}  // namespace corvane
