#pragma once

#include <filesystem>
#include <string_view>

namespace corvane::xharness {

// A private directory (mode 0700) under the system temporary directory,
// removed with everything in it when the object goes away.
class TempDir {
public:
    // Throws std::runtime_error when the directory cannot be made.
    explicit TempDir(std::string_view prefix);
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
};

}  // namespace corvane::xharness
