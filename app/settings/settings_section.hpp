#pragma once

#include <QFrame>
#include <QLabel>
#include <QVBoxLayout>
#include <QWidget>

namespace corvane {

// A titled group of rows on a rounded panel, with an optional footer below
// it, like the grouped forms of desktop settings dialogs.
class SettingsSection final : public QWidget {
public:
    // An empty header leaves the title out.
    explicit SettingsSection(const QString& header, QWidget* parent = nullptr);

    // Adds a row to the panel, with a thin separator after the previous one.
    void addRow(QWidget* row);
    // A line of footer text, in the caption font; returns it so its colour
    // and visibility can be set.
    QLabel* addFooterText(const QString& text);
    // Any other footer content (a button line).
    void addFooterWidget(QWidget* widget);

private:
    QFrame* panel_;
    QVBoxLayout* rows_;
    QVBoxLayout* footer_;
};

}  // namespace corvane
