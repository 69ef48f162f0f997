#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "app/platform/plist_value.hpp"

namespace corvane::macos {

// One node of a property list as the window server hands it over, seen
// without the frameworks: the port walks Core Foundation objects through
// this, so the translation below is plain C++ that the unit tests drive
// with reports of their own.
class ReportNode {
public:
    enum class Kind { string, integer, real, boolean, array, dictionary, other };

    virtual ~ReportNode() = default;

    virtual Kind kind() const = 0;
    // Absent when the string cannot be represented as UTF-8.
    virtual std::optional<std::string> string() const = 0;
    // An integer's 64 bits as the object stores them (identifiers are
    // unsigned 64-bit values in the same bits).
    virtual std::int64_t integer() const = 0;
    virtual double real() const = 0;
    virtual bool boolean() const = 0;

    // Arrays and dictionaries: the number of elements or entries.
    virtual std::size_t count() const = 0;
    // The element at `index` (arrays) or the value of entry `index` (dictionaries).
    virtual const ReportNode& child(std::size_t index) const = 0;
    // The key of dictionary entry `index`: the node it is made of.
    virtual const ReportNode& key(std::size_t index) const = 0;

protected:
    ReportNode() = default;
    ReportNode(const ReportNode&) = default;
    ReportNode& operator=(const ReportNode&) = default;
};

// Deeper than any report the window server writes; a nesting beyond it is
// malformed and becomes `Other` there rather than a deep recursion.
inline constexpr int maximumReportDepth = 32;

// The report as the application layer reads it. Nothing is dropped silently
// except what a PlistValue cannot hold: dictionary entries whose key is not a
// string, and strings that are not valid text, become `Other` values (the
// entry with a non-string key is left out, since its key has no name).
PlistValue plistFrom(const ReportNode& node);

}  // namespace corvane::macos
