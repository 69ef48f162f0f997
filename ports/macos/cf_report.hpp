#pragma once

// Objective-C++ only: Core Foundation property lists as ReportNodes.

#include <CoreFoundation/CoreFoundation.h>

#include "app/platform/plist_value.hpp"

namespace corvane::macos {

// The PlistValue of a Core Foundation property list (a window-server
// report). The object stays the caller's.
PlistValue plistFromCF(CFTypeRef object);

// The text of a string object; absent when it cannot be written as UTF-8.
std::optional<std::string> stringFromCF(CFStringRef string);

}  // namespace corvane::macos
