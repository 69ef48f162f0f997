#pragma once

#include <QVariantAnimation>
#include <QWidget>
#include <array>
#include <cstdint>

#include "app/settings/gap_model.hpp"

namespace corvane {

// The miniature screen with two tiled windows beside the gap slider. Purely
// decorative: no input, no focus, nothing for assistive technology.
class GapPreview final : public QWidget {
public:
    static constexpr double animationSeconds = 0.15;

    explicit GapPreview(QWidget* parent = nullptr);

    // Moves the tiles to the layout of `gap`, animated unless told otherwise.
    void setGap(std::int64_t gap, bool animated = true);
    std::int64_t gap() const { return gap_; }
    // The tiles as drawn right now (mid-animation included), in widget pixels.
    std::array<PreviewTile, 2> tilesNow() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::int64_t gap_ = -1;
    std::array<PreviewTile, 2> from_{};
    std::array<PreviewTile, 2> to_{};
    QVariantAnimation animation_;
};

}  // namespace corvane
