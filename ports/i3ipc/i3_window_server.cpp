#include "ports/i3ipc/i3_window_server.hpp"

#include <algorithm>
#include <string>

#include "ports/i3ipc/i3_element.hpp"

namespace corvane::i3ipc {

namespace {

constexpr std::int32_t kConnection = 1;
constexpr std::int32_t kIllegalSpace = -50;
constexpr int kAlwaysThere = 9;
// Workspace numbers the window manager accepts; anything above is not a number it keeps.
constexpr std::uint64_t kHighestNumber = 2147483647;

PlistValue spaceId(std::int64_t number) {
    return PlistValue::Dictionary{{"ManagedSpaceID", PlistValue::integer(number)},
                                  {"type", PlistValue::integer(0)}};
}

std::optional<int> workspaceNumber(std::uint64_t space) {
    if (space == 0 || space > kHighestNumber) return std::nullopt;
    return static_cast<int>(space);
}

}  // namespace

PlistValue displaySpaces(const std::vector<Output>& outputs, const std::vector<WorkspaceInfo>& workspaces) {
    int highest = kAlwaysThere;
    for (const auto& w : workspaces)
        if (w.number) highest = std::max(highest, *w.number);
    PlistValue::Array spaces;
    for (int n = 1; n <= highest; ++n) spaces.push_back(spaceId(n));
    PlistValue::Array displays;
    for (const auto& output : outputs) {
        // A named workspace without a number shows as no known space.
        std::int64_t current = 0;
        for (const auto& w : workspaces)
            if (w.name == output.currentWorkspace && w.number) current = *w.number;
        displays.push_back(PlistValue::Dictionary{
            {"Display Identifier", output.name},
            {"Current Space", PlistValue::Dictionary{{"ManagedSpaceID", PlistValue::integer(current)}}},
            {"Spaces", spaces}});
    }
    return displays;
}

I3WindowServer::I3WindowServer(IpcSession& session, bool numbersAreXWindows)
    : session_(session), numbersAreXWindows_(numbersAreXWindows) {}

WindowServer::Availability I3WindowServer::availability() {
    const bool alive = session_.isAlive();
    return Availability{alive, alive, alive, alive};
}

WindowServer::Names I3WindowServer::names() {
    return Names{"The window manager", "this window manager", "your window manager's configuration"};
}

std::optional<std::int32_t> I3WindowServer::mainConnection() {
    if (!session_.isAlive()) return std::nullopt;
    return kConnection;
}

std::optional<PlistValue> I3WindowServer::copyManagedDisplaySpaces(std::int32_t) {
    const auto outputs = session_.outputs();
    if (outputs.empty()) return std::nullopt;
    return displaySpaces(outputs, session_.workspaces());
}

std::optional<PlistValue> I3WindowServer::copySpacesForWindows(std::int32_t, std::int32_t,
                                                               const std::vector<std::uint32_t>& windows) {
    const auto tree = session_.tree();
    if (!tree) return std::nullopt;
    const auto workspaces = session_.workspaces();
    PlistValue::Array spaces;
    for (const std::uint32_t id : windows) {
        std::optional<WindowNode> window;
        for (const auto& w : tree->windows)
            if (numbersAreXWindows_ ? w.xWindow == id : w.id == static_cast<std::int64_t>(id)) window = w;
        if (!window) continue;
        for (const auto& w : workspaces) {
            if (w.name != window->workspace || !w.number) continue;
            const PlistValue number = PlistValue::integer(*w.number);
            if (std::find(spaces.begin(), spaces.end(), number) == spaces.end()) spaces.push_back(number);
        }
    }
    return PlistValue(std::move(spaces));
}

std::optional<std::int32_t> I3WindowServer::setCurrentSpace(std::int32_t, const std::string&,
                                                            std::uint64_t space) {
    const auto number = workspaceNumber(space);
    if (!number) return kIllegalSpace;
    return session_.run("workspace number " + std::to_string(*number)).success ? 0 : kIllegalSpace;
}

std::optional<WindowServer::WindowNumber> I3WindowServer::windowNumber(const Element& window) {
    constexpr WindowNumber invalid{static_cast<std::int32_t>(-25202), 0};
    const auto* e = window.as<I3Element>();
    if (!e || e->kind != I3Element::Kind::window) return invalid;
    if (!numbersAreXWindows_) {
        if (e->container <= 0 || e->container > 0xffffffff) return invalid;
        return WindowNumber{0, static_cast<std::uint32_t>(e->container)};
    }
    const auto tree = session_.tree();
    const auto node = tree ? tree->window(e->container) : std::nullopt;
    if (!node || !node->xWindow) return invalid;
    return WindowNumber{0, *node->xWindow};
}

bool I3WindowServer::performBridgedMove(const std::vector<std::uint32_t>& windows, std::uint64_t space) {
    const auto number = workspaceNumber(space);
    if (!number || windows.empty()) return false;
    // Focus stays where it is: following is the caller's, by switching and activating.
    std::string command;
    for (const std::uint32_t id : windows) {
        if (!command.empty()) command += "; ";
        command += std::string(numbersAreXWindows_ ? "[id=" : "[con_id=") + std::to_string(id) +
                   "] move container to workspace number " + std::to_string(*number);
    }
    return session_.run(command).success;
}

}  // namespace corvane::i3ipc
