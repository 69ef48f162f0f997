#include "app/shell/tray_menu.hpp"

#include <QAction>
#include <QKeySequence>
#include <QString>

#include "app/shell/symbol_icons.hpp"

namespace corvane {

namespace {

QKeySequence keySequence(KeyEquivalent key) {
    switch (key) {
        case KeyEquivalent::settings:
            return QKeySequence(Qt::CTRL | Qt::Key_Comma);
        case KeyEquivalent::quit:
            return QKeySequence(Qt::CTRL | Qt::Key_Q);
        case KeyEquivalent::none:
            break;
    }
    return {};
}

void addItems(QMenu& menu, const std::vector<MenuItem>& items,
              const std::function<void(const MenuCommand&)>& run) {
    const QColor ink = menu.palette().color(QPalette::Active, QPalette::WindowText);
    for (const auto& item : items) {
        const QString title = QString::fromStdString(item.title);
        switch (item.kind) {
            case MenuItem::Kind::separator:
                menu.addSeparator();
                break;
            case MenuItem::Kind::submenu: {
                // Owned by `menu` (its parent) until the next filling drops it.
                QMenu* submenu = menu.addMenu(title);
                submenu->setEnabled(item.enabled);
                addItems(*submenu, item.submenu, run);
                break;
            }
            case MenuItem::Kind::command: {
                QAction* action = menu.addAction(title);
                if (!item.symbol.empty()) action->setIcon(symbolIcon(item.symbol, ink));
                action->setEnabled(item.enabled);
                action->setShortcut(keySequence(item.keyEquivalent));
                if (item.command) {
                    QObject::connect(action, &QAction::triggered, &menu,
                                     [run, command = *item.command] { run(command); });
                }
                break;
            }
        }
    }
}

}  // namespace

void fillMenu(QMenu& menu, const std::vector<MenuItem>& items,
              const std::function<void(const MenuCommand&)>& run) {
    // clear() deletes the actions the menu owns, but a submenu is a child
    // widget of its own; without this each opening would leave one behind.
    const auto submenus = menu.findChildren<QMenu*>(Qt::FindDirectChildrenOnly);
    menu.clear();
    for (QMenu* submenu : submenus) submenu->deleteLater();
    addItems(menu, items, run);
}

}  // namespace corvane
