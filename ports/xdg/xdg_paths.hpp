#pragma once

#include <filesystem>

namespace corvane::xdg {

// The user's configuration base directory: $XDG_CONFIG_HOME when it is set to
// an absolute path (relative values are ignored, as the base-directory rules
// ask), otherwise $HOME/.config, otherwise the home directory of the user's
// account entry followed by .config. Empty when none of these is known.
std::filesystem::path configHome();

}  // namespace corvane::xdg
