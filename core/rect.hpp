#pragma once

#include <limits>

namespace corvane {

struct Point {
    double x = 0;
    double y = 0;
    friend bool operator==(const Point&, const Point&) = default;
};

struct Size {
    double width = 0;
    double height = 0;
    friend bool operator==(const Size&, const Size&) = default;
};

// A rectangle in points, origin plus size. Mirrors the platform rectangle the
// placement arithmetic was designed around, including its "null" value: the
// result of intersecting disjoint rectangles or of an inset that would make a
// side negative. Every reading (minX, width, ...) is of the standardized
// rectangle, so callers never see a negative side.
struct Rect {
    double x = 0;
    double y = 0;
    double width = 0;
    double height = 0;

    static Rect null();
    bool isNull() const;

    // Origin moved so that width and height are non-negative.
    Rect standardized() const;

    double minX() const;
    double midX() const;
    double maxX() const;
    double minY() const;
    double midY() const;
    double maxY() const;
    // Width and height of the standardized rectangle; 0 for the null rectangle.
    double w() const;
    double h() const;

    // x and y grow by d, width and height shrink by 2d; null when a side would go negative.
    Rect inset(double d) const;
    // The common part, or null when the two do not overlap.
    Rect intersection(const Rect& other) const;

    friend bool operator==(const Rect&, const Rect&) = default;
};

}  // namespace corvane
