#include "app/shell/instance_paths.hpp"

#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace corvane {

InstancePaths InstancePaths::forUser(const char* runtimeDirectory, uid_t uid) {
    if (runtimeDirectory && runtimeDirectory[0] == '/') {
        return InstancePaths{std::filesystem::path(runtimeDirectory) / "corvane"};
    }
    return InstancePaths{std::filesystem::path("/tmp") / ("corvane-" + std::to_string(uid))};
}

InstancePaths InstancePaths::current() {
    return forUser(std::getenv("XDG_RUNTIME_DIR"), ::getuid());
}

std::optional<std::string> preparePrivateDirectory(const std::filesystem::path& directory) {
    const std::string name = directory.string();
    if (::mkdir(name.c_str(), 0700) != 0 && errno != EEXIST) {
        return "cannot create " + name + ": " + std::strerror(errno);
    }
    // The directory may have been there before us (in /tmp, perhaps made by
    // someone else): trust it only if it is ours and a plain directory.
    struct stat info {};
    if (::lstat(name.c_str(), &info) != 0) return "cannot inspect " + name + ": " + std::strerror(errno);
    if (!S_ISDIR(info.st_mode)) return name + " is not a directory";
    if (info.st_uid != ::getuid()) return name + " belongs to another user";
    if ((info.st_mode & 0777) != 0700 && ::chmod(name.c_str(), 0700) != 0) {
        return "cannot make " + name + " private: " + std::strerror(errno);
    }
    return std::nullopt;
}

}  // namespace corvane
