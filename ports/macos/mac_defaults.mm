#include "ports/macos/mac_defaults.hpp"

#include <Foundation/Foundation.h>

#include <chrono>

#include "ports/macos/kept_aside_key.hpp"
#include "ports/macos/ns_string.hpp"

namespace corvane::macos {

namespace {

id objectFor(std::string_view key) {
    NSString* name = nsString(key);
    return name ? [NSUserDefaults.standardUserDefaults objectForKey:name] : nil;
}

}  // namespace

std::optional<bool> MacDefaults::boolValue(std::string_view key) {
    @autoreleasepool {
        id value = objectFor(key);
        // A number 0 or 1 is not a boolean: like a hand-edited "yes" on
        // Linux, it counts as unset rather than as a guess.
        if (!value || CFGetTypeID((__bridge CFTypeRef)value) != CFBooleanGetTypeID()) return std::nullopt;
        return CFBooleanGetValue((__bridge CFBooleanRef)value) != 0;
    }
}

std::optional<std::string> MacDefaults::bytesValue(std::string_view key) {
    @autoreleasepool {
        id value = objectFor(key);
        if ([value isKindOfClass:[NSData class]]) {
            NSData* data = value;
            return std::string(static_cast<const char*>(data.bytes), data.length);
        }
        if ([value isKindOfClass:[NSString class]]) return stdString(value);
        return std::nullopt;
    }
}

bool MacDefaults::setBool(std::string_view key, bool value) {
    @autoreleasepool {
        NSString* name = nsString(key);
        if (!name) return false;
        [NSUserDefaults.standardUserDefaults setBool:value forKey:name];
        return true;
    }
}

bool MacDefaults::setBytes(std::string_view key, std::string_view bytes) {
    @autoreleasepool {
        NSString* name = nsString(key);
        if (!name) return false;
        [NSUserDefaults.standardUserDefaults setObject:[NSData dataWithBytes:bytes.data() length:bytes.size()]
                                                forKey:name];
        return true;
    }
}

std::optional<std::string> MacDefaults::keepAside(std::string_view key) {
    @autoreleasepool {
        id value = objectFor(key);
        if (!value) return std::nullopt;
        const std::string copy = keptAsideKey(key, std::chrono::system_clock::now(),
                                              [](const std::string& name) { return objectFor(name) != nil; });
        NSString* copyName = nsString(copy);
        if (!copyName) return std::nullopt;
        [NSUserDefaults.standardUserDefaults setObject:value forKey:copyName];
        return copy;
    }
}

}  // namespace corvane::macos
