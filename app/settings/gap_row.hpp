#pragma once

#include <QLabel>
#include <QSlider>
#include <QWidget>
#include <cstdint>
#include <functional>

#include "app/settings/gap_preview.hpp"

namespace corvane {

// "Window gap": the slider (0…40 in steps of 2), the value in points and
// the live preview. Changes go to `onChange`, which writes the store (a
// drag once, when it ends); the row then shows what the store holds
// through setGap.
class GapRow final : public QWidget {
public:
    explicit GapRow(std::function<void(std::int64_t)> onChange, QWidget* parent = nullptr);

    void setGap(std::int64_t gap);
    QSlider& slider() { return *slider_; }
    QLabel& valueLabel() { return *value_; }
    GapPreview& preview() { return *preview_; }

private:
    void showValue(std::int64_t gap);

    std::function<void(std::int64_t)> onChange_;
    QSlider* slider_;
    QLabel* value_;
    GapPreview* preview_;
};

}  // namespace corvane
