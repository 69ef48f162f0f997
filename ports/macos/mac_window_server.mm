#include "ports/macos/mac_window_server.hpp"

#include <ApplicationServices/ApplicationServices.h>
#include <Foundation/Foundation.h>
#include <dlfcn.h>

#include "ports/macos/cf_ref.hpp"
#include "ports/macos/cf_report.hpp"
#include "ports/macos/mac_element.hpp"
#include "ports/macos/ns_string.hpp"

namespace corvane::macos {

namespace {

// Opened once, on first use, and deliberately never closed: the functions
// looked up in them are used for the whole life of the process, and closing
// a system framework is never safe.
struct Libraries {
    void* skyLight = ::dlopen("/System/Library/PrivateFrameworks/SkyLight.framework/SkyLight", RTLD_NOW);
    void* appServices =
        ::dlopen("/System/Library/Frameworks/ApplicationServices.framework/ApplicationServices", RTLD_NOW);
};

const Libraries& libraries() {
    static const Libraries opened;
    return opened;
}

// Looked up at every use, as cheap as a hash lookup; null when missing.
template <class Function>
Function* symbol(void* library, const char* name) {
    return library ? reinterpret_cast<Function*>(::dlsym(library, name)) : nullptr;
}

using MainConnectionID = std::int32_t();
using CopyManagedDisplaySpaces = CFArrayRef(std::int32_t);
using CopySpacesForWindows = CFArrayRef(std::int32_t, std::int32_t, CFArrayRef);
using ManagedDisplaySetCurrentSpace = CGError(std::int32_t, CFStringRef, std::uint64_t);
using GetWindow = AXError(AXUIElementRef, std::uint32_t*);

constexpr const char* kMoveClass = "SLSBridgedMoveWindowsToManagedSpaceOperation";
constexpr const char* kInitSelector = "initWithWindows:spaceID:";
constexpr const char* kPerformSelector = "performWithWMBridgeDelegate";

// An initializer takes over the object it is sent to and hands back an
// owned one; saying so keeps reference counting right when it is called
// through its implementation pointer.
typedef id InitWithWindows(__attribute__((ns_consumed)) id, SEL, NSArray*, unsigned long long)
    __attribute__((ns_returns_retained));
using Perform = void(id, SEL);

NSArray* windowNumbers(const std::vector<std::uint32_t>& windows) {
    std::vector<NSNumber*> numbers;
    numbers.reserve(windows.size());
    for (const std::uint32_t w : windows) numbers.push_back([NSNumber numberWithUnsignedInt:w]);
    return [NSArray arrayWithObjects:numbers.data() count:numbers.size()];
}

std::optional<PlistValue> reportFrom(CFArrayRef raw) {
    const auto report = CFRef<CFArrayRef>::adopt(raw);
    if (!report) return std::nullopt;
    return plistFromCF(report.get());
}

}  // namespace

WindowServer::Availability MacWindowServer::availability() {
    @autoreleasepool {
        const Libraries& libs = libraries();
        Availability a;
        a.systemVersion = [NSProcessInfo.processInfo isOperatingSystemAtLeastVersion:{26, 4, 0}];
        a.serverFunctions =
            symbol<MainConnectionID>(libs.skyLight, "SLSMainConnectionID") &&
            symbol<CopyManagedDisplaySpaces>(libs.skyLight, "SLSCopyManagedDisplaySpaces") &&
            symbol<CopySpacesForWindows>(libs.skyLight, "SLSCopySpacesForWindows") &&
            symbol<ManagedDisplaySetCurrentSpace>(libs.skyLight, "SLSManagedDisplaySetCurrentSpace");
        a.windowNumberFunction = symbol<GetWindow>(libs.appServices, "_AXUIElementGetWindow") != nullptr;
        Class moveClass = NSClassFromString(@(kMoveClass));
        a.bridgedMove =
            moveClass && [moveClass instancesRespondToSelector:NSSelectorFromString(@(kInitSelector))];
        return a;
    }
}

std::optional<std::int32_t> MacWindowServer::mainConnection() {
    const auto function = symbol<MainConnectionID>(libraries().skyLight, "SLSMainConnectionID");
    if (!function) return std::nullopt;
    return function();
}

std::optional<PlistValue> MacWindowServer::copyManagedDisplaySpaces(std::int32_t connection) {
    const auto function =
        symbol<CopyManagedDisplaySpaces>(libraries().skyLight, "SLSCopyManagedDisplaySpaces");
    if (!function) return std::nullopt;
    return reportFrom(function(connection));
}

std::optional<PlistValue> MacWindowServer::copySpacesForWindows(std::int32_t connection, std::int32_t mask,
                                                                const std::vector<std::uint32_t>& windows) {
    const auto function = symbol<CopySpacesForWindows>(libraries().skyLight, "SLSCopySpacesForWindows");
    if (!function) return std::nullopt;
    @autoreleasepool {
        return reportFrom(function(connection, mask, (__bridge CFArrayRef)windowNumbers(windows)));
    }
}

std::optional<std::int32_t> MacWindowServer::setCurrentSpace(std::int32_t connection,
                                                             const std::string& displayIdentifier,
                                                             std::uint64_t space) {
    const auto function =
        symbol<ManagedDisplaySetCurrentSpace>(libraries().skyLight, "SLSManagedDisplaySetCurrentSpace");
    if (!function) return std::nullopt;
    @autoreleasepool {
        NSString* display = nsString(displayIdentifier);
        // An identifier that is not text names no display: refused like one.
        if (!display) return kAXErrorIllegalArgument;
        return function(connection, (__bridge CFStringRef)display, space);
    }
}

std::optional<WindowServer::WindowNumber> MacWindowServer::windowNumber(const Element& window) {
    const auto function = symbol<GetWindow>(libraries().appServices, "_AXUIElementGetWindow");
    if (!function) return std::nullopt;
    const auto* element = window.as<MacElement>();
    if (!element) return WindowNumber{kAXErrorIllegalArgument, 0};
    std::uint32_t number = 0;
    const AXError status = function(element->get(), &number);
    return WindowNumber{status, number};
}

bool MacWindowServer::performBridgedMove(const std::vector<std::uint32_t>& windows, std::uint64_t space) {
    @autoreleasepool {
        Class moveClass = NSClassFromString(@(kMoveClass));
        const SEL initSelector = NSSelectorFromString(@(kInitSelector));
        const SEL performSelector = NSSelectorFromString(@(kPerformSelector));
        if (!moveClass || ![moveClass instancesRespondToSelector:initSelector]) return false;

        id allocated = [moveClass alloc];
        if (!allocated) return false;
        const auto init = reinterpret_cast<InitWithWindows*>([allocated methodForSelector:initSelector]);
        if (!init) return false;
        id operation = init(allocated, initSelector, windowNumbers(windows), space);
        if (!operation || ![operation respondsToSelector:performSelector]) return false;
        const auto perform = reinterpret_cast<Perform*>([operation methodForSelector:performSelector]);
        if (!perform) return false;
        perform(operation, performSelector);
        return true;
    }
}

}  // namespace corvane::macos
