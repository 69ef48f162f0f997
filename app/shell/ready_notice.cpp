#include "app/shell/ready_notice.hpp"

#include <unistd.h>
#include <cerrno>
#include <charconv>
#include <cstdlib>
#include <cstring>
#include <string_view>

namespace corvane {

std::optional<std::string> sendReadyNotice() {
    const char* value = std::getenv(readyFdVariable);
    if (!value) return std::nullopt;
    const std::string text(value);
    ::unsetenv(readyFdVariable);

    int fd = -1;
    const char* end = text.data() + text.size();
    const auto [last, error] = std::from_chars(text.data(), end, fd);
    if (text.empty() || error != std::errc() || last != end || fd < 0) {
        return std::string(readyFdVariable) + " is not a file descriptor number: \"" + text + "\"";
    }

    constexpr std::string_view notice = "ready\n";
    std::size_t written = 0;
    while (written < notice.size()) {
        const ssize_t n = ::write(fd, notice.data() + written, notice.size() - written);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            const std::string reason = n < 0 ? std::strerror(errno) : "nothing was written";
            ::close(fd);
            return "cannot write to " + std::string(readyFdVariable) + " " + text + ": " + reason;
        }
        written += static_cast<std::size_t>(n);
    }
    ::close(fd);
    return std::nullopt;
}

}  // namespace corvane
