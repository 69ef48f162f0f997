#include "ports/xdg/autostart_login_item.hpp"

#include <utility>

#include "ports/xdg/atomic_file.hpp"
#include "ports/xdg/desktop_entry.hpp"
#include "ports/xdg/xdg_paths.hpp"

namespace corvane::xdg {

namespace {

constexpr std::string_view entryName = "corvane.desktop";
// An autostart entry is a few hundred bytes; anything huge is not ours.
constexpr std::size_t readLimit = 1024 * 1024;

bool isTrue(std::string_view value) {
    return value == "true" || value == "1";
}
bool isFalse(std::string_view value) {
    return value == "false" || value == "0";
}

}  // namespace

AutostartLoginItem::AutostartLoginItem(std::filesystem::path autostartDir, std::string execCommand)
    : directory_(std::move(autostartDir)), execCommand_(std::move(execCommand)) {}

std::filesystem::path AutostartLoginItem::defaultAutostartDirectory() {
    const std::filesystem::path base = configHome();
    return base.empty() ? base : base / "autostart";
}

std::filesystem::path AutostartLoginItem::entryPath() const {
    return directory_ / entryName;
}

bool AutostartLoginItem::isEnabled() {
    if (directory_.empty()) return false;
    const auto outcome = readFile(entryPath(), readLimit);
    if (!outcome.bytes) return false;
    const auto entries = groupEntries(*outcome.bytes, "Desktop Entry");
    if (!entries) return false;

    const auto value = [&](std::string_view key) {
        const auto found = entries->find(key);
        return found == entries->end() ? std::string_view{} : std::string_view(found->second);
    };
    if (value("Type") != "Application" || isTrue(value("Hidden")) ||
        isFalse(value("X-GNOME-Autostart-enabled")))
        return false;
    const auto arguments = execArguments(value("Exec"));
    return arguments && !arguments->empty() && arguments->front() == execCommand_;
}

std::optional<std::string> AutostartLoginItem::registerItem() {
    if (directory_.empty()) return "could not write the autostart entry: no home directory is known";
    const std::string path = entryPath().string();
    if (execCommand_.empty()) return "could not write " + path + ": no command to start";
    const auto exec = execValue(execCommand_);
    if (!exec) return "could not write " + path + ": the command cannot be written into a desktop entry";

    std::string entry =
        "[Desktop Entry]\n"
        "Type=Application\n"
        "Name=Corvane\n"
        "Comment=Keyboard-driven window placement\n";
    entry += "Exec=" + *exec + "\n";
    entry +=
        "Icon=corvane\n"
        "Terminal=false\n"
        "NoDisplay=false\n"
        "X-GNOME-Autostart-enabled=true\n";

    if (auto error = makeDirectories(directory_, 0700)) return error->message;
    // Not secret, and read by session components: the usual mode of an entry.
    auto error = replaceFile(directory_, entryName, entry, 0644);
    // A failed directory sync after the rename still leaves the entry in place.
    if (!error || error->committed) return std::nullopt;
    return error->message;
}

std::optional<std::string> AutostartLoginItem::unregisterItem() {
    if (directory_.empty()) return std::nullopt;
    if (auto error = removeFile(directory_, entryName)) return error->message;
    return std::nullopt;
}

}  // namespace corvane::xdg
