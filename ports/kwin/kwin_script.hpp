#pragma once

#include <QDBusConnection>

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace corvane::kwin {

// The script Corvane runs inside KWin (script/main.js, built in).
std::string_view scriptSource();

// Corvane's script loaded into a running KWin for as long as this object
// lives. KWin knows a script by its plugin name only, so a script left
// behind by a crashed run is unloaded before ours is loaded; the destructor
// unloads ours (also on SIGTERM, which ends the event loop normally).
class KWinScript {
public:
    static constexpr const char* pluginName = "corvane";

    // Writes the script into `directory` (the user's private runtime
    // directory of this app), loads and starts it. Absent, with `error`
    // set, when KWin does not answer or refuses it.
    static std::optional<KWinScript> load(QDBusConnection bus, const std::filesystem::path& directory,
                                          std::string& error);
    ~KWinScript();
    KWinScript(KWinScript&& other) noexcept;
    KWinScript& operator=(KWinScript&&) = delete;
    KWinScript(const KWinScript&) = delete;
    KWinScript& operator=(const KWinScript&) = delete;

    // Unloads the script (idempotent); true when KWin confirmed it.
    bool unload();
    // Whether KWin still holds a script under our plugin name.
    static bool isLoaded(QDBusConnection bus);

private:
    KWinScript(QDBusConnection bus, std::filesystem::path file);

    QDBusConnection bus_;
    std::filesystem::path file_;
    bool loaded_ = true;
};

}  // namespace corvane::kwin
