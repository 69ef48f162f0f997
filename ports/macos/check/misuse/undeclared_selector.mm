// expect: undeclared selector 'handleReopen:withReplyEvnt:'
// A selector handed to the system by name (an event handler, a target and
// action) that no method has: the system calls it later, and the app crashes.
#include <Foundation/Foundation.h>

@interface ReopenTarget : NSObject
- (void)handleReopen:(NSAppleEventDescriptor*)event withReplyEvent:(NSAppleEventDescriptor*)reply;
@end

[[maybe_unused]] static void listen(ReopenTarget* target) {
    [[NSAppleEventManager sharedAppleEventManager] setEventHandler:target
                                                       andSelector:@selector(handleReopen:withReplyEvnt:)
                                                     forEventClass:kCoreEventClass
                                                        andEventID:kAEReopenApplication];
}
