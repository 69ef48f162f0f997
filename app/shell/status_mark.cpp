#include "app/shell/status_mark.hpp"

#include <QPainter>
#include <QPixmap>
#include <array>

#include "app/shell/action_symbol.hpp"
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

QPixmap markPixmap(int size, qreal opacity) {
    // Drawn at full opacity first and faded as a whole, so the rim and the
    // glyph dim together instead of the rim showing through.
    QPixmap glyph(size, size);
    glyph.fill(Qt::transparent);
    {
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
        paintSymbol(painter, statusMarkSymbol, inner,
                    kTemplateMark ? QColor(Qt::black) : QColor(245, 245, 245));
    }
    if (opacity >= 1.0) return glyph;

    QPixmap faded(size, size);
    faded.fill(Qt::transparent);
    QPainter painter(&faded);
    painter.setOpacity(opacity);
    painter.drawPixmap(0, 0, glyph);
    return faded;
}

}  // namespace

QIcon statusMarkIcon(qreal opacity) {
    QIcon icon;
    for (const int size : {16, 18, 22, 24, 32, 48, 64}) icon.addPixmap(markPixmap(size, opacity));
    icon.setIsMask(kTemplateMark);
    return icon;
}

}  // namespace corvane
