// expect: requires a bridged cast
// Core Foundation and Objective-C objects are the same objects, but who owns
// the reference must be said: a plain cast leaves ARC guessing.
#include <Foundation/Foundation.h>

[[maybe_unused]] static NSString* bundleIdentifier(CFStringRef identifier) {
    return (NSString*)identifier;
}
