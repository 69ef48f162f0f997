#pragma once

#include <QDBusConnection>

#include <string>
#include <vector>

namespace corvane::kwin {

struct KWinBinding {
    std::string name;         // "corvane-leftHalf"
    std::string accelerator;  // "Ctrl+Alt+Meta+Left"
};

// Gives the script's shortcuts their keys in KWin's shortcut registry and
// returns the names that could not have theirs (another shortcut holds the
// key). Needed because KWin keeps the key a shortcut had in an earlier run
// in preference to the one the script asks for, and gives a colliding one no
// key without a word. `held` are every name the script has registered;
// these, and any "corvane-" shortcut KWin remembers from earlier runs, lose
// their key unless `bindings` names them (a script cannot unregister one).
std::vector<std::string> assignKeys(QDBusConnection bus, const std::vector<KWinBinding>& bindings,
                                    const std::vector<std::string>& held);

// Removes every "corvane-" shortcut from KWin's registry, so that a
// Corvane that quit leaves no shortcut (and no key held) behind. Only after
// the script is unloaded: KWin would register a live one again.
void forgetShortcuts(QDBusConnection bus);

// Triggers the script's key-less "corvane-wake" shortcut, without waiting.
bool wakeScript(QDBusConnection bus);

}  // namespace corvane::kwin
