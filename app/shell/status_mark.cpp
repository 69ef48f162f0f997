#include "app/shell/status_mark.hpp"

#include <QImage>
#include <QPainter>
#include <QPixmap>
#include <array>
#include <vector>

#include "app/shell/action_symbol.hpp"
#include "app/shell/fixed_icon_engine.hpp"
#include "app/shell/symbol_icons.hpp"

namespace corvane {

namespace {

#ifdef Q_OS_MACOS
// The menu bar draws a template image itself, dark on light bars and light on
// dark ones, from its alpha alone: one plain shape, no rim.
constexpr bool kTemplateMark = true;
#else
constexpr bool kTemplateMark = false;
#endif

// The sizes trays and window lists ask for.
constexpr std::array<int, 7> kMarkSizes{16, 18, 22, 24, 32, 48, 64};

QImage paintMark(int size) {
    QImage glyph(size, size, QImage::Format_ARGB32_Premultiplied);
    glyph.fill(Qt::transparent);
    QPainter painter(&glyph);
    const qreal rim = size / 22.0;
    const QRectF bounds(0, 0, size, size);
    const QRectF inner = bounds.adjusted(rim, rim, -rim, -rim);
    const QColor shade(0, 0, 0, 120);
    const std::array<QPointF, 8> offsets{QPointF(-rim, 0),   QPointF(rim, 0),     QPointF(0, -rim),
                                         QPointF(0, rim),    QPointF(-rim, -rim), QPointF(rim, rim),
                                         QPointF(-rim, rim), QPointF(rim, -rim)};
    if (!kTemplateMark) {
        for (const QPointF offset : offsets) {
            paintSymbol(painter, statusMarkSymbol, inner.translated(offset), shade);
        }
    }
    paintSymbol(painter, statusMarkSymbol, inner, kTemplateMark ? QColor(Qt::black) : QColor(245, 245, 245));
    return glyph;
}

// Drawn once per process: the tray, the window icon and the switched-off
// look all start from the same images.
const std::vector<QImage>& marks() {
    static const std::vector<QImage> painted = [] {
        std::vector<QImage> images;
        for (const int size : kMarkSizes) images.push_back(paintMark(size));
        return images;
    }();
    return painted;
}

QPixmap faded(const QImage& glyph, qreal opacity) {
    // Faded as a whole, so the rim and the glyph dim together instead of the
    // rim showing through.
    if (opacity >= 1.0) return QPixmap::fromImage(glyph);
    QImage result(glyph.size(), QImage::Format_ARGB32_Premultiplied);
    result.fill(Qt::transparent);
    QPainter painter(&result);
    painter.setOpacity(opacity);
    painter.drawImage(0, 0, glyph);
    painter.end();
    return QPixmap::fromImage(result);
}

}  // namespace

QIcon statusMarkIcon(qreal opacity) {
    std::vector<QPixmap> pixmaps;
    for (const QImage& glyph : marks()) pixmaps.push_back(faded(glyph, opacity));
    QIcon icon = fixedIcon(std::move(pixmaps));
    icon.setIsMask(kTemplateMark);
    return icon;
}

}  // namespace corvane
