#pragma once

#include <QColor>
#include <QIcon>
#include <QPainter>
#include <QRectF>
#include <string_view>

namespace corvane {

// Our own drawings of the symbol names the product uses (half and quarter
// rectangles, full screen, display arrows, send and follow), so they look the
// same on every desktop and theme.

// True when `name` is one we can draw.
bool hasSymbol(std::string_view name);

// Paints the symbol into `bounds` (square; the drawing is made on a 16-unit
// grid and scaled) in `color`. Unknown names paint nothing.
void paintSymbol(QPainter& painter, std::string_view name, const QRectF& bounds, const QColor& color);

// The symbol as an icon with pixmaps for 16 px and its high-density sizes.
// The disabled look is derived by the style. Null for unknown names.
QIcon symbolIcon(std::string_view name, const QColor& color);

}  // namespace corvane
