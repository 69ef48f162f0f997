#include "app/settings/settings_header.hpp"

#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QVBoxLayout>

#include "app/settings/settings_palette.hpp"

namespace corvane {

namespace {

constexpr int kMarginX = 20;
constexpr int kMarginY = 12;
constexpr int kSpacing = 12;

}  // namespace

SettingsHeader::SettingsHeader(const QIcon& icon, QWidget* parent) : QWidget(parent), icon_(icon) {
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(kMarginX, kMarginY, kMarginX, kMarginY);
    row->setSpacing(kSpacing);
    if (showsIcon()) {
        // Room for the painted icon and the gap after it: a box layout puts
        // no spacing next to a spacer of its own.
        row->addSpacing(iconSize + kSpacing);
        setMinimumHeight(iconSize + 2 * kMarginY);
        iconRect_ = QRect(kMarginX, 0, iconSize, iconSize);
    }
    auto* texts = new QVBoxLayout;
    texts->setSpacing(2);
    auto* name = new QLabel(QStringLiteral("Corvane"), this);
    QFont headline = name->font();
    headline.setBold(true);
    headline.setPointSizeF(headline.pointSizeF() * 1.15);
    name->setFont(headline);
    texts->addWidget(name);
    auto* tagline = new QLabel(QStringLiteral("Window placement, simplified."), this);
    QFont small = tagline->font();
    small.setPointSizeF(small.pointSizeF() * 0.85);
    tagline->setFont(small);
    QPalette secondary = tagline->palette();
    secondary.setColor(QPalette::WindowText, SettingsPalette::secondary(palette()));
    tagline->setPalette(secondary);
    texts->addWidget(tagline);
    row->addLayout(texts);
    row->addStretch(1);
}

void SettingsHeader::paintEvent(QPaintEvent* event) {
    QWidget::paintEvent(event);
    if (!showsIcon()) return;
    QPainter painter(this);
    QRect target = iconRect_;
    target.moveTop((height() - iconSize) / 2);
    icon_.paint(&painter, target);
}

}  // namespace corvane
