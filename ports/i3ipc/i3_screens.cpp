#include "ports/i3ipc/i3_screens.hpp"

#include "ports/i3ipc/i3_accessibility.hpp"

namespace corvane::i3ipc {

std::vector<Screen> screensFrom(const std::vector<Output>& outputs,
                                const std::vector<WorkspaceInfo>& workspaces) {
    std::vector<Screen> result;
    const auto primary = primaryOutput(outputs);
    if (!primary) return result;
    const Point origin{primary->rect.x, primary->rect.y};
    const double primaryHeight = primary->rect.height;
    // Top-left global rectangles to the bottom-left space of the primary.
    const auto flip = [&](const Rect& r) {
        return Rect{r.x - origin.x, primaryHeight - (r.y - origin.y) - r.height, r.width, r.height};
    };
    auto screenOf = [&](const Output& output, std::uint32_t number) {
        Rect usable = output.rect;
        for (const auto& w : workspaces)
            if (w.output == output.name && w.name == output.currentWorkspace && w.rect.width > 0 &&
                w.rect.height > 0)
                usable = w.rect;
        return Screen{flip(output.rect), flip(usable), number};
    };
    for (std::size_t i = 0; i < outputs.size(); ++i)
        if (outputs[i].name == primary->name)
            result.push_back(screenOf(outputs[i], static_cast<std::uint32_t>(i + 1)));
    for (std::size_t i = 0; i < outputs.size(); ++i)
        if (outputs[i].name != primary->name)
            result.push_back(screenOf(outputs[i], static_cast<std::uint32_t>(i + 1)));
    return result;
}

I3Screens::I3Screens(IpcSession& session) : session_(session) {}

std::vector<Screen> I3Screens::screens() {
    return screensFrom(session_.outputs(), session_.workspaces());
}

std::optional<std::string> I3Screens::displayUUID(std::uint32_t displayNumber) {
    const auto outputs = session_.outputs();
    if (displayNumber == 0 || displayNumber > outputs.size()) return std::nullopt;
    return outputs[displayNumber - 1].name;
}

std::optional<Rect> I3Screens::displayBounds(std::uint32_t displayNumber) {
    const auto outputs = session_.outputs();
    if (displayNumber == 0 || displayNumber > outputs.size()) return std::nullopt;
    const Rect& r = outputs[displayNumber - 1].rect;
    const Point origin = primaryOrigin(outputs);
    return Rect{r.x - origin.x, r.y - origin.y, r.width, r.height};
}

}  // namespace corvane::i3ipc
