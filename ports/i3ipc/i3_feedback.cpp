#include "ports/i3ipc/i3_feedback.hpp"

#include <cstdio>
#include <string>

namespace corvane::i3ipc {

void I3Feedback::log(std::string_view message) {
    std::string line = "corvane: ";
    line.append(message);
    line.push_back('\n');
    std::fwrite(line.data(), 1, line.size(), stderr);
    std::fflush(stderr);
}

}  // namespace corvane::i3ipc
