#pragma once

#include <QLabel>
#include <QPushButton>
#include <QWidget>
#include <functional>

#include "app/settings/glyph_label.hpp"
#include "app/settings/permission_rows.hpp"

namespace corvane {

// One status row at the top of the window (permission or window manager,
// and the warning about another tool), with its button when it has one.
class PermissionRowWidget final : public QWidget {
public:
    PermissionRowWidget(const PermissionRow& row, std::function<void(PermissionRow::Action)> onAction,
                        QWidget* parent = nullptr);
    const PermissionRow& row() const { return row_; }
    QPushButton* button() { return button_; }

private:
    PermissionRow row_;
    QPushButton* button_ = nullptr;
};

}  // namespace corvane
