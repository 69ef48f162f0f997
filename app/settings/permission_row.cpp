#include "app/settings/permission_row.hpp"

#include <QHBoxLayout>
#include <QVBoxLayout>

#include "app/settings/settings_palette.hpp"

namespace corvane {

PermissionRowWidget::PermissionRowWidget(const PermissionRow& row,
                                         std::function<void(PermissionRow::Action)> onAction, QWidget* parent)
    : QWidget(parent), row_(row) {
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(12, 8, 12, 8);
    auto* glyph = new GlyphLabel(22, this);
    glyph->setGlyph(row.symbol, row.tone == PermissionRow::Tone::warning
                                    ? SettingsPalette::warning()
                                    : SettingsPalette::brandTone(parent ? parent->palette() : palette()));
    layout->addWidget(glyph, 0, Qt::AlignVCenter);

    auto* texts = new QVBoxLayout;
    texts->setSpacing(2);
    auto* title = new QLabel(QString::fromStdString(row.title), this);
    auto* detail = new QLabel(QString::fromStdString(row.detail), this);
    detail->setWordWrap(true);
    QFont small = detail->font();
    small.setPointSizeF(small.pointSizeF() * 0.85);
    detail->setFont(small);
    QPalette secondary = detail->palette();
    secondary.setColor(QPalette::WindowText, SettingsPalette::secondary(palette()));
    detail->setPalette(secondary);
    texts->addWidget(title);
    texts->addWidget(detail);
    layout->addLayout(texts, 1);

    if (!row.buttonTitle.empty()) {
        button_ = new QPushButton(QString::fromStdString(row.buttonTitle), this);
        button_->setAutoDefault(false);
        const auto action = row.action;
        QObject::connect(button_, &QPushButton::clicked,
                         [onAction = std::move(onAction), action] { onAction(action); });
        layout->addWidget(button_, 0, Qt::AlignVCenter);
    }
}

}  // namespace corvane
