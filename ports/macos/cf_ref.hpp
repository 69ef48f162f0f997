#pragma once

// Objective-C++ only: the owner of one Core Foundation reference.

#include <CoreFoundation/CoreFoundation.h>

#include <utility>

namespace corvane::macos {

// Holds one reference to a Core Foundation object and releases it on every
// path. `adopt` takes over a reference from a Create or Copy call; `retain`
// adds one to an object the caller does not own (a Get call's result).
template <class T>
class CFRef {
public:
    CFRef() = default;
    static CFRef adopt(T object) { return CFRef(object); }
    static CFRef retain(T object) {
        if (object) CFRetain(object);
        return CFRef(object);
    }
    ~CFRef() { reset(); }
    CFRef(const CFRef& other) : object_(other.object_) {
        if (object_) CFRetain(object_);
    }
    CFRef(CFRef&& other) noexcept : object_(std::exchange(other.object_, nullptr)) {}
    CFRef& operator=(CFRef other) noexcept {
        std::swap(object_, other.object_);
        return *this;
    }

    T get() const { return object_; }
    explicit operator bool() const { return object_ != nullptr; }
    void reset() {
        if (object_) CFRelease(object_);
        object_ = nullptr;
    }

private:
    explicit CFRef(T object) : object_(object) {}
    T object_ = nullptr;
};

}  // namespace corvane::macos
