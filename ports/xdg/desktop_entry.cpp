#include "ports/xdg/desktop_entry.hpp"

namespace corvane::xdg {

namespace {

// Characters that force an Exec argument into double quotes.
constexpr std::string_view reservedInExec = " \t\n\"'\\><~|&;$*?#()`";
// Characters that need a backslash inside double quotes.
constexpr std::string_view escapedInQuotes = "\"`$\\";

bool isValidUtf8(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size()) {
        const auto lead = static_cast<unsigned char>(text[i]);
        std::size_t length = 0;
        char32_t point = 0;
        if (lead < 0x80) {
            ++i;
            continue;
        } else if ((lead & 0xe0) == 0xc0) {
            length = 2;
            point = lead & 0x1f;
        } else if ((lead & 0xf0) == 0xe0) {
            length = 3;
            point = lead & 0x0f;
        } else if ((lead & 0xf8) == 0xf0) {
            length = 4;
            point = lead & 0x07;
        } else {
            return false;
        }
        if (i + length > text.size()) return false;
        for (std::size_t k = 1; k < length; ++k) {
            const auto next = static_cast<unsigned char>(text[i + k]);
            if ((next & 0xc0) != 0x80) return false;
            point = (point << 6) | (next & 0x3f);
        }
        // Overlong forms, surrogates and values past the last code point.
        static constexpr char32_t smallest[] = {0, 0, 0x80, 0x800, 0x10000};
        if (point < smallest[length] || point > 0x10ffff || (point >= 0xd800 && point <= 0xdfff))
            return false;
        i += length;
    }
    return true;
}

bool hasUnrepresentableControl(std::string_view text) {
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if ((byte < 0x20 && c != '\t' && c != '\n' && c != '\r') || byte == 0x7f) return true;
    }
    return false;
}

// The string escapes every value of the file goes through.
std::string escapeString(std::string_view text) {
    std::string escaped;
    for (std::size_t i = 0; i < text.size(); ++i) {
        switch (text[i]) {
            case '\\':
                escaped += "\\\\";
                break;
            case '\n':
                escaped += "\\n";
                break;
            case '\t':
                escaped += "\\t";
                break;
            case '\r':
                escaped += "\\r";
                break;
            case ' ':
                escaped += i == 0 ? "\\s" : " ";
                break;  // a leading blank would be trimmed
            default:
                escaped += text[i];
        }
    }
    return escaped;
}

std::string unescapeString(std::string_view text) {
    std::string plain;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\' || i + 1 == text.size()) {
            plain += text[i];
            continue;
        }
        switch (const char next = text[++i]) {
            case 's':
                plain += ' ';
                break;
            case 'n':
                plain += '\n';
                break;
            case 't':
                plain += '\t';
                break;
            case 'r':
                plain += '\r';
                break;
            case '\\':
                plain += '\\';
                break;
            default:  // not a string escape: the quoting rules may still want it
                plain += '\\';
                plain += next;
        }
    }
    return plain;
}

std::string_view trimmed(std::string_view text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) return {};
    const auto last = text.find_last_not_of(" \t");
    return text.substr(first, last - first + 1);
}

}  // namespace

std::optional<std::string> execValue(std::string_view program) {
    if (hasUnrepresentableControl(program) || !isValidUtf8(program)) return std::nullopt;

    const bool quote = program.empty() || program.find_first_of(reservedInExec) != std::string_view::npos;
    std::string argument = quote ? "\"" : "";
    for (const char c : program) {
        if (quote && escapedInQuotes.find(c) != std::string_view::npos) argument += '\\';
        argument += c;
        if (c == '%') argument += '%';
    }
    if (quote) argument += '"';
    return escapeString(argument);
}

std::optional<std::vector<std::string>> execArguments(std::string_view value) {
    std::string command;
    const std::string plain = unescapeString(value);
    for (std::size_t i = 0; i < plain.size(); ++i) {
        command += plain[i];
        if (plain[i] == '%' && i + 1 < plain.size() && plain[i + 1] == '%') ++i;
    }

    std::vector<std::string> arguments;
    std::string current;
    bool inArgument = false;
    for (std::size_t i = 0; i < command.size(); ++i) {
        const char c = command[i];
        if (c == ' ' || c == '\t' || c == '\n') {
            if (inArgument) arguments.push_back(std::move(current));
            current.clear();
            inArgument = false;
            continue;
        }
        inArgument = true;
        if (c == '"') {
            for (++i;; ++i) {
                if (i == command.size()) return std::nullopt;
                if (command[i] == '"') break;
                if (command[i] == '\\' && i + 1 < command.size() &&
                    escapedInQuotes.find(command[i + 1]) != std::string_view::npos) {
                    ++i;
                }
                current += command[i];
            }
        } else if (c == '\'') {
            const auto close = command.find('\'', i + 1);
            if (close == std::string::npos) return std::nullopt;
            current.append(command, i + 1, close - i - 1);
            i = close;
        } else if (c == '\\' && i + 1 < command.size()) {
            current += command[++i];
        } else {
            current += c;
        }
    }
    if (inArgument) arguments.push_back(std::move(current));
    return arguments;
}

std::optional<std::map<std::string, std::string, std::less<>>> groupEntries(std::string_view text,
                                                                            std::string_view group) {
    std::optional<std::map<std::string, std::string, std::less<>>> entries;
    bool inGroup = false;
    while (!text.empty()) {
        const auto end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
        if (line.ends_with('\r')) line.remove_suffix(1);

        const std::string_view content = trimmed(line);
        if (content.empty() || content.starts_with('#')) continue;
        if (content.starts_with('[')) {
            if (entries) break;  // only the first group of that name counts
            inGroup = content == "[" + std::string(group) + "]";
            if (inGroup) entries.emplace();
            continue;
        }
        if (!inGroup) continue;
        const auto equals = content.find('=');
        if (equals == std::string_view::npos) continue;
        entries->emplace(std::string(trimmed(content.substr(0, equals))),
                         std::string(trimmed(content.substr(equals + 1))));
    }
    return entries;
}

}  // namespace corvane::xdg
