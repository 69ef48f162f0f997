#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "core/rect.hpp"

namespace corvane {

// The gap control: a slider over 0…40 points in steps of 2 and its text.

// "12 pt".
std::string gapText(std::int64_t gap);

// A slider value as the stored gap: rounded to the nearest integer (halves
// away from zero) and kept within 0…Config::maxGap.
std::int64_t gapFromSlider(double value);

// One tile of the gap preview: where it is drawn inside the preview, and how
// opaque. The left tile is always the more opaque one.
struct PreviewTile {
    Rect frame;
    double opacity = 0;
};

// The miniature: the left and right halves of `screen` laid out by the same
// geometry that moves real windows, with the gap drawn three times larger
// so that it stays visible at this scale, then scaled to `size`.
std::array<PreviewTile, 2> gapPreviewTiles(std::int64_t gap, const Rect& screen, const Size& size);

}  // namespace corvane
