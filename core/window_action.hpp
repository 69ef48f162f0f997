#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string_view>
#include <variant>

namespace corvane {

// Everything that moves or resizes the focused window on a display. The raw
// values are persistent identifiers (keys of the stored configuration).
class Placement {
public:
    enum Case : std::uint8_t {
        leftHalf,
        rightHalf,
        topHalf,
        bottomHalf,
        topLeft,
        topRight,
        bottomLeft,
        bottomRight,
        maximize,
        previousDisplay,
        nextDisplay,
    };

    constexpr Placement(Case c)
        : case_(c) {}  // NOLINT(google-explicit-constructor): reads like the enum it wraps

    static const std::array<Placement, 11>& allCases();
    // Exact, case-sensitive match against the raw values; anything else is absent.
    static std::optional<Placement> fromRawValue(std::string_view raw);

    constexpr Case value() const { return case_; }
    std::string_view rawValue() const;
    std::string_view title() const;
    // -1 for previousDisplay, +1 for nextDisplay, absent otherwise.
    std::optional<int> displayStep() const;

    friend constexpr bool operator==(Placement, Placement) = default;

private:
    Case case_;
};

// Sends the focused window to desktop 1...9, optionally following it.
class SpaceAction {
public:
    enum Case : std::uint8_t {
        send1,
        send2,
        send3,
        send4,
        send5,
        send6,
        send7,
        send8,
        send9,
        follow1,
        follow2,
        follow3,
        follow4,
        follow5,
        follow6,
        follow7,
        follow8,
        follow9,
    };

    constexpr SpaceAction(Case c) : case_(c) {}  // NOLINT(google-explicit-constructor)

    static const std::array<SpaceAction, 18>& allCases();
    static std::optional<SpaceAction> fromRawValue(std::string_view raw);

    constexpr Case value() const { return case_; }
    std::string_view rawValue() const;
    // "Send to Desktop N" or "Send to Desktop N & Follow".
    std::string_view title() const;
    int number() const;
    bool followsWindow() const;

    friend constexpr bool operator==(SpaceAction, SpaceAction) = default;

private:
    Case case_;
};

// Either kind of action: what hot keys, the store and the conflict queries use.
class WindowAction {
public:
    static WindowAction placement(Placement p) { return WindowAction(p); }
    static WindowAction space(SpaceAction s) { return WindowAction(s); }

    std::optional<Placement> asPlacement() const;
    std::optional<SpaceAction> asSpace() const;
    std::string_view title() const;

    friend bool operator==(const WindowAction&, const WindowAction&) = default;

private:
    explicit WindowAction(Placement p) : value_(p) {}
    explicit WindowAction(SpaceAction s) : value_(s) {}
    std::variant<Placement, SpaceAction> value_;
};

}  // namespace corvane

template <>
struct std::hash<corvane::Placement> {
    std::size_t operator()(corvane::Placement p) const noexcept;
};
template <>
struct std::hash<corvane::SpaceAction> {
    std::size_t operator()(corvane::SpaceAction s) const noexcept;
};
// Feeds the case discriminator (0 placement, 1 space), then the raw value.
template <>
struct std::hash<corvane::WindowAction> {
    std::size_t operator()(const corvane::WindowAction& a) const noexcept;
};
