#include "ports/macos/cf_report.hpp"

#include <memory>
#include <vector>

#include "ports/macos/report_node.hpp"

namespace corvane::macos {

std::optional<std::string> stringFromCF(CFStringRef string) {
    if (!string) return std::nullopt;
    const CFIndex length = CFStringGetLength(string);
    const CFIndex capacity = CFStringGetMaximumSizeForEncoding(length, kCFStringEncodingUTF8) + 1;
    std::string buffer(static_cast<std::size_t>(capacity), '\0');
    if (!CFStringGetCString(string, buffer.data(), capacity, kCFStringEncodingUTF8)) return std::nullopt;
    buffer.resize(std::char_traits<char>::length(buffer.c_str()));
    return buffer;
}

namespace {

// A view of one object of the report; children are made on demand and kept
// for as long as the view, so references handed out stay valid.
class CFNode final : public ReportNode {
public:
    explicit CFNode(CFTypeRef object) : object_(object) {
        if (kind() == Kind::dictionary) {
            const auto dictionary = static_cast<CFDictionaryRef>(object_);
            const auto n = static_cast<std::size_t>(CFDictionaryGetCount(dictionary));
            keys_.resize(n);
            values_.resize(n);
            CFDictionaryGetKeysAndValues(dictionary, keys_.data(), values_.data());
        }
    }

    Kind kind() const override {
        if (!object_) return Kind::other;
        const CFTypeID type = CFGetTypeID(object_);
        if (type == CFStringGetTypeID()) return Kind::string;
        // Booleans are their own type, not numbers that happen to be 0 or 1.
        if (type == CFBooleanGetTypeID()) return Kind::boolean;
        if (type == CFNumberGetTypeID())
            return CFNumberIsFloatType(static_cast<CFNumberRef>(object_)) ? Kind::real : Kind::integer;
        if (type == CFArrayGetTypeID()) return Kind::array;
        if (type == CFDictionaryGetTypeID()) return Kind::dictionary;
        return Kind::other;
    }
    std::optional<std::string> string() const override {
        return stringFromCF(static_cast<CFStringRef>(object_));
    }
    std::int64_t integer() const override {
        std::int64_t value = 0;
        CFNumberGetValue(static_cast<CFNumberRef>(object_), kCFNumberSInt64Type, &value);
        return value;
    }
    double real() const override {
        double value = 0;
        CFNumberGetValue(static_cast<CFNumberRef>(object_), kCFNumberFloat64Type, &value);
        return value;
    }
    bool boolean() const override { return CFBooleanGetValue(static_cast<CFBooleanRef>(object_)); }
    std::size_t count() const override {
        if (kind() == Kind::array)
            return static_cast<std::size_t>(CFArrayGetCount(static_cast<CFArrayRef>(object_)));
        return values_.size();
    }
    const ReportNode& child(std::size_t index) const override {
        if (kind() == Kind::array)
            return keep(
                CFArrayGetValueAtIndex(static_cast<CFArrayRef>(object_), static_cast<CFIndex>(index)));
        return keep(values_[index]);
    }
    const ReportNode& key(std::size_t index) const override { return keep(keys_[index]); }

private:
    const ReportNode& keep(CFTypeRef object) const {
        made_.push_back(std::make_unique<CFNode>(object));
        return *made_.back();
    }

    CFTypeRef object_;
    std::vector<const void*> keys_;
    std::vector<const void*> values_;
    mutable std::vector<std::unique_ptr<CFNode>> made_;
};

}  // namespace

PlistValue plistFromCF(CFTypeRef object) {
    return plistFrom(CFNode(object));
}

}  // namespace corvane::macos
