#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace corvane::xdg {

// The pieces of the Desktop Entry format that an autostart entry needs.

// The value for an Exec key (already escaped for the file) that starts
// `program` as one argument, with no further arguments: quoted when it holds a
// reserved character, '%' doubled so that it is not taken for a field code.
// Absent when the text cannot be represented: control characters other than
// tab, newline and carriage return, or bytes that are not UTF-8.
std::optional<std::string> execValue(std::string_view program);

// The arguments of an Exec value as read from the file: string escapes (\s \n
// \t \r \\) undone, "%%" read as '%', then split on blanks outside quotes with
// the quoting rules of the format (double quotes with \" \` \$ \\ inside;
// single quotes and a backslash outside quotes accepted as well). Absent when a
// quote is left open.
std::optional<std::vector<std::string>> execArguments(std::string_view value);

// The entries of the first group named `group`, key to raw value, with the
// blanks around '=' dropped. Comments, blank lines and other groups are
// skipped; of a repeated key the first wins. Absent when there is no such group.
std::optional<std::map<std::string, std::string, std::less<>>> groupEntries(std::string_view text,
                                                                            std::string_view group);

}  // namespace corvane::xdg
