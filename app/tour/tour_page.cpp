#include "app/tour/tour_page.hpp"

#include <algorithm>

#include "core/shortcut.hpp"

namespace corvane {

const std::array<const char*, TourModel::lessonCount> tourTitles{
    "First, hold these together.",
    "Now choose a position.",
    "Corners use Shift.",
    "Send a window to a Desktop.",
};

KeyCapRow keyCaps(const TourModel& model) {
    const auto& names = model.names();
    const int step = model.step();
    const auto held = [&](std::uint32_t bit) { return (model.modifiers() & bit) != 0; };

    KeyCapRow row;
    row.hold = {{names.controlShort, held(Shortcut::control)}, {names.optionShort, held(Shortcut::option)}};
    if (step == 2) row.hold.push_back({names.shiftShort, held(Shortcut::shift)});
    if (step <= 1) row.hold.push_back({names.commandShort, held(Shortcut::command)});
    if (step >= 3) row.hold.push_back({names.shiftShort + " = follow", held(Shortcut::shift)});

    if (step >= 3) {
        for (int digit = 1; digit <= 9; ++digit) row.tap.push_back({std::to_string(digit), false});
    } else if (step >= 1) {
        row.tap = {{"←", false}, {"↑", false}, {"→", false}, {"↓", false}};
        if (step == 1) row.tap.push_back({"M", false});
    }
    return row;
}

TourPage tourPage(const TourModel& model) {
    const int lesson = std::clamp(model.step(), 0, TourModel::lessonCount - 1);
    TourPage page;
    page.counter = std::to_string(model.step() + 1) + " / 4";
    page.title = tourTitles[static_cast<std::size_t>(lesson)];
    if (lesson == 3) {
        DesktopPreview preview;
        preview.targetTitle = "Desktop " + std::to_string(model.desktopNumber());
        preview.windowInTarget = model.tried();
        const bool looksAtTarget = model.tried() && model.followsDesktop();
        preview.currentOutlineOpacity = looksAtTarget ? 0.12 : 0.5;
        preview.targetOutlineOpacity = looksAtTarget ? 0.5 : 0.12;
        page.desktops = preview;
    }
    page.keys = keyCaps(model);
    if (lesson == 1 || lesson == 2) page.buttonTitle = "Continue";
    if (lesson == 3) {
        page.buttonTitle = "Finish Tour";
        page.buttonFinishes = true;
    }
    page.buttonEnabled = page.buttonTitle && model.tried();
    return page;
}

Rect demoWindowRect(const DemoFrame& frame, double width, double height) {
    return Rect{(width - 40) * frame.x + 20, (height - 62) * frame.y + 42,
                std::max((width - 40) * frame.w, 70.0), std::max((height - 62) * frame.h, 50.0)};
}

}  // namespace corvane
