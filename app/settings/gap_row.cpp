#include "app/settings/gap_row.hpp"

#include <QFontDatabase>
#include <QHBoxLayout>
#include <QSignalBlocker>
#include <QVBoxLayout>
#include <cmath>

#include "app/settings/settings_palette.hpp"
#include "core/config.hpp"

namespace corvane {

namespace {

// The slider counts steps of 2 points, so dragging can only land on even gaps.
constexpr int kStep = 2;

}  // namespace

GapRow::GapRow(std::function<void(std::int64_t)> onChange, QWidget* parent)
    : QWidget(parent),
      onChange_(std::move(onChange)),
      slider_(new QSlider(Qt::Horizontal, this)),
      value_(new QLabel(this)),
      preview_(new GapPreview(this)) {
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(12, 10, 12, 10);
    layout->setSpacing(16);

    auto* left = new QVBoxLayout;
    left->setSpacing(2);
    auto* title = new QLabel(QStringLiteral("Window gap"), this);
    auto* caption = new QLabel(QStringLiteral("Space around and between tiled windows."), this);
    QFont small = caption->font();
    small.setPointSizeF(small.pointSizeF() * 0.85);
    caption->setFont(small);
    QPalette secondary = caption->palette();
    secondary.setColor(QPalette::WindowText, SettingsPalette::secondary(palette()));
    caption->setPalette(secondary);
    left->addWidget(title);
    left->addWidget(caption);

    auto* sliderLine = new QHBoxLayout;
    slider_->setRange(0, static_cast<int>(Config::maxGap / kStep));
    slider_->setSingleStep(1);
    slider_->setPageStep(5);
    slider_->setAccessibleName(QStringLiteral("Window gap"));
    value_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    value_->setFixedWidth(44);
    value_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    sliderLine->addWidget(slider_, 1);
    sliderLine->addWidget(value_);
    left->addLayout(sliderLine);
    layout->addLayout(left, 1);
    layout->addWidget(preview_, 0, Qt::AlignVCenter);

    // A step from the keyboard is written at once. While the handle is
    // dragged only the text and the preview follow it, and the value is
    // written once, on release: every write syncs the settings file and
    // registers every hot key again, which can take tens of milliseconds.
    QObject::connect(slider_, &QSlider::valueChanged, this, [this](int position) {
        const std::int64_t gap = gapFromSlider(double(position) * kStep);
        if (slider_->isSliderDown())
            showValue(gap);
        else
            onChange_(gap);
    });
    QObject::connect(slider_, &QSlider::sliderReleased, this,
                     [this] { onChange_(gapFromSlider(double(slider_->value()) * kStep)); });
}

void GapRow::showValue(std::int64_t gap) {
    value_->setText(QString::fromStdString(gapText(gap)));
    preview_->setGap(gap);
}

void GapRow::setGap(std::int64_t gap) {
    // Mid-drag the handle shows the user's value, not the stored one.
    if (slider_->isSliderDown()) return;
    {
        // Showing the stored value is not a change by the user.
        const QSignalBlocker blocker(slider_);
        slider_->setValue(static_cast<int>(std::lround(double(gap) / kStep)));
    }
    showValue(gap);
}

}  // namespace corvane
