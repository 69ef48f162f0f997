// Core Graphics: geometry, displays and synthetic input events.
#pragma once
#include <CoreFoundation/CoreFoundation.h>
#include <stdbool.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

typedef double CGFloat;
struct CGPoint {
    CGFloat x;
    CGFloat y;
};
typedef struct CGPoint CGPoint;
struct CGSize {
    CGFloat width;
    CGFloat height;
};
typedef struct CGSize CGSize;
struct CGRect {
    CGPoint origin;
    CGSize size;
};
typedef struct CGRect CGRect;

CGFloat CGRectGetMinX(CGRect rect);
CGFloat CGRectGetMaxX(CGRect rect);
CGFloat CGRectGetMinY(CGRect rect);
CGFloat CGRectGetMaxY(CGRect rect);
CGFloat CGRectGetMidX(CGRect rect);
CGFloat CGRectGetMidY(CGRect rect);

typedef uint32_t CGDirectDisplayID;
typedef int32_t CGError;
enum { kCGErrorSuccess = 0 };

CGRect CGDisplayBounds(CGDirectDisplayID display);
// Lives in ColorSync; reached through ApplicationServices.
CFUUIDRef CGDisplayCreateUUIDFromDisplayID(CGDirectDisplayID display) CF_RETURNS_RETAINED;

typedef struct CVN_CF_BRIDGED(id) __CGEvent* CGEventRef;
typedef struct CVN_CF_BRIDGED(id) __CGEventSource* CGEventSourceRef;
typedef uint32_t CGEventType;
typedef uint32_t CGMouseButton;
typedef uint32_t CGEventTapLocation;
typedef int32_t CGEventSourceStateID;
typedef uint16_t CGKeyCode;

enum {
    kCGEventLeftMouseDown = 1,
    kCGEventLeftMouseUp = 2,
    kCGEventMouseMoved = 5,
};
enum { kCGMouseButtonLeft = 0 };
enum { kCGHIDEventTap = 0 };
enum { kCGEventSourceStateHIDSystemState = 1 };

CGEventSourceRef CGEventSourceCreate(CGEventSourceStateID stateID) CF_RETURNS_RETAINED;
CGEventRef CGEventCreate(CGEventSourceRef source) CF_RETURNS_RETAINED;
CGPoint CGEventGetLocation(CGEventRef event);
CGEventRef CGEventCreateMouseEvent(CGEventSourceRef source, CGEventType mouseType, CGPoint mouseCursorPosition,
                                   CGMouseButton mouseButton) CF_RETURNS_RETAINED;
CGEventRef CGEventCreateKeyboardEvent(CGEventSourceRef source, CGKeyCode virtualKey, bool keyDown)
    CF_RETURNS_RETAINED;
void CGEventPost(CGEventTapLocation tap, CGEventRef event);

#ifdef __cplusplus
}
#endif
