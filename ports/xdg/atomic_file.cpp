#include "ports/xdg/atomic_file.hpp"

#include <atomic>
#include <cerrno>
#include <charconv>
#include <system_error>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "ports/xdg/unique_fd.hpp"

namespace corvane::xdg {

namespace {

// Distinguishes temporary files of one process; O_EXCL settles any clash with
// a name left over by an earlier process that had the same id.
std::atomic<unsigned> temporarySequence{0};

std::string temporaryName(std::string_view name) {
    return "." + std::string(name) + ".tmp-" + std::to_string(::getpid()) + "-" +
           std::to_string(temporarySequence.fetch_add(1));
}

FileError failure(std::string_view verb, const std::filesystem::path& path, int code) {
    return FileError{code, "could not " + std::string(verb) + " " + path.string() + ": " + errorText(code)};
}

int writeAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR) continue;
            return errno;
        }
        if (written == 0) return EIO;  // a regular file that accepts nothing will not start later
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return 0;
}

int syncDescriptor(int fd) {
    while (::fsync(fd) != 0) {
        if (errno != EINTR) return errno;
    }
    return 0;
}

enum class Commit { replace, createNew };

std::optional<FileError> writeFile(const std::filesystem::path& directory, std::string_view name,
                                   std::string_view bytes, mode_t mode, const WriteHooks& hooks,
                                   Commit commit) {
    const std::filesystem::path target = directory / std::string(name);
    const auto before = [&](WriteStep step) { return hooks.before ? hooks.before(step) : 0; };

    // Working relative to one open directory keeps every step in the same
    // directory even if its path is renamed meanwhile, and gives us the
    // descriptor to sync at the end.
    UniqueFd dir(::open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!dir) return failure("write", target, errno);

    std::string temporary;
    UniqueFd file;
    for (int attempt = 0; attempt < 100 && !file; ++attempt) {
        temporary = temporaryName(name);
        file = UniqueFd(::openat(dir.get(), temporary.c_str(),
                                 O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, mode));
        if (!file && errno != EEXIST) return failure("write", target, errno);
    }
    if (!file) return failure("write", target, EEXIST);

    // An orderly failure takes the temporary file away again; only a crash
    // leaves it behind, and readers never look at it.
    const auto abandon = [&](int code) {
        file.reset();
        ::unlinkat(dir.get(), temporary.c_str(), 0);
        return failure("write", target, code);
    };

    int code = 0;
    // The umask may have taken bits away; the mode is part of the contract.
    if (::fchmod(file.get(), mode) != 0) return abandon(errno);
    if ((code = before(WriteStep::write)) != 0 || (code = writeAll(file.get(), bytes)) != 0)
        return abandon(code);
    if ((code = before(WriteStep::sync)) != 0 || (code = syncDescriptor(file.get())) != 0)
        return abandon(code);
    if ((code = file.close()) != 0) return abandon(code);
    if ((code = before(WriteStep::commit)) != 0) return abandon(code);

    if (commit == Commit::replace) {
        if (::renameat(dir.get(), temporary.c_str(), dir.get(), target.filename().c_str()) != 0)
            return abandon(errno);
    } else {
        // link() refuses an existing name, which rename() would replace.
        if (::linkat(dir.get(), temporary.c_str(), dir.get(), target.filename().c_str(), 0) != 0)
            return abandon(errno);
        ::unlinkat(dir.get(), temporary.c_str(), 0);
    }

    // Without this the rename itself may not survive a power cut.
    code = before(WriteStep::syncDirectory);
    if (code == 0) code = syncDescriptor(dir.get());
    if (code != 0 && code != EINVAL) {  // EINVAL: the file system cannot sync directories
        FileError error = failure("sync directory", directory, code);
        error.committed = true;
        return error;
    }
    return std::nullopt;
}

}  // namespace

std::optional<FileError> replaceFile(const std::filesystem::path& directory, std::string_view name,
                                     std::string_view bytes, mode_t mode, const WriteHooks& hooks) {
    return writeFile(directory, name, bytes, mode, hooks, Commit::replace);
}

std::optional<FileError> createFile(const std::filesystem::path& directory, std::string_view name,
                                    std::string_view bytes, mode_t mode, const WriteHooks& hooks) {
    return writeFile(directory, name, bytes, mode, hooks, Commit::createNew);
}

ReadOutcome readFile(const std::filesystem::path& path, std::size_t limit) {
    // O_NONBLOCK: a FIFO planted under the name must not hang the caller.
    UniqueFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
    if (!fd) {
        if (errno == ENOENT || errno == ENOTDIR) return {};
        return {std::nullopt, failure("read", path, errno)};
    }
    struct stat status {};
    if (::fstat(fd.get(), &status) != 0) return {std::nullopt, failure("read", path, errno)};
    if (!S_ISREG(status.st_mode)) {
        return {std::nullopt, FileError{EINVAL, "could not read " + path.string() + ": not a regular file"}};
    }

    std::string bytes;
    char buffer[8192];
    for (;;) {
        const ssize_t count = ::read(fd.get(), buffer, sizeof buffer);
        if (count < 0) {
            if (errno == EINTR) continue;
            return {std::nullopt, failure("read", path, errno)};
        }
        if (count == 0) break;
        if (bytes.size() + static_cast<std::size_t>(count) > limit) {
            return {std::nullopt, FileError{EFBIG, "could not read " + path.string() + ": larger than " +
                                                       std::to_string(limit) + " bytes"}};
        }
        bytes.append(buffer, static_cast<std::size_t>(count));
    }
    return {std::move(bytes), std::nullopt};
}

std::optional<FileError> makeDirectories(const std::filesystem::path& directory, mode_t mode) {
    if (::mkdir(directory.c_str(), mode) == 0) {
        // mkdir honours the umask; a directory we just made gets exactly `mode`.
        if (::chmod(directory.c_str(), mode) != 0) return failure("create directory", directory, errno);
        return std::nullopt;
    }
    if (errno == EEXIST) return std::nullopt;
    if (errno != ENOENT) return failure("create directory", directory, errno);

    const std::filesystem::path parent = directory.parent_path();
    if (parent.empty() || parent == directory) return failure("create directory", directory, ENOENT);
    if (auto error = makeDirectories(parent, mode)) return error;
    return makeDirectories(directory, mode);
}

std::optional<FileError> removeFile(const std::filesystem::path& directory, std::string_view name) {
    const std::filesystem::path target = directory / std::string(name);
    if (::unlink(target.c_str()) != 0) {
        if (errno == ENOENT || errno == ENOTDIR) return std::nullopt;
        return failure("remove", target, errno);
    }
    // Best effort: the removal has happened either way.
    UniqueFd dir(::open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir) syncDescriptor(dir.get());
    return std::nullopt;
}

std::optional<pid_t> temporaryFileOwner(std::string_view fileName) {
    constexpr std::string_view marker = ".tmp-";
    if (!fileName.starts_with('.')) return std::nullopt;
    const std::size_t at = fileName.rfind(marker);
    if (at == std::string_view::npos || at == 0) return std::nullopt;
    const std::string_view rest = fileName.substr(at + marker.size());
    const std::size_t dash = rest.find('-');
    if (dash == std::string_view::npos) return std::nullopt;

    const auto isNumber = [](std::string_view text) {
        return !text.empty() && text.find_first_not_of("0123456789") == std::string_view::npos;
    };
    const std::string_view pid = rest.substr(0, dash);
    if (!isNumber(pid) || !isNumber(rest.substr(dash + 1))) return std::nullopt;
    pid_t owner = 0;
    const auto [end, error] = std::from_chars(pid.data(), pid.data() + pid.size(), owner);
    if (error != std::errc{} || end != pid.data() + pid.size() || owner <= 0) return std::nullopt;
    return owner;
}

std::string errorText(int code) {
    return std::generic_category().message(code);
}

}  // namespace corvane::xdg
