#pragma once

#include <filesystem>
#include <optional>
#include <string>

#include "app/platform/login_item.hpp"

namespace corvane::xdg {

// Launch at login as a desktop entry "corvane.desktop" in the user's XDG
// autostart directory, which desktop sessions read when the user logs in.
// Main thread only.
class AutostartLoginItem final : public LoginItem {
public:
    // `execCommand` is the program to start, as one argument (usually the
    // absolute path of the running executable; spaces and other special
    // characters are quoted in the entry).
    explicit AutostartLoginItem(std::filesystem::path autostartDir, std::string execCommand);

    // $XDG_CONFIG_HOME/autostart, or ~/.config/autostart; empty when no home
    // directory is known.
    static std::filesystem::path defaultAutostartDirectory();

    std::filesystem::path entryPath() const;

    // True when the entry exists, is an application entry that starts our
    // command, and is not switched off (Hidden, or the GNOME autostart flag).
    bool isEnabled() override;
    // Writes the entry atomically (replacing any other corvane.desktop there),
    // creating the directory 0700 if needed. Absent on success, otherwise
    // "could not write <path>: <reason>".
    std::optional<std::string> registerItem() override;
    // Removes the entry; a missing entry is success. Absent on success,
    // otherwise "could not remove <path>: <reason>".
    std::optional<std::string> unregisterItem() override;

private:
    std::filesystem::path directory_;
    std::string execCommand_;
};

}  // namespace corvane::xdg
