// expect: no viable conversion from 'CGSize'
// A size where the position value wants a point: the window would be moved
// to its own width and height.
#include <ApplicationServices/ApplicationServices.h>

[[maybe_unused]] static void setPosition(AXUIElementRef window, CGSize size) {
    CGPoint where = size;
    AXValueRef value = AXValueCreate(kAXValueTypeCGPoint, &where);
    AXUIElementSetAttributeValue(window, (__bridge CFStringRef) @"AXPosition", value);
    CFRelease(value);
}
