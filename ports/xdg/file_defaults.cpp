#include "ports/xdg/file_defaults.hpp"

#include <algorithm>
#include <cerrno>
#include <ctime>
#include <system_error>
#include <utility>

#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include "core/quoted_text.hpp"
#include "ports/xdg/xdg_paths.hpp"

namespace corvane::xdg {

namespace {

// A stored configuration is a few kilobytes. A file far larger is not one we
// wrote, and parsing it would cost memory in proportion to its size.
constexpr std::size_t readLimit = 1024 * 1024;
// Leaves room within NAME_MAX for the temporary and kept-aside decorations.
constexpr std::size_t maxKeyLength = 128;
// Gives up on keepAside after this many taken names rather than loop forever.
constexpr int maxAsideCopies = 1000;

bool isSimpleKey(std::string_view key) {
    return !key.empty() && key.size() <= maxKeyLength && std::all_of(key.begin(), key.end(), [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' ||
               c == '_';
    });
}

// A hostile key must not be able to forge log lines.
std::string quotedForLog(std::string_view text) {
    return quotedText(text, maxKeyLength);
}

std::optional<bool> parseBool(std::string_view text) {
    if (text.ends_with('\n')) text.remove_suffix(1);
    if (text == "true") return true;
    if (text == "false") return false;
    return std::nullopt;
}

std::string utcStamp(std::chrono::system_clock::time_point when) {
    const std::time_t seconds = std::chrono::system_clock::to_time_t(when);
    std::tm parts{};
    char text[32] = "19700101T000000Z";
    if (::gmtime_r(&seconds, &parts) != nullptr) std::strftime(text, sizeof text, "%Y%m%dT%H%M%SZ", &parts);
    return text;
}

bool isDeadProcess(pid_t pid) {
    return ::kill(pid, 0) != 0 && errno == ESRCH;
}

}  // namespace

FileDefaults::FileDefaults(std::filesystem::path directory, SystemFeedback& feedback, Options options)
    : directory_(std::move(directory)), feedback_(feedback), options_(std::move(options)) {
    if (!options_.now) options_.now = [] { return std::chrono::system_clock::now(); };
    tidyDirectory();
}

FileDefaults::FileDefaults(std::filesystem::path directory, SystemFeedback& feedback)
    : FileDefaults(std::move(directory), feedback, Options{}) {}

std::filesystem::path FileDefaults::defaultDirectory() {
    const std::filesystem::path base = configHome();
    return base.empty() ? base : base / "corvane";
}

std::optional<bool> FileDefaults::boolValue(std::string_view key) {
    const auto bytes = read(key);
    return bytes ? parseBool(*bytes) : std::nullopt;
}

std::optional<std::string> FileDefaults::bytesValue(std::string_view key) {
    return read(key);
}

bool FileDefaults::setBool(std::string_view key, bool value) {
    return write(key, value ? "true\n" : "false\n");
}

bool FileDefaults::setBytes(std::string_view key, std::string_view bytes) {
    return write(key, bytes);
}

std::optional<std::string> FileDefaults::keepAside(std::string_view key) {
    const auto bytes = read(key);
    if (!bytes) return std::nullopt;
    if (auto error = prepareDirectory()) {
        hold(key, error->message);
        return std::nullopt;
    }

    const std::string base = std::string(key) + ".unreadable-" + utcStamp(options_.now());
    for (int copy = 1; copy <= maxAsideCopies; ++copy) {
        const std::string name = copy == 1 ? base : base + "-" + std::to_string(copy);
        const auto error = createFile(directory_, name, *bytes, 0600, options_.hooks);
        if (!error) return (directory_ / name).string();
        if (error->code == EEXIST && !error->committed) continue;
        if (error->committed) {
            feedback_.log(error->message);
            return (directory_ / name).string();
        }
        hold(key, error->message);
        return std::nullopt;
    }
    hold(key, "could not keep " + (directory_ / base).string() + " aside: " + std::to_string(maxAsideCopies) +
                  " copies of it exist already");
    return std::nullopt;
}

bool FileDefaults::isHeld(std::string_view key) const {
    return held_.find(key) != held_.end();
}

void FileDefaults::hold(std::string_view key, const std::string& reason) {
    if (!held_.emplace(key).second) return;
    feedback_.log(reason + "; leaving " + (directory_ / std::string(key)).string() +
                  " as it is and using the default until Corvane restarts");
}

bool FileDefaults::acceptsKey(std::string_view key) {
    if (isSimpleKey(key)) return true;
    feedback_.log("refusing settings key " + quotedForLog(key) +
                  ": keys are made of letters, digits, '-' and '_'");
    return false;
}

std::optional<std::string> FileDefaults::read(std::string_view key) {
    if (!acceptsKey(key) || directory_.empty() || isHeld(key)) return std::nullopt;
    const std::filesystem::path path = directory_ / std::string(key);
    if (options_.beforeRead) {
        if (const int code = options_.beforeRead(path)) {
            hold(key, "could not read " + path.string() + ": " + errorText(code));
            return std::nullopt;
        }
    }
    auto outcome = readFile(path, readLimit);
    if (outcome.error) hold(key, outcome.error->message);
    return std::move(outcome.bytes);
}

bool FileDefaults::write(std::string_view key, std::string_view bytes) {
    if (!acceptsKey(key) || isHeld(key)) return false;
    if (auto error = prepareDirectory()) {
        feedback_.log(error->message);
        return false;
    }
    const auto error = replaceFile(directory_, key, bytes, 0600, options_.hooks);
    if (!error) return true;
    feedback_.log(error->message);
    // Only the directory sync failed: the new value is what readers see.
    return error->committed;
}

std::optional<FileError> FileDefaults::prepareDirectory() {
    if (directory_.empty()) {
        return FileError{ENOENT,
                         "could not write settings: no home directory (neither XDG_CONFIG_HOME nor HOME "
                         "is set, and the account has none)"};
    }
    return makeDirectories(directory_, 0700);
}

void FileDefaults::tidyDirectory() {
    if (directory_.empty()) return;
    struct stat status {};
    if (::stat(directory_.c_str(), &status) != 0 || !S_ISDIR(status.st_mode)) return;
    // Someone else's directory is not ours to change; writes into it will
    // succeed or fail on their own.
    if (status.st_uid != ::geteuid()) return;
    if ((status.st_mode & 07777) != 0700) ::chmod(directory_.c_str(), 0700);

    std::error_code ignored;
    for (std::filesystem::directory_iterator entry(directory_, ignored), end; !ignored && entry != end;
         entry.increment(ignored)) {
        const auto owner = temporaryFileOwner(entry->path().filename().native());
        // A live owner may be another instance in the middle of a write.
        if (owner && *owner != ::getpid() && isDeadProcess(*owner)) ::unlink(entry->path().c_str());
    }
}

}  // namespace corvane::xdg
