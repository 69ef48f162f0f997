#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "ports/gnome/extension_files.hpp"

namespace corvane {
class Alerts;
class SystemFeedback;
}  // namespace corvane

namespace corvane::gnome {

// Puts our extension where GNOME Shell finds it for this user and enables it,
// leaving every other extension's state alone. GNOME Shell on Wayland loads
// extensions only at log-in, so a fresh install works after one log-out.
struct InstallOutcome {
    enum class Kind {
        unchanged,  // the same files were already there (the user's or the system's)
        installed,  // written now: a log-out is needed
        failed,
    };
    Kind kind = Kind::failed;
    std::string detail;  // what failed, for the log
};

// Writes the files into `<extensionsDir>/<uuid>/` unless `systemDirs` or that
// folder already hold exactly these files, and compiles its schemas. Each
// file is written whole (temporary file, then rename).
InstallOutcome installExtension(const ExtensionFiles& files, const std::filesystem::path& extensionsDir,
                                const std::vector<std::filesystem::path>& systemDirs,
                                const std::string& uuid);

// The `enabled-extensions` value (GVariant text, "['a', 'b']" or "@as []")
// with `uuid` added; absent when it is there already or the text cannot be
// read (then nothing is written over it).
std::optional<std::string> enabledWith(const std::string& gvariantText, const std::string& uuid);
// The same list without `uuid` (for `disabled-extensions`); absent when it is
// not listed.
std::optional<std::string> disabledWithout(const std::string& gvariantText, const std::string& uuid);

// First start in a GNOME session: install, enable, and tell the user once
// that a log-out is needed. Main thread.
void setUpForUser(Alerts& alerts, SystemFeedback& feedback);

}  // namespace corvane::gnome
