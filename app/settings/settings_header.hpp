#pragma once

#include <QIcon>
#include <QWidget>

namespace corvane {

// The band at the top of the settings window: the application's icon, its
// name and its one-line description. The icon is painted, not a child
// widget, so assistive technology reads the name and skips the picture; a
// null icon (nothing loaded) leaves the texts on their own at the edge.
class SettingsHeader final : public QWidget {
public:
    static constexpr int iconSize = 42;

    explicit SettingsHeader(const QIcon& icon, QWidget* parent = nullptr);

    bool showsIcon() const { return !icon_.isNull(); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QIcon icon_;
    QRect iconRect_;
};

}  // namespace corvane
