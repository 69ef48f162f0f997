// The misuse snippets beside this file, written correctly: the check must
// accept this one, so that their rejection is the misuse's and not a broken
// set-up's.
#include <AppKit/AppKit.h>
#include <ApplicationServices/ApplicationServices.h>
#include <Carbon/Carbon.h>
#include <ServiceManagement/ServiceManagement.h>

#include "core/rect.hpp"

@interface ReopenTarget : NSObject
- (void)handleReopen:(NSAppleEventDescriptor*)event withReplyEvent:(NSAppleEventDescriptor*)reply;
@end

namespace {

[[maybe_unused]] bool loginItemEnabled() {
    return SMAppService.mainAppService.status == SMAppServiceStatusEnabled;
}

[[maybe_unused]] void setPosition(AXUIElementRef window, CGPoint where) {
    AXValueRef value = AXValueCreate(kAXValueTypeCGPoint, &where);
    if (!value) return;
    AXUIElementSetAttributeValue(window, (__bridge CFStringRef) @"AXPosition", value);
    CFRelease(value);
}

[[maybe_unused]] void comeForward() {
    if (@available(macOS 14.0, *))
        [NSApp activate];
    else
        [NSApp activateIgnoringOtherApps:YES];
}

[[maybe_unused]] NSString* bundleIdentifier(CFStringRef identifier) {
    return (__bridge NSString*)identifier;
}

[[maybe_unused]] void listen(ReopenTarget* target) {
    [[NSAppleEventManager sharedAppleEventManager] setEventHandler:target
                                                       andSelector:@selector(handleReopen:withReplyEvent:)
                                                     forEventClass:kCoreEventClass
                                                        andEventID:kAEReopenApplication];
}

// Ours, named with its namespace beside Apple's global Rect.
[[maybe_unused]] double width(const corvane::Rect& r) {
    return r.width;
}

}  // namespace
