#include "app/shell/symbol_icons.hpp"

#include <QPainterPath>
#include <QPixmap>
#include <array>
#include <functional>
#include <map>
#include <string>

#include "app/shell/action_symbol.hpp"

namespace corvane {

namespace {

// Every drawing uses a 16 × 16 grid. Outlines are one unit wide on half
// units and fills sit on whole units, so the 16 px icon is crisp; the frame of
// a window is landscape and rounded like a window's corners. Its inside is
// x 2…14, y 4…12.
constexpr qreal lineWidth = 1.0;
const QRectF landscape(1.5, 3.5, 13.0, 9.0);
constexpr qreal radius = 2.0;

enum class Side { left, right, top, bottom };

QPainterPath rounded(const QRectF& rect, qreal r = radius) {
    QPainterPath path;
    path.addRoundedRect(rect, r, r);
    return path;
}

QRectF half(const QRectF& rect, Side side) {
    switch (side) {
        case Side::left:
            return QRectF(rect.left(), rect.top(), rect.width() / 2, rect.height());
        case Side::right:
            return QRectF(rect.center().x(), rect.top(), rect.width() / 2, rect.height());
        case Side::top:
            return QRectF(rect.left(), rect.top(), rect.width(), rect.height() / 2);
        case Side::bottom:
            return QRectF(rect.left(), rect.center().y(), rect.width(), rect.height() / 2);
    }
    return rect;
}

QPen pen(const QColor& color, qreal width = lineWidth) {
    return QPen(color, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

void outline(QPainter& p, const QRectF& rect, const QColor& color, qreal r = radius) {
    p.setPen(pen(color));
    p.setBrush(Qt::NoBrush);
    p.drawPath(rounded(rect, r));
}

void fill(QPainter& p, const QRectF& rect, const QColor& color, qreal r = 0.5) {
    p.setPen(Qt::NoPen);
    p.setBrush(color);
    p.drawPath(rounded(rect, r));
}

// The frame with one half filled right up to the frame's edge.
void halfFilled(QPainter& p, Side side, const QColor& color) {
    p.save();
    p.setClipPath(rounded(landscape));
    p.fillRect(half(landscape, side), color);
    p.restore();
    outline(p, landscape, color);
}

// The frame with a quarter drawn inside it, clear of the frame.
void insetQuarter(QPainter& p, bool top, bool left, const QColor& color) {
    outline(p, landscape, color);
    const QRectF inset(3.0, 5.0, 10.0, 6.0);
    fill(p,
         QRectF(left ? inset.left() : inset.center().x(), top ? inset.top() : inset.center().y(),
                inset.width() / 2, inset.height() / 2),
         color);
}

void arrow(QPainter& p, QPointF from, QPointF to, const QColor& color) {
    p.setPen(pen(color, 1.5));
    p.setBrush(Qt::NoBrush);
    p.drawLine(from, to);
    const qreal back = to.x() > from.x() ? -2.75 : 2.75;
    const std::array<QPointF, 3> head{QPointF(to.x() + back, to.y() - 2.75), to,
                                      QPointF(to.x() + back, to.y() + 2.75)};
    p.drawPolyline(head.data(), static_cast<int>(head.size()));
}

// A smaller frame with its outer half filled and an arrow pointing away to
// the previous or next display.
void displayArrow(QPainter& p, bool towardsLeft, const QColor& color) {
    const QRectF frame = towardsLeft ? QRectF(5.5, 3.5, 9.0, 9.0) : QRectF(1.5, 3.5, 9.0, 9.0);
    outline(p, frame, color, 1.75);
    const QRectF inset = frame.adjusted(1.5, 1.5, -1.5, -1.5);
    fill(p, half(inset, towardsLeft ? Side::left : Side::right), color);
    if (towardsLeft) {
        arrow(p, QPointF(3.75, 8.0), QPointF(0.75, 8.0), color);
    } else {
        arrow(p, QPointF(12.25, 8.0), QPointF(15.25, 8.0), color);
    }
}

// A portrait window with an arrow leaving through its right side.
void sendGlyph(QPainter& p, const QColor& color) {
    const QRectF door(1.5, 1.5, 8.0, 13.0);
    outline(p, door, color, 1.75);
    // Open the right side where the arrow passes through.
    p.save();
    p.setCompositionMode(QPainter::CompositionMode_Clear);
    p.fillRect(QRectF(door.right() - 1.0, 5.0, 2.0, 6.0), Qt::transparent);
    p.restore();
    arrow(p, QPointF(5.0, 8.0), QPointF(15.0, 8.0), color);
}

// A window in front of another, tilted one: the window moves and the view
// goes with it.
void followGlyph(QPainter& p, const QColor& color) {
    const QRectF back(4.5, 1.5, 10.0, 8.0);
    p.save();
    p.translate(back.center());
    p.rotate(-12);
    p.translate(-back.center());
    outline(p, back, color, 1.5);
    p.restore();

    const QRectF front(1.5, 6.5, 10.0, 8.0);
    // Hide the part of the back window that the front one covers.
    p.save();
    p.setCompositionMode(QPainter::CompositionMode_Clear);
    p.setPen(QPen(Qt::transparent, lineWidth * 2.5));
    p.setBrush(Qt::transparent);
    p.drawPath(rounded(front, 1.5));
    p.restore();
    p.save();
    p.setClipPath(rounded(front, 1.5));
    p.fillRect(QRectF(front.left(), front.top(), front.width(), 2.5), color);
    p.restore();
    outline(p, front, color, 1.5);
}

// The status mark's drawing: two windows tiled side by side on a screen.
void splitGlyph(QPainter& p, const QColor& color) {
    outline(p, landscape, color);
    fill(p, QRectF(3.0, 5.0, 4.5, 6.0), color);
    fill(p, QRectF(8.5, 5.0, 4.5, 6.0), color);
}

using Painter = std::function<void(QPainter&, const QColor&)>;

const std::map<std::string, Painter, std::less<>>& painters() {
    static const std::map<std::string, Painter, std::less<>> table{
        {"rectangle.lefthalf.filled", [](QPainter& p, const QColor& c) { halfFilled(p, Side::left, c); }},
        {"rectangle.righthalf.filled", [](QPainter& p, const QColor& c) { halfFilled(p, Side::right, c); }},
        {"rectangle.tophalf.filled", [](QPainter& p, const QColor& c) { halfFilled(p, Side::top, c); }},
        {"rectangle.bottomhalf.filled", [](QPainter& p, const QColor& c) { halfFilled(p, Side::bottom, c); }},
        {"rectangle.inset.topleft.filled",
         [](QPainter& p, const QColor& c) { insetQuarter(p, true, true, c); }},
        {"rectangle.inset.topright.filled",
         [](QPainter& p, const QColor& c) { insetQuarter(p, true, false, c); }},
        {"rectangle.inset.bottomleft.filled",
         [](QPainter& p, const QColor& c) { insetQuarter(p, false, true, c); }},
        {"rectangle.inset.bottomright.filled",
         [](QPainter& p, const QColor& c) { insetQuarter(p, false, false, c); }},
        {"rectangle.fill",
         [](QPainter& p, const QColor& c) {
             p.setPen(pen(c));
             p.setBrush(c);
             p.drawPath(rounded(landscape));
         }},
        {"rectangle.lefthalf.inset.filled.arrow.left",
         [](QPainter& p, const QColor& c) { displayArrow(p, true, c); }},
        {"rectangle.righthalf.inset.filled.arrow.right",
         [](QPainter& p, const QColor& c) { displayArrow(p, false, c); }},
        {"rectangle.portrait.and.arrow.right", sendGlyph},
        {"rectangle.on.rectangle.angled", followGlyph},
        {std::string(statusMarkSymbol), splitGlyph},
        {"arrow.right",
         [](QPainter& p, const QColor& c) { arrow(p, QPointF(2.0, 8.0), QPointF(14.0, 8.0), c); }},
    };
    return table;
}

}  // namespace

bool hasSymbol(std::string_view name) {
    return painters().find(name) != painters().end();
}

void paintSymbol(QPainter& painter, std::string_view name, const QRectF& bounds, const QColor& color) {
    const auto found = painters().find(name);
    if (found == painters().end()) return;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.translate(bounds.topLeft());
    painter.scale(bounds.width() / 16.0, bounds.height() / 16.0);
    found->second(painter, color);
    painter.restore();
}

QIcon symbolIcon(std::string_view name, const QColor& color) {
    if (!hasSymbol(name)) return {};
    QIcon icon;
    for (const int size : {16, 24, 32, 48, 64}) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        paintSymbol(painter, name, QRectF(0, 0, size, size), color);
        painter.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

}  // namespace corvane
