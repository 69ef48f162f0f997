#pragma once

#include "app/platform/window_server.hpp"

namespace corvane::macos {

// The window server's private desktop functions, looked up at run time and
// never linked: SkyLight's connection and space functions, the window number
// of an accessibility element, and the bridged move operation class. Each
// missing piece makes only its own operation absent; availability() says
// which pieces are there.
class MacWindowServer final : public WindowServer {
public:
    MacWindowServer() = default;

    Availability availability() override;
    std::optional<std::int32_t> mainConnection() override;
    std::optional<PlistValue> copyManagedDisplaySpaces(std::int32_t connection) override;
    std::optional<PlistValue> copySpacesForWindows(std::int32_t connection, std::int32_t mask,
                                                   const std::vector<std::uint32_t>& windows) override;
    std::optional<std::int32_t> setCurrentSpace(std::int32_t connection, const std::string& displayIdentifier,
                                                std::uint64_t space) override;
    std::optional<WindowNumber> windowNumber(const Element& window) override;
    bool performBridgedMove(const std::vector<std::uint32_t>& windows, std::uint64_t space) override;
};

}  // namespace corvane::macos
