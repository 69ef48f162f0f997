#include "app/shell/fixed_icon_engine.hpp"

#include <QPainter>
#include <algorithm>
#include <memory>

namespace corvane {

FixedIconEngine::FixedIconEngine(std::vector<QPixmap> pixmaps) : pixmaps_(std::move(pixmaps)) {
    std::erase_if(pixmaps_, [](const QPixmap& p) { return p.isNull(); });
    std::sort(pixmaps_.begin(), pixmaps_.end(), [](const QPixmap& a, const QPixmap& b) {
        return a.width() * a.height() < b.width() * b.height();
    });
}

const QPixmap* FixedIconEngine::bestFor(const QSize& size) const {
    if (pixmaps_.empty()) return nullptr;
    for (const QPixmap& candidate : pixmaps_) {
        if (candidate.width() >= size.width() && candidate.height() >= size.height()) return &candidate;
    }
    return &pixmaps_.back();
}

QSize FixedIconEngine::actualSize(const QSize& size, QIcon::Mode, QIcon::State) {
    const QPixmap* best = bestFor(size);
    if (best == nullptr) return {};
    // Like any icon: never larger than asked for, never scaled up.
    QSize actual = best->size();
    if (actual.width() > size.width() || actual.height() > size.height())
        actual.scale(size, Qt::KeepAspectRatio);
    return actual;
}

QPixmap FixedIconEngine::pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) {
    const QPixmap* best = bestFor(size);
    if (best == nullptr) return {};
    const QSize actual = actualSize(size, mode, state);
    if (actual == best->size()) return *best;
    return best->scaled(actual, Qt::KeepAspectRatio, Qt::SmoothTransformation);
}

void FixedIconEngine::paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) {
    // Drawn at the device's pixel density, centred in `rect` like any icon.
    const qreal ratio = painter->device() ? painter->device()->devicePixelRatioF() : 1.0;
    QPixmap shown = pixmap(rect.size() * ratio, mode, state);
    if (shown.isNull()) return;
    shown.setDevicePixelRatio(ratio);
    const QSizeF logical = shown.deviceIndependentSize();
    const QPointF corner(rect.x() + (rect.width() - logical.width()) / 2.0,
                         rect.y() + (rect.height() - logical.height()) / 2.0);
    painter->drawPixmap(corner, shown);
}

QList<QSize> FixedIconEngine::availableSizes(QIcon::Mode, QIcon::State) {
    QList<QSize> sizes;
    for (const QPixmap& p : pixmaps_) sizes.append(p.size());
    return sizes;
}

QString FixedIconEngine::key() const {
    return QStringLiteral("corvane-fixed");
}

QIconEngine* FixedIconEngine::clone() const {
    // The caller (QIcon) owns the copy.
    return std::make_unique<FixedIconEngine>(pixmaps_).release();
}

bool FixedIconEngine::isNull() {
    return pixmaps_.empty();
}

QIcon fixedIcon(std::vector<QPixmap> pixmaps) {
    // QIcon takes the engine over and deletes it with its last copy.
    return QIcon(std::make_unique<FixedIconEngine>(std::move(pixmaps)).release());
}

}  // namespace corvane
