#include "app/settings/gap_preview.hpp"

#include <QPainter>

#include "app/settings/settings_palette.hpp"

namespace corvane {

namespace {

// The reference screen the miniature shows, and its drawn size.
const Rect kScreen{0, 0, 1440, 900};
const Size kSize{128, 80};

Rect blend(const Rect& a, const Rect& b, double t) {
    return Rect{a.x + (b.x - a.x) * t, a.y + (b.y - a.y) * t, a.width + (b.width - a.width) * t,
                a.height + (b.height - a.height) * t};
}

}  // namespace

GapPreview::GapPreview(QWidget* parent) : QWidget(parent) {
    setFixedSize(static_cast<int>(kSize.width), static_cast<int>(kSize.height));
    setFocusPolicy(Qt::NoFocus);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAccessibleName(QString());
    animation_.setDuration(static_cast<int>(animationSeconds * 1000));
    animation_.setEasingCurve(QEasingCurve::OutCubic);
    animation_.setStartValue(0.0);
    animation_.setEndValue(1.0);
    QObject::connect(&animation_, &QVariantAnimation::valueChanged, this, [this] { update(); });
}

void GapPreview::setGap(std::int64_t gap, bool animated) {
    if (gap == gap_) return;
    const bool first = gap_ < 0;
    from_ = tilesNow();
    gap_ = gap;
    to_ = gapPreviewTiles(gap, kScreen, kSize);
    animation_.stop();
    if (first || !animated) {
        from_ = to_;
        update();
        return;
    }
    animation_.start();
}

std::array<PreviewTile, 2> GapPreview::tilesNow() const {
    if (animation_.state() != QAbstractAnimation::Running) return to_;
    const double t = animation_.currentValue().toDouble();
    return {PreviewTile{blend(from_[0].frame, to_[0].frame, t), to_[0].opacity},
            PreviewTile{blend(from_[1].frame, to_[1].frame, t), to_[1].opacity}};
}

void GapPreview::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor primary = palette().color(QPalette::WindowText);
    QColor screen = primary;
    screen.setAlphaF(0.1f);
    p.setPen(Qt::NoPen);
    p.setBrush(screen);
    p.drawRoundedRect(QRectF(rect()), 4, 4);
    for (const PreviewTile& tile : tilesNow()) {
        QColor color = primary;
        color.setAlphaF(static_cast<float>(tile.opacity));
        p.setBrush(color);
        p.drawRoundedRect(QRectF(tile.frame.x, tile.frame.y, tile.frame.width, tile.frame.height), 2, 2);
    }
}

}  // namespace corvane
