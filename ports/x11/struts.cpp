#include "ports/x11/struts.hpp"

#include <algorithm>

namespace corvane::x11::Struts {

namespace {

// Do the closed-open ranges [a0, a1) and [b0, b1) share a point?
bool overlaps(double a0, double a1, double b0, double b1) {
    return a0 < b1 && b0 < a1;
}

}  // namespace

Strut fromPlain(std::uint32_t left, std::uint32_t right, std::uint32_t top, std::uint32_t bottom) {
    constexpr std::uint32_t whole = 0xFFFFFFFF;
    return {left, right, top, bottom, 0, whole, 0, whole, 0, whole, 0, whole};
}

Rect visibleArea(const Rect& monitor, const Rect& root, const std::vector<Strut>& struts) {
    double left = monitor.minX(), right = monitor.maxX(), top = monitor.minY(), bottom = monitor.maxY();
    for (const Strut& s : struts) {
        // Each band's span along its edge is inclusive at both ends.
        if (s[0] > 0) {
            const double edge = root.minX() + s[0];
            if (overlaps(root.minX(), edge, monitor.minX(), monitor.maxX()) &&
                overlaps(s[4], double(s[5]) + 1, monitor.minY(), monitor.maxY()))
                left = std::max(left, edge);
        }
        if (s[1] > 0) {
            const double edge = root.maxX() - s[1];
            if (overlaps(edge, root.maxX(), monitor.minX(), monitor.maxX()) &&
                overlaps(s[6], double(s[7]) + 1, monitor.minY(), monitor.maxY()))
                right = std::min(right, edge);
        }
        if (s[2] > 0) {
            const double edge = root.minY() + s[2];
            if (overlaps(root.minY(), edge, monitor.minY(), monitor.maxY()) &&
                overlaps(s[8], double(s[9]) + 1, monitor.minX(), monitor.maxX()))
                top = std::max(top, edge);
        }
        if (s[3] > 0) {
            const double edge = root.maxY() - s[3];
            if (overlaps(edge, root.maxY(), monitor.minY(), monitor.maxY()) &&
                overlaps(s[10], double(s[11]) + 1, monitor.minX(), monitor.maxX()))
                bottom = std::min(bottom, edge);
        }
    }
    if (right <= left || bottom <= top) return monitor;
    return Rect{left, top, right - left, bottom - top};
}

}  // namespace corvane::x11::Struts
