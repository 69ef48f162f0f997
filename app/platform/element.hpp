#pragma once

#include <cstddef>
#include <memory>
#include <utility>

namespace corvane {

// What a port puts behind an Element: its own window or application handle.
class ElementRef {
public:
    virtual ~ElementRef() = default;
    // Equal elements hash alike; distinct elements may hash alike too.
    virtual std::size_t hash() const = 0;
    virtual bool equals(const ElementRef& other) const = 0;
};

// An opaque, ref-counted accessibility element (an application or a window).
// Copies share the port's handle, which is released with the last copy.
class Element {
public:
    Element() = default;
    explicit Element(std::shared_ptr<const ElementRef> ref) : ref_(std::move(ref)) {}

    bool isValid() const { return ref_ != nullptr; }
    std::size_t hash() const { return ref_ ? ref_->hash() : 0; }

    // The port's own handle, or null when this element came from another port.
    template <class T>
    const T* as() const {
        return dynamic_cast<const T*>(ref_.get());
    }

    friend bool operator==(const Element& a, const Element& b) {
        if (!a.ref_ || !b.ref_) return a.ref_ == b.ref_;
        return a.ref_ == b.ref_ || a.ref_->equals(*b.ref_);
    }

private:
    std::shared_ptr<const ElementRef> ref_;
};

}  // namespace corvane

template <>
struct std::hash<corvane::Element> {
    std::size_t operator()(const corvane::Element& e) const noexcept { return e.hash(); }
};
