#include "app/settings/shortcut_row.hpp"

#include <QFontDatabase>
#include <QGraphicsOpacityEffect>
#include <QHBoxLayout>
#include <QPainter>
#include <QVBoxLayout>

#include "app/settings/settings_palette.hpp"

namespace corvane {

namespace {

// The remove button's "xmark.circle.fill", in the secondary colour.
QIcon removeIcon(const QColor& color) {
    QPixmap pixmap(32, 32);
    pixmap.setDevicePixelRatio(2);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(color);
    p.drawEllipse(QRectF(1, 1, 14, 14));
    p.setPen(QPen(Qt::white, 1.6, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(5.5, 5.5), QPointF(10.5, 10.5));
    p.drawLine(QPointF(10.5, 5.5), QPointF(5.5, 10.5));
    return QIcon(pixmap);
}

void setTextColor(QWidget& widget, const QColor& color) {
    QPalette palette = widget.palette();
    palette.setColor(QPalette::WindowText, color);
    palette.setColor(QPalette::ButtonText, color);
    widget.setPalette(palette);
}

}  // namespace

ShortcutRow::ShortcutRow(std::function<void()> onRecord, std::function<void()> onRemove, QWidget* parent)
    : QWidget(parent),
      symbol_(new GlyphLabel(18, this)),
      title_(new QLabel(this)),
      note_(new QLabel(this)),
      record_(new QPushButton(this)),
      remove_(new QToolButton(this)) {
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(12, 6, 8, 6);
    // The symbol sits centred in a column 22 points wide.
    auto* symbolColumn = new QWidget(this);
    symbolColumn->setFixedWidth(22);
    auto* symbolLayout = new QHBoxLayout(symbolColumn);
    symbolLayout->setContentsMargins(0, 0, 0, 0);
    symbolLayout->addWidget(symbol_, 0, Qt::AlignCenter);
    layout->addWidget(symbolColumn);

    auto* texts = new QVBoxLayout;
    texts->setSpacing(2);
    texts->addWidget(title_);
    QFont caption = note_->font();
    caption.setPointSizeF(caption.pointSizeF() * 0.85);
    note_->setFont(caption);
    note_->setWordWrap(true);
    texts->addWidget(note_);
    layout->addLayout(texts, 1);

    record_->setMinimumWidth(136);
    record_->setAutoDefault(false);
    layout->addWidget(record_);

    remove_->setAutoRaise(true);
    remove_->setToolTip(QStringLiteral("Remove shortcut"));
    remove_->setIcon(removeIcon(SettingsPalette::secondary(palette())));
    remove_->setIconSize(QSize(16, 16));
    remove_->setFocusPolicy(Qt::TabFocus);
    // Hidden but keeping its place, so the record buttons stay aligned.
    auto* opacity = new QGraphicsOpacityEffect(remove_);
    remove_->setGraphicsEffect(opacity);
    layout->addWidget(remove_);

    QObject::connect(record_, &QPushButton::clicked, [onRecord = std::move(onRecord)] { onRecord(); });
    QObject::connect(remove_, &QToolButton::clicked, [onRemove = std::move(onRemove)] { onRemove(); });
}

void ShortcutRow::showModel(const ShortcutRowModel& model) {
    if (shown_ && model == model_) return;
    shown_ = true;
    model_ = model;
    const QPalette& base = parentWidget() ? parentWidget()->palette() : palette();
    symbol_->setGlyph(model.symbol, SettingsPalette::brandTone(base));
    title_->setText(QString::fromStdString(model.title));
    note_->setVisible(model.note.has_value());
    if (model.note) {
        note_->setText(QString::fromStdString(model.note->text));
        setTextColor(*note_,
                     model.note->isWarning ? SettingsPalette::warning() : SettingsPalette::secondary(base));
    }

    record_->setText(QString::fromStdString(model.buttonLabel));
    QFont font = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    if (model.monospacedLabel()) font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    record_->setFont(font);
    QPalette buttonPalette = base;
    buttonPalette.setColor(QPalette::ButtonText, model.secondaryLabel() ? SettingsPalette::secondary(base)
                                                                        : base.color(QPalette::ButtonText));
    if (model.isRecording) {
        // Tinted while it listens, so the user sees where the keys go.
        QColor tint = base.color(QPalette::Highlight);
        buttonPalette.setColor(QPalette::Button, tint);
        buttonPalette.setColor(QPalette::ButtonText, base.color(QPalette::HighlightedText));
    }
    record_->setPalette(buttonPalette);
    // Read as one phrase, "Left Half, Ctrl+Alt+Super+←"; the note (a clash,
    // a refusal, the recording hint) follows as the description.
    record_->setAccessibleName(QString::fromStdString(model.title + ", " + model.buttonLabel));
    record_->setAccessibleDescription(model.note ? QString::fromStdString(model.note->text) : QString());
    remove_->setAccessibleName(QString::fromStdString("Remove shortcut, " + model.title));

    remove_->setEnabled(model.hasShortcut);
    static_cast<QGraphicsOpacityEffect*>(remove_->graphicsEffect())
        ->setOpacity(model.hasShortcut ? 1.0 : 0.0);
}

}  // namespace corvane
