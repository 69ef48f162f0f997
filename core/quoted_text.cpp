#include "core/quoted_text.hpp"

namespace corvane {

std::string quotedText(std::string_view text, std::size_t maxLength) {
    static constexpr char hex[] = "0123456789abcdef";
    std::string quoted = "\"";
    for (const char c : text.substr(0, maxLength)) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte >= 0x7f || c == '"' || c == '\\') {
            quoted += "\\x";
            quoted += hex[byte >> 4];
            quoted += hex[byte & 0xf];
        } else {
            quoted += c;
        }
    }
    if (text.size() > maxLength) quoted += "...";
    return quoted + "\"";
}

}  // namespace corvane
