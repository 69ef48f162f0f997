#include "ports/macos/mac_login_item.hpp"

#include <ServiceManagement/ServiceManagement.h>

#include "ports/macos/ns_string.hpp"

namespace corvane::macos {

namespace {

std::string describe(NSError* error) {
    const std::string text = error ? stdString(error.localizedDescription) : std::string();
    return text.empty() ? std::string("the system gave no reason") : text;
}

}  // namespace

bool MacLoginItem::isEnabled() {
    @autoreleasepool {
        return SMAppService.mainAppService.status == SMAppServiceStatusEnabled;
    }
}

std::optional<std::string> MacLoginItem::registerItem() {
    @autoreleasepool {
        NSError* error = nil;
        if ([SMAppService.mainAppService registerAndReturnError:&error]) return std::nullopt;
        return describe(error);
    }
}

std::optional<std::string> MacLoginItem::unregisterItem() {
    @autoreleasepool {
        NSError* error = nil;
        if ([SMAppService.mainAppService unregisterAndReturnError:&error]) return std::nullopt;
        return describe(error);
    }
}

}  // namespace corvane::macos
