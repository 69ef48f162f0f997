#include "ports/macos/mac_alerts.hpp"

#include <AppKit/AppKit.h>

#include "ports/macos/ns_string.hpp"

namespace corvane::macos {

namespace {

void comeForward() {
    if (@available(macOS 14.0, *))
        [NSApp activate];
    else
        [NSApp activateIgnoringOtherApps:YES];
}

}  // namespace

void MacAlerts::showWarning(const std::string& message, const std::string& informative,
                            std::function<void()> closed) {
    NSString* messageText = nsString(message);
    NSString* informativeText = nsString(informative);
    // Run from the main queue, so that the caller is never held inside the
    // alert's modal loop.
    dispatch_async(dispatch_get_main_queue(), ^{
      NSAlert* alert = [[NSAlert alloc] init];
      alert.alertStyle = NSAlertStyleWarning;
      alert.messageText = messageText ? messageText : @"";
      alert.informativeText = informativeText ? informativeText : @"";
      [alert addButtonWithTitle:@"OK"];
      comeForward();
      [alert runModal];
      if (closed) closed();
    });
}

}  // namespace corvane::macos
