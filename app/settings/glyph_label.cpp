#include "app/settings/glyph_label.hpp"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

#include "app/shell/symbol_icons.hpp"

namespace corvane {

namespace {

void paintCheckCircle(QPainter& p, const QRectF& r, const QColor& color) {
    p.setPen(Qt::NoPen);
    p.setBrush(color);
    p.drawEllipse(r.adjusted(1, 1, -1, -1));
    QPainterPath tick;
    tick.moveTo(r.left() + r.width() * 0.28, r.top() + r.height() * 0.52);
    tick.lineTo(r.left() + r.width() * 0.44, r.top() + r.height() * 0.67);
    tick.lineTo(r.left() + r.width() * 0.72, r.top() + r.height() * 0.36);
    p.setPen(QPen(Qt::white, r.width() * 0.1, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPath(tick);
}

void paintWarningTriangle(QPainter& p, const QRectF& r, const QColor& color) {
    QPainterPath triangle;
    triangle.moveTo(r.center().x(), r.top() + r.height() * 0.08);
    triangle.lineTo(r.right() - r.width() * 0.04, r.bottom() - r.height() * 0.1);
    triangle.lineTo(r.left() + r.width() * 0.04, r.bottom() - r.height() * 0.1);
    triangle.closeSubpath();
    p.setPen(QPen(color, r.width() * 0.08, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(color);
    p.drawPath(triangle);
    p.setPen(QPen(Qt::white, r.width() * 0.1, Qt::SolidLine, Qt::RoundCap));
    const qreal x = r.center().x();
    p.drawLine(QPointF(x, r.top() + r.height() * 0.36), QPointF(x, r.top() + r.height() * 0.6));
    p.drawPoint(QPointF(x, r.top() + r.height() * 0.75));
}

}  // namespace

GlyphLabel::GlyphLabel(int size, QWidget* parent) : QWidget(parent) {
    setFixedSize(size, size);
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void GlyphLabel::setGlyph(const std::string& symbol, const QColor& color) {
    if (symbol == symbol_ && color == color_) return;
    symbol_ = symbol;
    color_ = color;
    update();
}

void GlyphLabel::paintEvent(QPaintEvent*) {
    // Some symbols punch holes with the Clear composition mode. On the
    // window itself that clears to black on an opaque backing store, so
    // the glyph is drawn on a transparent layer first and laid on top.
    const qreal ratio = devicePixelRatioF();
    QPixmap layer(size() * ratio);
    layer.setDevicePixelRatio(ratio);
    layer.fill(Qt::transparent);
    {
        QPainter p(&layer);
        p.setRenderHint(QPainter::Antialiasing);
        const QRectF bounds(rect());
        if (symbol_ == "checkmark.circle.fill")
            paintCheckCircle(p, bounds, color_);
        else if (symbol_ == "exclamationmark.triangle.fill")
            paintWarningTriangle(p, bounds, color_);
        else
            paintSymbol(p, symbol_, bounds, color_);
    }
    QPainter(this).drawPixmap(0, 0, layer);
}

}  // namespace corvane
