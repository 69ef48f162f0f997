#include "core/rect.hpp"

#include <algorithm>
#include <cmath>

namespace corvane {

namespace {
constexpr double kInfinity = std::numeric_limits<double>::infinity();
}  // namespace

// The null rectangle sits at infinity with no size, so it can never be
// mistaken for a real (finite) rectangle and compares equal only to itself.
Rect Rect::null() {
    return Rect{kInfinity, kInfinity, 0, 0};
}

bool Rect::isNull() const {
    return x == kInfinity || y == kInfinity;
}

Rect Rect::standardized() const {
    if (isNull()) return null();
    Rect r = *this;
    if (r.width < 0) {
        r.x += r.width;
        r.width = -r.width;
    }
    if (r.height < 0) {
        r.y += r.height;
        r.height = -r.height;
    }
    return r;
}

double Rect::minX() const {
    return standardized().x;
}
double Rect::midX() const {
    const Rect r = standardized();
    return r.x + r.width / 2;
}
double Rect::maxX() const {
    const Rect r = standardized();
    return r.x + r.width;
}
double Rect::minY() const {
    return standardized().y;
}
double Rect::midY() const {
    const Rect r = standardized();
    return r.y + r.height / 2;
}
double Rect::maxY() const {
    const Rect r = standardized();
    return r.y + r.height;
}
double Rect::w() const {
    return standardized().width;
}
double Rect::h() const {
    return standardized().height;
}

Rect Rect::inset(double d) const {
    if (isNull()) return null();
    const Rect r = standardized();
    const Rect result{r.x + d, r.y + d, r.width - 2 * d, r.height - 2 * d};
    if (result.width < 0 || result.height < 0) return null();
    return result;
}

Rect Rect::intersection(const Rect& other) const {
    if (isNull() || other.isNull()) return null();
    const Rect a = standardized();
    const Rect b = other.standardized();
    const double left = std::max(a.x, b.x);
    const double top = std::max(a.y, b.y);
    const double right = std::min(a.x + a.width, b.x + b.width);
    const double bottom = std::min(a.y + a.height, b.y + b.height);
    // Rectangles sharing only an edge meet in a zero-sized rectangle, which is
    // not null; only a real gap between them gives null.
    if (right < left || bottom < top) return null();
    return Rect{left, top, right - left, bottom - top};
}

}  // namespace corvane
