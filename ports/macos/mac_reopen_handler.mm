#include "ports/macos/mac_reopen_handler.hpp"

#include <Foundation/Foundation.h>

// The object the Apple event manager calls; it forwards to the C++ callback.
@interface CVNReopenTarget : NSObject
- (void)handleReopen:(NSAppleEventDescriptor*)event withReplyEvent:(NSAppleEventDescriptor*)reply;
@end

@implementation CVNReopenTarget {
@public
    std::function<void()> _reopened;
}

- (void)handleReopen:(NSAppleEventDescriptor*)event withReplyEvent:(NSAppleEventDescriptor*)reply {
    (void)event;
    (void)reply;
    if (_reopened) _reopened();
}

@end

namespace corvane::macos {

struct ReopenHandler::Target {
    CVNReopenTarget* object = nil;
};

ReopenHandler::ReopenHandler(std::function<void()> reopened) : target_(std::make_unique<Target>()) {
    CVNReopenTarget* object = [[CVNReopenTarget alloc] init];
    object->_reopened = std::move(reopened);
    target_->object = object;
    __weak CVNReopenTarget* weakObject = object;
    // The application object installs its own handler while it finishes
    // launching; ours goes in after that, from the running loop.
    dispatch_async(dispatch_get_main_queue(), ^{
      CVNReopenTarget* target = weakObject;
      if (!target) return;
      [[NSAppleEventManager sharedAppleEventManager] setEventHandler:target
                                                         andSelector:@selector(handleReopen:withReplyEvent:)
                                                       forEventClass:kCoreEventClass
                                                          andEventID:kAEReopenApplication];
    });
}

ReopenHandler::~ReopenHandler() {
    [[NSAppleEventManager sharedAppleEventManager] removeEventHandlerForEventClass:kCoreEventClass
                                                                        andEventID:kAEReopenApplication];
}

}  // namespace corvane::macos
