#include "ports/macos/mac_accessibility.hpp"

#include <ApplicationServices/ApplicationServices.h>
#include <Foundation/Foundation.h>

#include "ports/macos/cf_ref.hpp"
#include "ports/macos/mac_element.hpp"

namespace corvane::macos {

namespace {

CFRef<CFStringRef> cfString(std::string_view text) {
    return CFRef<CFStringRef>::adopt(
        CFStringCreateWithBytes(kCFAllocatorDefault, reinterpret_cast<const UInt8*>(text.data()),
                                static_cast<CFIndex>(text.size()), kCFStringEncodingUTF8, false));
}

AXStatus statusOf(AXError error) {
    return static_cast<AXStatus>(error);
}

// An element of another port (or none) reaches no window here.
AXUIElementRef elementOf(const Element& element) {
    const auto* mac = element.as<MacElement>();
    return mac ? mac->get() : nullptr;
}

// What the product reads: elements, points, sizes and booleans; anything
// else is a value it never interprets.
AXValue valueFrom(CFTypeRef object) {
    const CFTypeID type = CFGetTypeID(object);
    if (type == AXUIElementGetTypeID())
        return MacElement::wrap(CFRef<AXUIElementRef>::retain(static_cast<AXUIElementRef>(object)));
    if (type == CFBooleanGetTypeID())
        return static_cast<bool>(CFBooleanGetValue(static_cast<CFBooleanRef>(object)));
    if (type == AXValueGetTypeID()) {
        const auto value = static_cast<AXValueRef>(object);
        if (AXValueGetType(value) == kAXValueTypeCGPoint) {
            CGPoint p{};
            if (AXValueGetValue(value, kAXValueTypeCGPoint, &p)) return Point{p.x, p.y};
        } else if (AXValueGetType(value) == kAXValueTypeCGSize) {
            CGSize s{};
            if (AXValueGetValue(value, kAXValueTypeCGSize, &s)) return Size{s.width, s.height};
        }
    }
    return OtherValue{};
}

// The framework object for a value to write; null for values that cannot be written.
CFRef<CFTypeRef> objectFrom(const AXValue& value) {
    if (const auto* p = std::get_if<Point>(&value)) {
        const CGPoint point{p->x, p->y};
        return CFRef<CFTypeRef>::adopt(AXValueCreate(kAXValueTypeCGPoint, &point));
    }
    if (const auto* s = std::get_if<Size>(&value)) {
        const CGSize size{s->width, s->height};
        return CFRef<CFTypeRef>::adopt(AXValueCreate(kAXValueTypeCGSize, &size));
    }
    if (const auto* b = std::get_if<bool>(&value))
        return CFRef<CFTypeRef>::retain(*b ? kCFBooleanTrue : kCFBooleanFalse);
    if (const auto* e = std::get_if<Element>(&value)) return CFRef<CFTypeRef>::retain(elementOf(*e));
    return {};
}

}  // namespace

bool MacAccessibility::isProcessTrusted() {
    return AXIsProcessTrusted();
}

void MacAccessibility::requestTrust() {
    // The answer is the user's, given later in System Settings; never waited for.
    NSDictionary* options = @{(__bridge NSString*)kAXTrustedCheckOptionPrompt : @YES};
    AXIsProcessTrustedWithOptions((__bridge CFDictionaryRef)options);
}

Element MacAccessibility::applicationElement(const Application& application) {
    return MacElement::wrap(CFRef<AXUIElementRef>::adopt(AXUIElementCreateApplication(application.pid)));
}

AXCopyResult MacAccessibility::copyAttribute(const Element& element, std::string_view attribute) {
    const AXUIElementRef target = elementOf(element);
    const auto name = cfString(attribute);
    if (!target || !name) return AXCopyResult{AXStatus::illegalArgument, std::nullopt};
    CFTypeRef raw = nullptr;
    const AXError error = AXUIElementCopyAttributeValue(target, name.get(), &raw);
    // Released on every path, whatever came back with whatever status.
    const auto value = CFRef<CFTypeRef>::adopt(raw);
    AXCopyResult result{statusOf(error), std::nullopt};
    if (error == kAXErrorSuccess && value) result.value = valueFrom(value.get());
    return result;
}

AXStatus MacAccessibility::setAttribute(const Element& element, std::string_view attribute,
                                        const AXValue& value) {
    const AXUIElementRef target = elementOf(element);
    const auto name = cfString(attribute);
    const auto object = objectFrom(value);
    if (!target || !name || !object) return AXStatus::illegalArgument;
    return statusOf(AXUIElementSetAttributeValue(target, name.get(), object.get()));
}

AXStatus MacAccessibility::performAction(const Element& element, std::string_view action) {
    const AXUIElementRef target = elementOf(element);
    const auto name = cfString(action);
    if (!target || !name) return AXStatus::illegalArgument;
    return statusOf(AXUIElementPerformAction(target, name.get()));
}

void MacAccessibility::setMessagingTimeout(const Element& element, float seconds) {
    if (const AXUIElementRef target = elementOf(element)) AXUIElementSetMessagingTimeout(target, seconds);
}

}  // namespace corvane::macos
