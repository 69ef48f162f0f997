#include "ports/macos/mac_feedback.hpp"

#include <AppKit/AppKit.h>

#include "ports/macos/ns_string.hpp"

namespace corvane::macos {

void MacFeedback::beep() {
    // AppKit is the main thread's; a beep asked for elsewhere sounds there.
    if (NSThread.isMainThread)
        NSBeep();
    else
        dispatch_async(dispatch_get_main_queue(), ^{
          NSBeep();
        });
}

void MacFeedback::log(std::string_view message) {
    @autoreleasepool {
        // A message that is not UTF-8 (a path in another encoding) is still
        // logged, with its bytes replaced, rather than as "(null)".
        NSString* text = nsString(message);
        if (!text) text = @"(a message that is not UTF-8 text)";
        NSLog(@"corvane: %@", text);
    }
}

}  // namespace corvane::macos
