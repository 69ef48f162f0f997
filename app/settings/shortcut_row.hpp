#pragma once

#include <QLabel>
#include <QPushButton>
#include <QToolButton>
#include <QWidget>
#include <functional>

#include "app/settings/glyph_label.hpp"
#include "app/settings/shortcut_row_model.hpp"

namespace corvane {

// One action's row: symbol, title and note, the record button and the
// remove button. Renders a ShortcutRowModel; the buttons call back.
class ShortcutRow final : public QWidget {
public:
    ShortcutRow(std::function<void()> onRecord, std::function<void()> onRemove, QWidget* parent = nullptr);

    void showModel(const ShortcutRowModel& model);
    const ShortcutRowModel& model() const { return model_; }
    QPushButton& recordButton() { return *record_; }
    QToolButton& removeButton() { return *remove_; }
    QLabel& noteLabel() { return *note_; }

private:
    ShortcutRowModel model_;
    bool shown_ = false;
    GlyphLabel* symbol_;
    QLabel* title_;
    QLabel* note_;
    QPushButton* record_;
    QToolButton* remove_;
};

}  // namespace corvane
