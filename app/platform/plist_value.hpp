#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <variant>
#include <vector>

namespace corvane {

// A property-list value exactly as the window server reports it. Reports
// may be malformed in any way; readers check every kind they rely on.
struct PlistValue {
    struct Other {
        friend bool operator==(const Other&, const Other&) = default;
    };
    // Integers keep all 64 bits (identifiers are unsigned 64-bit values
    // carried in the same bits); reals are kept apart.
    struct Number {
        std::variant<std::int64_t, double> value;
        friend bool operator==(const Number&, const Number&) = default;
    };
    using Array = std::vector<PlistValue>;
    using Dictionary = std::map<std::string, PlistValue>;

    std::variant<Other, std::string, Number, bool, Array, Dictionary> value;

    PlistValue() = default;
    PlistValue(std::string s) : value(std::move(s)) {}    // NOLINT(google-explicit-constructor)
    PlistValue(const char* s) : value(std::string(s)) {}  // NOLINT(google-explicit-constructor)
    PlistValue(Number n) : value(n) {}                    // NOLINT(google-explicit-constructor)
    PlistValue(bool b) : value(b) {}                      // NOLINT(google-explicit-constructor)
    PlistValue(Array a) : value(std::move(a)) {}          // NOLINT(google-explicit-constructor)
    PlistValue(Dictionary d) : value(std::move(d)) {}     // NOLINT(google-explicit-constructor)
    static PlistValue integer(std::int64_t i) { return PlistValue(Number{i}); }
    static PlistValue real(double d) { return PlistValue(Number{d}); }

    template <class T>
    const T* as() const {
        return std::get_if<T>(&value);
    }

    friend bool operator==(const PlistValue&, const PlistValue&) = default;
};

}  // namespace corvane
