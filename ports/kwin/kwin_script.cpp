#include "ports/kwin/kwin_script.hpp"

#include <QDBusMessage>
#include <QDBusReply>

#include <fstream>
#include <system_error>

#include "ports/kwin/kwin_script_source.hpp"

namespace corvane::kwin {

namespace {

constexpr const char* kService = "org.kde.KWin";
constexpr const char* kScripting = "org.kde.kwin.Scripting";
// KWin answers in a few milliseconds; a compositor that takes longer than
// this is stuck, and starting without it beats hanging at start.
constexpr int kTimeoutMs = 3000;

QDBusMessage scripting(const char* method, const QVariantList& arguments) {
    auto message = QDBusMessage::createMethodCall(kService, "/Scripting", kScripting, method);
    message.setArguments(arguments);
    return message;
}

bool writePrivately(const std::filesystem::path& file, std::string_view text) {
    const auto temporary = std::filesystem::path(file).concat(".new");
    {
        std::ofstream out(temporary, std::ios::trunc);
        if (!out) return false;
        out << text;
        if (!out.flush()) return false;
    }
    std::error_code error;
    std::filesystem::permissions(
        temporary, std::filesystem::perms::owner_read | std::filesystem::perms::owner_write, error);
    std::filesystem::rename(temporary, file, error);
    return !error;
}

}  // namespace

std::string_view scriptSource() {
    return kScriptSource;
}

bool KWinScript::isLoaded(QDBusConnection bus) {
    const QDBusReply<bool> loaded =
        bus.call(scripting("isScriptLoaded", {QString(pluginName)}), QDBus::Block, kTimeoutMs);
    return loaded.isValid() && loaded.value();
}

std::optional<KWinScript> KWinScript::load(QDBusConnection bus, const std::filesystem::path& directory,
                                           std::string& error) {
    if (isLoaded(bus)) bus.call(scripting("unloadScript", {QString(pluginName)}), QDBus::Block, kTimeoutMs);
    // The directory is the app's private runtime folder; a first start may
    // come before anything else made it.
    std::error_code made;
    if (std::filesystem::create_directories(directory, made))
        std::filesystem::permissions(directory, std::filesystem::perms::owner_all, made);
    const auto file = directory / "kwin-script.js";
    if (!writePrivately(file, scriptSource())) {
        error = "cannot write the KWin script to " + file.string();
        return std::nullopt;
    }
    const QDBusReply<int> id =
        bus.call(scripting("loadScript", {QString::fromStdString(file.string()), QString(pluginName)}),
                 QDBus::Block, kTimeoutMs);
    if (!id.isValid()) {
        error = "KWin does not answer on the session bus (" + id.error().message().toStdString() + ")";
        return std::nullopt;
    }
    if (id.value() < 0) {
        error = "KWin refused the script";
        return std::nullopt;
    }
    KWinScript script(bus, file);
    // Plasma 6 names a script's object /Scripting/Script<id>, Plasma 5 /<id>.
    const QString number = QString::number(id.value());
    for (const QString& path : {QStringLiteral("/Scripting/Script") + number, QStringLiteral("/") + number}) {
        const auto reply =
            bus.call(QDBusMessage::createMethodCall(kService, path, "org.kde.kwin.Script", "run"),
                     QDBus::Block, kTimeoutMs);
        if (reply.type() == QDBusMessage::ReplyMessage) return script;
    }
    error = "KWin loaded the script but did not run it";
    return std::nullopt;
}

KWinScript::KWinScript(QDBusConnection bus, std::filesystem::path file)
    : bus_(std::move(bus)), file_(std::move(file)) {}

KWinScript::KWinScript(KWinScript&& other) noexcept
    : bus_(other.bus_), file_(std::move(other.file_)), loaded_(other.loaded_) {
    other.loaded_ = false;
}

KWinScript::~KWinScript() {
    unload();
}

bool KWinScript::unload() {
    if (!loaded_) return true;
    loaded_ = false;
    const QDBusReply<bool> reply =
        bus_.call(scripting("unloadScript", {QString(pluginName)}), QDBus::Block, kTimeoutMs);
    std::error_code ignored;
    std::filesystem::remove(file_, ignored);
    return reply.isValid() && reply.value();
}

}  // namespace corvane::kwin
