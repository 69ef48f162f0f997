#pragma once

#include <string_view>

namespace corvane::xdg {

// Hands `url` to the desktop's opener (xdg-open) without waiting for the
// program it starts: a browser may take its time or never return. False when
// there is no opener or it could not be started.
bool openURL(std::string_view url);

}  // namespace corvane::xdg
