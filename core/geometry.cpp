#include "core/geometry.hpp"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numeric>
#include <vector>

namespace corvane::Geometry {

namespace {

// One axis of a tiled area: the inner span after the outer margins, split into
// a leading part (left column / upper row) and a trailing part with one gap between.
struct Split {
    double innerStart;
    double innerLength;
    double lead;        // width of the left column / height of the upper row
    double trailStart;  // left edge of the right column / top edge of the lower row
    double trail;       // what is left for the right column / lower row
};

// For areas of at least twice the gap this is exactly the inset-then-halve rule:
// margin g on both sides, lead = floor((inner - g) / 2), one full gap between.
// Smaller areas cannot hold their margins; rather than a null inset and negative
// halves (which a window system would reject or misread), the inner span shrinks
// to nothing at the area's middle, the halves clamp at zero and the split point
// never passes the inner end, so every part stays inside the area with a size >= 0.
Split split(double start, double length, double gap) {
    const double innerStart = start + std::min(gap, length / 2);
    const double innerLength = std::max(0.0, length - 2 * gap);
    const double innerEnd = innerStart + innerLength;
    const double lead = std::max(0.0, std::floor((innerLength - gap) * 0.5));
    const double trailStart = std::min(innerEnd, innerStart + lead + gap);
    return Split{innerStart, innerLength, lead, trailStart, innerEnd - trailStart};
}

// Ordering key that puts NaN after everything, so sorting never sees an
// inconsistent comparison even for garbage input.
double sortKey(double v) {
    return std::isnan(v) ? std::numeric_limits<double>::infinity() : v;
}

// Ratio of destination to source extent. A source of zero (or unusable) extent
// has no proportion to keep: the frame keeps its size and its offset from the
// source's origin on that axis, and the clamps below pull it into the destination.
// Dividing instead would give infinities or NaN, i.e. an unwritable frame.
double scale(double destination, double source) {
    const double ratio = destination / source;
    return source > 0 && std::isfinite(ratio) ? ratio : 1.0;
}

}  // namespace

Rect frame(Placement placement, const Rect& area, double gap) {
    if (area.isNull()) return Rect::null();
    // A negative or non-finite gap is no gap; the configuration never holds one.
    const double g = std::isfinite(gap) && gap > 0 ? gap : 0.0;
    const Rect a = area.standardized();
    const Split x = split(a.x, a.width, g);
    const Split y = split(a.y, a.height, g);

    switch (placement.value()) {
        case Placement::leftHalf:
            return Rect{x.innerStart, y.innerStart, x.lead, y.innerLength};
        case Placement::rightHalf:
            return Rect{x.trailStart, y.innerStart, x.trail, y.innerLength};
        case Placement::topHalf:
            return Rect{x.innerStart, y.innerStart, x.innerLength, y.lead};
        case Placement::bottomHalf:
            return Rect{x.innerStart, y.trailStart, x.innerLength, y.trail};
        case Placement::topLeft:
            return Rect{x.innerStart, y.innerStart, x.lead, y.lead};
        case Placement::topRight:
            return Rect{x.trailStart, y.innerStart, x.trail, y.lead};
        case Placement::bottomLeft:
            return Rect{x.innerStart, y.trailStart, x.lead, y.trail};
        case Placement::bottomRight:
            return Rect{x.trailStart, y.trailStart, x.trail, y.trail};
        case Placement::maximize:
        case Placement::previousDisplay:
        case Placement::nextDisplay:
            break;
    }
    return Rect{x.innerStart, y.innerStart, x.innerLength, y.innerLength};
}

Rect toAX(const Rect& screenRect, double primaryHeight) {
    if (screenRect.isNull()) return Rect::null();
    const Rect r = screenRect.standardized();
    return Rect{r.x, primaryHeight - (r.y + r.height), r.width, r.height};
}

std::optional<std::size_t> screenIndex(const Rect& window, std::span<const Rect> screens) {
    if (screens.empty()) return std::nullopt;

    std::size_t best = 0;
    double bestArea = -1;
    for (std::size_t i = 0; i < screens.size(); ++i) {
        const Rect common = screens[i].intersection(window);
        const double area = common.isNull() ? 0.0 : common.w() * common.h();
        if (area > bestArea) {
            best = i;
            bestArea = area;
        }
    }
    if (bestArea > 0) return best;
    if (screens.size() == 1) return 0;

    // Off every screen: the nearest one to the window's centre (squared distance
    // is enough to compare).
    const double px = window.midX();
    const double py = window.midY();
    auto distance = [&](const Rect& s) {
        const double dx = std::max({0.0, s.minX() - px, px - s.maxX()});
        const double dy = std::max({0.0, s.minY() - py, py - s.maxY()});
        return dx * dx + dy * dy;
    };
    best = 0;
    double bestDistance = distance(screens[0]);
    for (std::size_t i = 1; i < screens.size(); ++i) {
        const double d = distance(screens[i]);
        if (d < bestDistance) {
            best = i;
            bestDistance = d;
        }
    }
    return best;
}

std::size_t adjacentScreen(std::size_t current, int step, std::span<const Rect> screens) {
    if (screens.empty()) return current;

    std::vector<std::size_t> order(screens.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        const double ax = sortKey(screens[a].minX());
        const double bx = sortKey(screens[b].minX());
        if (ax != bx) return ax < bx;
        return sortKey(screens[a].minY()) < sortKey(screens[b].minY());
    });

    const auto found = std::find(order.begin(), order.end(), current);
    if (found == order.end()) return current;

    const auto n = static_cast<std::int64_t>(order.size());
    const auto p = static_cast<std::int64_t>(found - order.begin());
    const std::int64_t q = ((p + step) % n + n) % n;
    return order[static_cast<std::size_t>(q)];
}

Rect moved(const Rect& frame, const Rect& from, const Rect& to) {
    // No destination area, nothing to carry the window to.
    if (to.isNull()) return Rect::null();
    const Rect f = frame.standardized();
    const Rect r = from.standardized();
    const Rect d = to.standardized();

    const double sx = scale(d.width, r.width);
    const double sy = scale(d.height, r.height);

    const double width = std::min(d.width, std::round(f.width * sx));
    const double height = std::min(d.height, std::round(f.height * sy));

    double x = std::max(d.x, std::round(d.x + (f.x - r.x) * sx));
    double y = std::max(d.y, std::round(d.y + (f.y - r.y) * sy));
    // Applied after the lower clamp so that, with the size already capped at the
    // area's, the frame always ends up inside the destination.
    if (d.x + d.width - width < x) x = d.x + d.width - width;
    if (d.y + d.height - height < y) y = d.y + d.height - height;

    return Rect{x, y, width, height};
}

}  // namespace corvane::Geometry
