#pragma once

// Objective-C++ only: text between our strings and Foundation's.

#include <Foundation/Foundation.h>

#include <string>
#include <string_view>

namespace corvane::macos {

// Nil for bytes that are not UTF-8.
inline NSString* nsString(std::string_view text) {
    return [[NSString alloc] initWithBytes:text.data() length:text.size() encoding:NSUTF8StringEncoding];
}

inline std::string stdString(NSString* text) {
    const char* bytes = text ? text.UTF8String : nullptr;
    return bytes ? std::string(bytes) : std::string();
}

}  // namespace corvane::macos
