#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace corvane {

// Text from outside (a settings key, an action name from the command line)
// made safe to show back in a log line or a terminal: in double quotes, with
// control characters, quotes, backslashes and every non-ASCII byte written
// as \xNN, and cut after `maxLength` bytes ("..." marks the cut), so it can
// neither forge lines nor drive a terminal.
std::string quotedText(std::string_view text, std::size_t maxLength);

}  // namespace corvane
