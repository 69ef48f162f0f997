#include "ports/kwin/kwin_shortcuts.hpp"

#include <QDBusMessage>
#include <QDBusMetaType>
#include <QKeySequence>
#include <QStringList>

#include <algorithm>

namespace corvane::kwin {

namespace {

constexpr const char* kService = "org.kde.kglobalaccel";
constexpr int kTimeoutMs = 3000;
// KGlobalAccel's flag: take exactly these keys, not the ones remembered.
constexpr uint kNoAutoloading = 0x4;

QStringList actionId(const std::string& name) {
    // Component, action, and their friendly names: the script's shortcuts
    // belong to KWin's own component.
    return {"kwin", QString::fromStdString(name), "KWin", QString::fromStdString(name)};
}

// Sets the keys of one action; the keys it holds afterwards.
QList<int> setKeys(QDBusConnection& bus, const std::string& name, const QList<int>& keys) {
    auto message =
        QDBusMessage::createMethodCall(kService, "/kglobalaccel", "org.kde.KGlobalAccel", "setShortcut");
    message.setArguments({actionId(name), QVariant::fromValue(keys), QVariant::fromValue(kNoAutoloading)});
    const auto reply = bus.call(message, QDBus::Block, kTimeoutMs);
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) return {};
    return qdbus_cast<QList<int>>(reply.arguments().constFirst());
}

// Every "corvane-" shortcut KWin's registry remembers, also those of
// scripts unloaded or crashed earlier: KWin keeps their keys taken.
std::vector<std::string> rememberedNames(QDBusConnection& bus, bool withWake = false) {
    const auto message = QDBusMessage::createMethodCall(kService, "/component/kwin",
                                                        "org.kde.kglobalaccel.Component", "shortcutNames");
    const auto reply = bus.call(message, QDBus::Block, kTimeoutMs);
    std::vector<std::string> names;
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) return names;
    for (const auto& name : reply.arguments().constFirst().toStringList())
        if (name.startsWith(QLatin1String("corvane-")) && (withWake || name != QLatin1String("corvane-wake")))
            names.push_back(name.toStdString());
    return names;
}

}  // namespace

std::vector<std::string> assignKeys(QDBusConnection bus, const std::vector<KWinBinding>& bindings,
                                    const std::vector<std::string>& held) {
    qDBusRegisterMetaType<QList<int>>();
    // Every key of ours is let go first, so two of our shortcuts can trade
    // keys without one finding the other's key still taken.
    auto ours = rememberedNames(bus);
    ours.insert(ours.end(), held.begin(), held.end());
    std::sort(ours.begin(), ours.end());
    ours.erase(std::unique(ours.begin(), ours.end()), ours.end());
    for (const auto& name : ours) setKeys(bus, name, {});
    std::vector<std::string> refused;
    for (const auto& binding : bindings) {
        const QKeySequence sequence(QString::fromStdString(binding.accelerator), QKeySequence::PortableText);
        if (sequence.isEmpty()) {
            refused.push_back(binding.name);
            continue;
        }
        const int key = sequence[0].toCombined();
        const auto got = setKeys(bus, binding.name, {key});
        if (!got.contains(key)) refused.push_back(binding.name);
    }
    return refused;
}

void forgetShortcuts(QDBusConnection bus) {
    for (const auto& name : rememberedNames(bus, true)) {
        auto message =
            QDBusMessage::createMethodCall(kService, "/kglobalaccel", "org.kde.KGlobalAccel", "unregister");
        message.setArguments({QStringLiteral("kwin"), QString::fromStdString(name)});
        bus.call(message, QDBus::Block, kTimeoutMs);
    }
}

bool wakeScript(QDBusConnection bus) {
    auto message = QDBusMessage::createMethodCall(kService, "/component/kwin",
                                                  "org.kde.kglobalaccel.Component", "invokeShortcut");
    message.setArguments({QStringLiteral("corvane-wake")});
    return bus.send(message);
}

}  // namespace corvane::kwin
