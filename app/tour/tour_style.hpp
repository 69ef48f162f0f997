#pragma once

#include <QColor>
#include <QFont>
#include <QPainter>
#include <QPainterPath>
#include <QPalette>

namespace corvane::tourStyle {

// The tour's tint: a quiet slate that reads on light and dark themes.
inline QColor tint() {
    return QColor::fromRgbF(0.35f, 0.40f, 0.45f);
}

// The theme's text colour at the strengths a secondary or tertiary line uses.
inline QColor secondaryText(const QPalette& palette) {
    QColor color = palette.color(QPalette::WindowText);
    color.setAlphaF(0.62f);
    return color;
}
inline QColor tertiaryText(const QPalette& palette) {
    QColor color = palette.color(QPalette::WindowText);
    color.setAlphaF(0.42f);
    return color;
}

inline QFont sized(QFont font, int pixels, QFont::Weight weight = QFont::Normal) {
    font.setPixelSize(pixels);
    font.setWeight(weight);
    return font;
}

inline QFont monospaced(int pixels, qreal letterSpacing = 0) {
    QFont font(QStringLiteral("monospace"));
    font.setStyleHint(QFont::Monospace);
    font.setPixelSize(pixels);
    font.setWeight(QFont::Bold);
    if (letterSpacing > 0) font.setLetterSpacing(QFont::AbsoluteSpacing, letterSpacing);
    return font;
}

// Both previews (demo screen, desktops) are drawn antialiased inside the
// same rounded rectangle.
inline void clipToPreview(QPainter& painter, const QRectF& bounds) {
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath clip;
    clip.addRoundedRect(bounds, 12, 12);
    painter.setClipPath(clip);
}

}  // namespace corvane::tourStyle
