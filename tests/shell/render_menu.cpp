// Renders the tray menu as a person first sees it (default shortcuts,
// switched on, access granted, desktops available) with the "Send to
// Desktop" submenu open beside it, and saves the picture to the path given
// as the only argument. Run on Qt's offscreen platform; fails when the menu
// does not hold the model's items.

#include <QAction>
#include <QApplication>
#include <QImage>
#include <QMenu>
#include <QPainter>
#include <QPainterPath>
#include <cstdio>

#include "app/shell/menu_model.hpp"
#include "app/shell/tray_menu.hpp"

namespace {

int fail(const char* message) {
    std::fprintf(stderr, "corvane_shell_render: %s\n", message);
    return 1;
}

// A menu window as it would float over a desktop: a soft shadow below it.
void drawWithShadow(QPainter& painter, const QImage& image, QPoint at) {
    for (int spread = 6; spread >= 1; --spread) {
        QPainterPath shadow;
        shadow.addRoundedRect(QRectF(at + QPoint(0, 3), image.size() / image.devicePixelRatio())
                                  .adjusted(-spread, -spread, spread, spread),
                              6 + spread, 6 + spread);
        painter.fillPath(shadow, QColor(0, 0, 0, 7));
    }
    painter.drawImage(at, image);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) return fail("usage: corvane_shell_render OUTPUT.png");
    QApplication app(argc, argv);

    // Shortcuts as the X11 port writes them: the picture is of the Linux app.
    corvane::KeyboardMap::Names linuxNames;
    linuxNames.option = linuxNames.optionShort = "Alt";
    linuxNames.command = linuxNames.commandShort = "Super";
    linuxNames.shortcutsInWords = true;
    const auto items = corvane::buildStatusMenu(
        corvane::MenuState{true, true, corvane::Config::defaults(), true, linuxNames});
    QMenu menu;
    int chosen = 0;
    corvane::fillMenu(menu, items, [&chosen](const corvane::MenuCommand&) { ++chosen; });

    // Build it twice: a reopened menu must not keep the earlier submenus.
    corvane::fillMenu(menu, items, [&chosen](const corvane::MenuCommand&) { ++chosen; });
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    const auto submenus = menu.findChildren<QMenu*>(Qt::FindDirectChildrenOnly);
    if (submenus.size() != 2) return fail("expected exactly two submenus after refilling");
    if (menu.actions().size() != static_cast<qsizetype>(items.size()))
        return fail("menu and model differ in size");
    for (QMenu* submenu : submenus) {
        if (submenu->actions().size() != 9) return fail("a desktop submenu does not hold nine desktops");
    }
    menu.actions().at(2)->trigger();  // "Left Half"
    if (chosen != 1) return fail("choosing an item did not run its command");

    menu.popup(QPoint(0, 0));
    QAction* sendItem = menu.actions().at(17);
    if (!sendItem->menu() || sendItem->text() != "Send to Desktop") return fail("item 17 is not the submenu");
    const QRect sendRow = menu.actionGeometry(sendItem);
    QMenu* send = sendItem->menu();
    menu.setActiveAction(sendItem);
    send->popup(QPoint(menu.width() - 4, sendRow.top() - 4));

    const QImage main = menu.grab().toImage();
    const QImage sub = send->grab().toImage();
    const int margin = 24;
    const QPoint mainAt(margin, margin);
    const QPoint subAt(margin + main.width() - 6, margin + sendRow.top() - 4);
    QImage canvas(subAt.x() + sub.width() + margin,
                  margin + std::max(main.height(), subAt.y() + sub.height()),
                  QImage::Format_ARGB32_Premultiplied);
    canvas.fill(QColor(236, 239, 243));
    {
        QPainter painter(&canvas);
        painter.setRenderHint(QPainter::Antialiasing);
        drawWithShadow(painter, main, mainAt);
        drawWithShadow(painter, sub, subAt);
    }
    if (!canvas.save(QString::fromLocal8Bit(argv[1]))) return fail("could not write the picture");
    std::printf("corvane_shell_render: wrote %s (%dx%d)\n", argv[1], canvas.width(), canvas.height());
    return 0;
}
