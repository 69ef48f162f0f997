#include "ports/gnome/extension_installer.hpp"

#include <QProcess>
#include <QStandardPaths>
#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <system_error>

#include "app/platform/alerts.hpp"
#include "app/platform/system_feedback.hpp"

namespace corvane::gnome {

namespace fs = std::filesystem;

namespace {

// A system install keeps the schema in the system's schema folder, not in
// the extension's: there only the rest is compared.
bool holdsExactly(const fs::path& dir, const ExtensionFiles& files, bool schemasElsewhere = false) {
    for (const auto& [name, content] : files) {
        if (schemasElsewhere && name.rfind("schemas/", 0) == 0) continue;
        std::ifstream in(dir / name, std::ios::binary);
        if (!in) return false;
        std::ostringstream text;
        text << in.rdbuf();
        if (text.str() != content) return false;
    }
    return true;
}

bool writeWhole(const fs::path& path, const std::string& content) {
    std::error_code error;
    fs::create_directories(path.parent_path(), error);
    const fs::path temporary = path.string() + ".new";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        if (!out) return false;
        out << content;
        out.flush();
        if (!out) return false;
    }
    fs::rename(temporary, path, error);
    return !error;
}

// GVariant's text form of a string array, as gsettings prints it.
std::optional<std::vector<std::string>> parseStrings(const std::string& text) {
    std::string s = text;
    while (!s.empty() && (s.back() == '\n' || s.back() == ' ')) s.pop_back();
    if (s.rfind("@as ", 0) == 0) s = s.substr(4);
    if (s.size() < 2 || s.front() != '[' || s.back() != ']') return std::nullopt;
    std::vector<std::string> items;
    std::size_t i = 1;
    const std::size_t end = s.size() - 1;
    while (i < end) {
        if (s[i] == ' ' || s[i] == ',') {
            ++i;
            continue;
        }
        const char quote = s[i];
        if (quote != '\'' && quote != '"') return std::nullopt;
        std::string item;
        ++i;
        while (i < end && s[i] != quote) {
            if (s[i] == '\\' && i + 1 < end) ++i;
            item += s[i++];
        }
        if (i >= end) return std::nullopt;
        ++i;
        items.push_back(std::move(item));
    }
    return items;
}

std::string printStrings(const std::vector<std::string>& items) {
    std::string text = "[";
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (i) text += ", ";
        text += '\'';
        for (const char c : items[i]) {
            if (c == '\'' || c == '\\') text += '\\';
            text += c;
        }
        text += '\'';
    }
    return text + "]";
}

std::optional<std::string> run(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(10000) || process.exitStatus() != QProcess::NormalExit ||
        process.exitCode() != 0)
        return std::nullopt;
    return process.readAllStandardOutput().toStdString();
}

fs::path userExtensionsDir() {
    const char* data = std::getenv("XDG_DATA_HOME");
    fs::path base = data && *data == '/'
                        ? fs::path(data)
                        : fs::path(std::getenv("HOME") ? std::getenv("HOME") : "") / ".local/share";
    return base / "gnome-shell" / "extensions";
}

std::vector<fs::path> systemExtensionsDirs() {
    const char* dirs = std::getenv("XDG_DATA_DIRS");
    std::string list = dirs && *dirs ? dirs : "/usr/local/share:/usr/share";
    std::vector<fs::path> result;
    std::stringstream entries(list);
    std::string entry;
    while (std::getline(entries, entry, ':'))
        if (!entry.empty() && entry.front() == '/')
            result.push_back(fs::path(entry) / "gnome-shell" / "extensions");
    return result;
}

// Adds ours to the enabled list and takes it off the disabled one, through
// gsettings, so the user's settings daemon (dconf) sees an ordinary change.
// What failed, if anything; `changed` says whether it was not enabled before.
std::optional<std::string> enable(const std::string& uuid, bool& changed) {
    changed = false;
    const QString schema = QStringLiteral("org.gnome.shell");
    const auto enabled = run(QStringLiteral("gsettings"),
                             {QStringLiteral("get"), schema, QStringLiteral("enabled-extensions")});
    if (!enabled) return "cannot read org.gnome.shell enabled-extensions with gsettings";
    if (const auto value = enabledWith(*enabled, uuid)) {
        changed = true;
        if (!run(QStringLiteral("gsettings"),
                 {QStringLiteral("set"), schema, QStringLiteral("enabled-extensions"),
                  QString::fromStdString(*value)}))
            return "cannot enable the extension with gsettings";
    }
    const auto disabled = run(QStringLiteral("gsettings"),
                              {QStringLiteral("get"), schema, QStringLiteral("disabled-extensions")});
    if (disabled) {
        if (const auto value = disabledWithout(*disabled, uuid))
            run(QStringLiteral("gsettings"),
                {QStringLiteral("set"), schema, QStringLiteral("disabled-extensions"),
                 QString::fromStdString(*value)});
    }
    return std::nullopt;
}

}  // namespace

InstallOutcome installExtension(const ExtensionFiles& files, const fs::path& extensionsDir,
                                const std::vector<fs::path>& systemDirs, const std::string& uuid) {
    if (files.empty()) return {InstallOutcome::Kind::failed, "this build carries no GNOME Shell extension"};
    for (const auto& dir : systemDirs)
        if (holdsExactly(dir / uuid, files, true)) return {InstallOutcome::Kind::unchanged, {}};
    const fs::path target = extensionsDir / uuid;
    if (holdsExactly(target, files)) return {InstallOutcome::Kind::unchanged, {}};
    for (const auto& [name, content] : files)
        if (!writeWhole(target / name, content))
            return {InstallOutcome::Kind::failed, "cannot write " + (target / name).string()};
    if (fs::exists(target / "schemas") &&
        !run(QStringLiteral("glib-compile-schemas"), {QString::fromStdString((target / "schemas").string())}))
        return {InstallOutcome::Kind::failed,
                "glib-compile-schemas failed on " + (target / "schemas").string()};
    return {InstallOutcome::Kind::installed, {}};
}

std::optional<std::string> enabledWith(const std::string& gvariantText, const std::string& uuid) {
    auto items = parseStrings(gvariantText);
    if (!items || std::find(items->begin(), items->end(), uuid) != items->end()) return std::nullopt;
    items->push_back(uuid);
    return printStrings(*items);
}

std::optional<std::string> disabledWithout(const std::string& gvariantText, const std::string& uuid) {
    auto items = parseStrings(gvariantText);
    if (!items || std::find(items->begin(), items->end(), uuid) == items->end()) return std::nullopt;
    std::erase(*items, uuid);
    return printStrings(*items);
}

void setUpForUser(Alerts& alerts, SystemFeedback& feedback) {
    const auto version = installedShellVersion();
    if (!version) {
        feedback.log("cannot tell GNOME Shell's version; its extension is left as it is");
        return;
    }
    const auto outcome = installExtension(extensionFiles(formatFor(*version)), userExtensionsDir(),
                                          systemExtensionsDirs(), extensionUuid());
    if (outcome.kind == InstallOutcome::Kind::failed) {
        feedback.log("cannot install the GNOME Shell extension: " + outcome.detail);
        return;
    }
    bool enabledNow = false;
    if (const auto problem = enable(extensionUuid(), enabledNow)) feedback.log(*problem);
    // The shell loads what changed (new files, or an extension it had not
    // enabled: the package's copy) only at the next log-in.
    if (outcome.kind != InstallOutcome::Kind::installed && !enabledNow) return;
    if (outcome.kind == InstallOutcome::Kind::installed)
        feedback.log("installed the GNOME Shell extension " + std::string(extensionUuid()));
    alerts.showWarning("Log out once to finish setting up Corvane",
                       "Corvane has set up its GNOME Shell extension, which GNOME loads when you log in. "
                       "Log out and back in once; until then Corvane's shortcuts do nothing.",
                       [] {});
}

}  // namespace corvane::gnome
