#pragma once

// Objective-C++ only: an accessibility element behind the seam's Element.

#include <ApplicationServices/ApplicationServices.h>

#include "app/platform/element.hpp"
#include "ports/macos/cf_ref.hpp"

namespace corvane::macos {

// Holds its AXUIElement for as long as any copy of the Element lives.
// Equality and hashing are the framework's: two reads of the same window
// give distinct objects that compare equal.
class MacElement final : public ElementRef {
public:
    explicit MacElement(CFRef<AXUIElementRef> element) : element_(std::move(element)) {}

    AXUIElementRef get() const { return element_.get(); }

    std::size_t hash() const override { return static_cast<std::size_t>(CFHash(element_.get())); }
    bool equals(const ElementRef& other) const override {
        const auto* mac = dynamic_cast<const MacElement*>(&other);
        return mac && CFEqual(element_.get(), mac->get());
    }

    static Element wrap(CFRef<AXUIElementRef> element) {
        return Element(std::make_shared<const MacElement>(std::move(element)));
    }

private:
    CFRef<AXUIElementRef> element_;
};

}  // namespace corvane::macos
