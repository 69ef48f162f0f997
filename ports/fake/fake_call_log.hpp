#pragma once

#include <cstddef>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "app/platform/accessibility.hpp"
#include "core/rect.hpp"

namespace corvane::fake {

// Every seam call the fakes receive, in the order they arrive, as short lines
// such as "setAttribute AXSize 700x855" or "registerHotKey 123 6400 0".
// Tests assert on these lines (or on the lines with one prefix) to check the
// order of calls, not only their end state. Thread-safe.
class FakeCallLog {
public:
    FakeCallLog() = default;
    FakeCallLog(const FakeCallLog&) = delete;
    FakeCallLog& operator=(const FakeCallLog&) = delete;

    void record(std::string line);

    std::vector<std::string> entries() const;
    // The lines that start with `prefix` (for example "setAttribute").
    std::vector<std::string> matching(std::string_view prefix) const;
    std::size_t count(std::string_view prefix) const;
    void clear();

private:
    mutable std::mutex mutex_;
    std::vector<std::string> entries_;
};

// How values appear in the log: numbers in their shortest exact form ("700",
// "4.99"), points "x,y", sizes "wxh", rectangles "x,y wxh".
std::string formatNumber(double value);
std::string formatPoint(const Point& point);
std::string formatSize(const Size& size);
std::string formatRect(const Rect& rect);
// Elements as "app <pid>" or "window <id>"; booleans "true"/"false"; anything else "other".
std::string formatValue(const AXValue& value);

}  // namespace corvane::fake
