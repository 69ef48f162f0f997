#pragma once

#include <map>
#include <optional>
#include <string>

namespace corvane::gnome {

// The extension as this program carries it, one set per format.
enum class ExtensionFormat {
    legacy,  // GNOME Shell 43 and 44: `imports`
    module,  // GNOME Shell 45 and later: ES modules
};

// The format a GNOME Shell of this major version loads.
ExtensionFormat formatFor(int shellMajorVersion);
// The running system's GNOME Shell major version (`gnome-shell --version`);
// absent when it cannot be told.
std::optional<int> installedShellVersion();
// The major version in a version text ("GNOME Shell 43.9" is 43).
std::optional<int> parseShellVersion(const std::string& text);

// Relative path → content ("metadata.json", "schemas/…gschema.xml").
using ExtensionFiles = std::map<std::string, std::string>;
ExtensionFiles extensionFiles(ExtensionFormat format);

// The extension's id, its folder's name.
const char* extensionUuid();

}  // namespace corvane::gnome
