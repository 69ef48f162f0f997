// expect: 'activate' is only available on macOS 14.0 or newer
// A method newer than the oldest system the app runs on, called without
// asking: on macOS 13 the message has no receiver and the app crashes.
#include <AppKit/AppKit.h>

[[maybe_unused]] static void comeForward() {
    [NSApp activate];
}
