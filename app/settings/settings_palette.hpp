#pragma once

#include <QColor>
#include <QPalette>

namespace corvane {

// The colours every part of the settings window shares, derived from the
// palette so that light and dark themes both read well.
struct SettingsPalette {
    // The window's accent: the primary text colour, softened.
    static QColor brandTone(const QPalette& palette) {
        QColor c = palette.color(QPalette::WindowText);
        c.setAlphaF(0.72f);
        return c;
    }
    static QColor warning() { return QColor(230, 126, 0); }
    static QColor secondary(const QPalette& palette) {
        QColor c = palette.color(QPalette::WindowText);
        c.setAlphaF(0.6f);
        return c;
    }
};

}  // namespace corvane
