#include "ports/compositor/compositor_window_server.hpp"

#include <algorithm>

#include "ports/compositor/compositor_element.hpp"
#include "ports/compositor/compositor_workspace.hpp"

namespace corvane::compositor {

namespace {

constexpr std::int32_t kConnection = 1;
constexpr std::int32_t kIllegalSpace = -50;
constexpr std::uint64_t kAlwaysListed = 9;
// Far more desktops than anyone keeps; a request beyond is not a desktop.
constexpr std::uint64_t kHighestSpace = 1000;

PlistValue spaceId(std::uint64_t space) {
    return PlistValue::Dictionary{{"ManagedSpaceID", PlistValue::integer(static_cast<std::int64_t>(space))},
                                  {"type", PlistValue::integer(0)}};
}

// The space an alias gives a desktop, most recent first. An alias counts
// only while the desktop of its own number does not exist or is the empty
// last one dynamic desktops keep: once that desktop is in use, its number
// is its own again.
std::optional<std::uint64_t> aliasOf(const Snapshot& snapshot, int desktop,
                                     const std::vector<CompositorWindowServer::Alias>& aliases) {
    const auto& ids = snapshot.desktops.ids;
    if (desktop < 0 || desktop >= static_cast<int>(ids.size())) return std::nullopt;
    for (auto it = aliases.rbegin(); it != aliases.rend(); ++it)
        if (it->desktop == ids[static_cast<std::size_t>(desktop)] &&
            it->space >= static_cast<std::uint64_t>(snapshot.desktops.count))
            return it->space;
    return std::nullopt;
}

}  // namespace

PlistValue displaySpaces(const Snapshot& snapshot,
                         const std::vector<CompositorWindowServer::Alias>& aliases) {
    std::uint64_t highest =
        std::max<std::uint64_t>(kAlwaysListed, static_cast<std::uint64_t>(snapshot.desktops.count));
    for (const auto& a : aliases) highest = std::max(highest, a.space);
    PlistValue::Array spaces;
    for (std::uint64_t n = 1; n <= highest; ++n) spaces.push_back(spaceId(n));
    const std::uint64_t current = aliasOf(snapshot, snapshot.desktops.current, aliases)
                                      .value_or(static_cast<std::uint64_t>(snapshot.desktops.current) + 1);
    PlistValue::Array displays;
    for (std::size_t i = 0; i < snapshot.monitors.size(); ++i)
        displays.push_back(PlistValue::Dictionary{
            {"Display Identifier", displayIdentifier(static_cast<std::uint32_t>(i + 1))},
            {"Current Space",
             PlistValue::Dictionary{
                 {"ManagedSpaceID", PlistValue::integer(static_cast<std::int64_t>(current))}}},
            {"Spaces", spaces}});
    return displays;
}

std::vector<std::uint64_t> windowSpaces(const Snapshot& snapshot, const std::string& window,
                                        const std::vector<CompositorWindowServer::Alias>& aliases) {
    std::vector<std::uint64_t> spaces;
    const auto place = snapshot.place(window);
    if (!place) return spaces;
    // A window on every desktop is shown on the one in view.
    const int desktop = place->desktop < 0 ? snapshot.desktops.current : place->desktop;
    spaces.push_back(static_cast<std::uint64_t>(desktop) + 1);
    if (const auto alias = aliasOf(snapshot, desktop, aliases)) spaces.push_back(*alias);
    return spaces;
}

std::optional<int> desktopIndex(const Snapshot& snapshot, std::uint64_t space,
                                const std::vector<CompositorWindowServer::Alias>& aliases) {
    if (space == 0 || space > kHighestSpace) return std::nullopt;
    const auto& ids = snapshot.desktops.ids;
    for (int desktop = 0; desktop < static_cast<int>(ids.size()); ++desktop)
        if (aliasOf(snapshot, desktop, aliases) == space) return desktop;
    return static_cast<int>(space - 1);
}

CompositorWindowServer::CompositorWindowServer(CompositorSession& session, Names names)
    : session_(session), names_(std::move(names)) {}

// The plugin may load after us (GNOME loads extensions at log-in only): the
// desktop shortcuts are registered all the same, and a move made while it
// is away fails with a message instead.
WindowServer::Availability CompositorWindowServer::availability() {
    return Availability{true, true, true, true};
}

std::optional<std::int32_t> CompositorWindowServer::mainConnection() {
    return kConnection;
}

std::vector<CompositorWindowServer::Alias> CompositorWindowServer::aliases() const {
    const std::lock_guard lock(mutex_);
    return aliases_;
}

std::optional<PlistValue> CompositorWindowServer::copyManagedDisplaySpaces(std::int32_t) {
    const auto snapshot = session_.read();
    if (!snapshot) return std::nullopt;
    return displaySpaces(*snapshot, aliases());
}

std::optional<PlistValue> CompositorWindowServer::copySpacesForWindows(
    std::int32_t, std::int32_t, const std::vector<std::uint32_t>& windows) {
    const auto snapshot = session_.read();
    if (!snapshot) return std::nullopt;
    const auto known = aliases();
    PlistValue::Array spaces;
    for (const std::uint32_t number : windows) {
        const auto id = session_.idOf(number);
        if (!id) continue;
        for (const std::uint64_t space : windowSpaces(*snapshot, *id, known)) {
            const PlistValue value = PlistValue::integer(static_cast<std::int64_t>(space));
            if (std::find(spaces.begin(), spaces.end(), value) == spaces.end()) spaces.push_back(value);
        }
    }
    return PlistValue(std::move(spaces));
}

std::optional<std::int32_t> CompositorWindowServer::setCurrentSpace(std::int32_t, const std::string&,
                                                                    std::uint64_t space) {
    const auto snapshot = session_.read();
    if (!snapshot) return kIllegalSpace;
    const auto index = desktopIndex(*snapshot, space, aliases());
    if (!index || *index >= snapshot->desktops.count) return kIllegalSpace;
    session_.write(Operation::activateDesktop(*index));
    return 0;
}

std::optional<WindowServer::WindowNumber> CompositorWindowServer::windowNumber(const Element& window) {
    const auto* e = window.as<CompositorElement>();
    if (!e || e->kind != CompositorElement::Kind::window || e->window.empty())
        return WindowNumber{static_cast<std::int32_t>(-25202), 0};
    return WindowNumber{0, session_.numberOf(e->window)};
}

bool CompositorWindowServer::performBridgedMove(const std::vector<std::uint32_t>& windows,
                                                std::uint64_t space) {
    if (space == 0 || space > kHighestSpace || windows.empty()) return false;
    const auto snapshot = session_.read();
    if (!snapshot) return false;
    const int index = static_cast<int>(space - 1);
    for (const std::uint32_t number : windows) {
        const auto id = session_.idOf(number);
        if (!id) return false;
        const auto after =
            session_.write(Operation::desktopOf(*id, index, index >= snapshot->desktops.count));
        // Right after the move the window is on the desktop it asked for;
        // dynamic desktops may then remove empty ones before it, and the
        // desktop keeps its id while its index shifts.
        if (!after || !snapshot->desktops.dynamic) continue;
        const auto place = after->place(*id);
        if (!place || place->desktop < 0 || place->desktop >= static_cast<int>(after->desktops.ids.size()))
            continue;
        const std::lock_guard lock(mutex_);
        std::erase_if(aliases_, [&](const Alias& a) { return a.space == space; });
        aliases_.push_back(Alias{space, after->desktops.ids[static_cast<std::size_t>(place->desktop)]});
    }
    return true;
}

}  // namespace corvane::compositor
