#pragma once

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "app/tour/tour_model.hpp"
#include "core/rect.hpp"

namespace corvane {

// What the tour window shows for the model's current state, computed
// without a toolkit so that tests cover it; the widgets only draw it.

struct KeyCap {
    std::string label;
    bool lit = false;
    friend bool operator==(const KeyCap&, const KeyCap&) = default;
};

// The keyboard row: the caps to hold (lit while held) and, from lesson 1
// on, the caps to tap (never lit).
struct KeyCapRow {
    std::vector<KeyCap> hold;
    std::vector<KeyCap> tap;
};

// Lesson 3's preview: the window goes from "Current Desktop" to the
// numbered one on a try; the card the user looks at afterwards is outlined
// more strongly.
struct DesktopPreview {
    std::string targetTitle;
    bool windowInTarget = false;
    double currentOutlineOpacity = 0.5;
    double targetOutlineOpacity = 0.12;
};

struct TourPage {
    std::string counter;  // "2 / 4"
    std::string title;
    std::optional<DesktopPreview> desktops;  // lesson 3 instead of the demo screen
    KeyCapRow keys;
    // "Continue", "Finish Tour", or none in lesson 0.
    std::optional<std::string> buttonTitle;
    bool buttonEnabled = false;
    bool buttonFinishes = false;
};

inline constexpr const char* tourWindowTitle = "Take the Corvane Tour";
inline constexpr const char* tourHeader = "CORVANE TOUR";
inline constexpr const char* tourSubtitle =
    "Corvane moves the window you are using. These keys work anywhere after the tour.";
inline constexpr const char* tourFootnote = "Shortcuts can be changed in Settings.";
inline constexpr const char* demoWindowLabel = "Your active window";
extern const std::array<const char*, TourModel::lessonCount> tourTitles;

TourPage tourPage(const TourModel& model);
KeyCapRow keyCaps(const TourModel& model);

// The demo window's rectangle on a demo screen of width × height: inset 20
// at the sides, 42 from the top (the screen's bar) and 20 from the bottom,
// and never smaller than 70 × 50 so that its label stays readable.
Rect demoWindowRect(const DemoFrame& frame, double width, double height);

}  // namespace corvane
