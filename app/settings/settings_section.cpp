#include "app/settings/settings_section.hpp"

#include <QPainter>

#include "app/settings/settings_palette.hpp"

namespace corvane {

namespace {

// The panel behind a section's rows: the base colour, rounded, with a hairline.
class Panel final : public QFrame {
public:
    using QFrame::QFrame;

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        QColor line = palette().color(QPalette::WindowText);
        line.setAlphaF(0.12f);
        p.setPen(QPen(line, 1));
        p.setBrush(palette().color(QPalette::Base));
        p.drawRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), 8, 8);
    }
};

class Separator final : public QWidget {
public:
    explicit Separator(QWidget* parent) : QWidget(parent) { setFixedHeight(1); }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        QColor line = palette().color(QPalette::WindowText);
        line.setAlphaF(0.1f);
        p.fillRect(rect().adjusted(12, 0, 0, 0), line);
    }
};

QFont captionFont(const QFont& base) {
    QFont f = base;
    f.setPointSizeF(base.pointSizeF() * 0.85);
    return f;
}

}  // namespace

SettingsSection::SettingsSection(const QString& header, QWidget* parent)
    : QWidget(parent), panel_(new Panel(this)), rows_(new QVBoxLayout(panel_)), footer_(new QVBoxLayout) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(20, 8, 20, 8);
    layout->setSpacing(6);
    if (!header.isEmpty()) {
        auto* title = new QLabel(header, this);
        QFont bold = title->font();
        bold.setBold(true);
        title->setFont(bold);
        title->setContentsMargins(4, 0, 0, 0);
        layout->addWidget(title);
    }
    rows_->setContentsMargins(0, 2, 0, 2);
    rows_->setSpacing(0);
    layout->addWidget(panel_);
    footer_->setContentsMargins(4, 0, 4, 0);
    footer_->setSpacing(8);
    layout->addLayout(footer_);
}

void SettingsSection::addRow(QWidget* row) {
    if (rows_->count() > 0) rows_->addWidget(new Separator(panel_));
    row->setParent(panel_);
    rows_->addWidget(row);
}

QLabel* SettingsSection::addFooterText(const QString& text) {
    auto* label = new QLabel(text, this);
    label->setWordWrap(true);
    label->setFont(captionFont(label->font()));
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, SettingsPalette::secondary(this->palette()));
    label->setPalette(palette);
    footer_->addWidget(label);
    return label;
}

void SettingsSection::addFooterWidget(QWidget* widget) {
    widget->setParent(this);
    footer_->addWidget(widget);
}

}  // namespace corvane
