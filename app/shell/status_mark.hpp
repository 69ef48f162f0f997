#pragma once

#include <QIcon>

namespace corvane {

// The status mark's opacity while the application is switched off.
inline constexpr qreal dimmedOpacity = 0.45;

// The tray's mark, our own artwork: two windows tiled side by side. Drawn
// light with a soft dark rim so it reads on dark and light panels alike, at
// the sizes trays ask for (16 to 64 px, including 18, 22 and 32), and at
// `opacity` as a whole.
QIcon statusMarkIcon(qreal opacity = 1.0);

}  // namespace corvane
