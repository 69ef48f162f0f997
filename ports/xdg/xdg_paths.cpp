#include "ports/xdg/xdg_paths.hpp"

#include <cstdlib>
#include <string>
#include <vector>

#include <pwd.h>
#include <unistd.h>

namespace corvane::xdg {

namespace {

std::filesystem::path absoluteFromEnvironment(const char* name) {
    const char* value = std::getenv(name);
    if (value == nullptr || *value != '/') return {};
    return value;
}

std::filesystem::path accountHome() {
    long size = ::sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> buffer(size > 0 ? static_cast<std::size_t>(size) : 16384);
    passwd entry{};
    passwd* found = nullptr;
    if (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found) != 0 || found == nullptr ||
        found->pw_dir == nullptr || found->pw_dir[0] != '/') {
        return {};
    }
    return found->pw_dir;
}

}  // namespace

std::filesystem::path configHome() {
    if (auto configured = absoluteFromEnvironment("XDG_CONFIG_HOME"); !configured.empty()) return configured;
    auto home = absoluteFromEnvironment("HOME");
    if (home.empty()) home = accountHome();
    if (home.empty()) return {};
    return home / ".config";
}

}  // namespace corvane::xdg
