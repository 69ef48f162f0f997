#include "app/settings/gap_model.hpp"

#include <algorithm>
#include <cmath>

#include "core/config.hpp"
#include "core/geometry.hpp"

namespace corvane {

std::string gapText(std::int64_t gap) {
    return std::to_string(gap) + " pt";
}

std::int64_t gapFromSlider(double value) {
    if (!std::isfinite(value)) return 0;
    const double clamped = std::clamp(value, 0.0, static_cast<double>(Config::maxGap));
    return static_cast<std::int64_t>(std::round(clamped));
}

std::array<PreviewTile, 2> gapPreviewTiles(std::int64_t gap, const Rect& screen, const Size& size) {
    const double scale = screen.w() > 0 ? size.width / screen.w() : 0;
    const double previewGap = static_cast<double>(gap) * 3.0;
    auto tile = [&](Placement placement, double opacity) {
        const Rect f = Geometry::frame(placement, screen, previewGap);
        return PreviewTile{Rect{(f.minX() - screen.minX()) * scale, (f.minY() - screen.minY()) * scale,
                                f.w() * scale, f.h() * scale},
                           opacity};
    };
    return {tile(Placement::leftHalf, 0.76), tile(Placement::rightHalf, 0.46)};
}

}  // namespace corvane
