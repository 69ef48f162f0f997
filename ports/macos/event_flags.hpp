#pragma once

#include <cstdint>

namespace corvane::macos {

// NSEvent's device-independent modifier flags (NSEventModifierFlags).
namespace EventFlags {
inline constexpr std::uint64_t capsLock = 1ull << 16;
inline constexpr std::uint64_t shift = 1ull << 17;
inline constexpr std::uint64_t control = 1ull << 18;
inline constexpr std::uint64_t option = 1ull << 19;
inline constexpr std::uint64_t command = 1ull << 20;
inline constexpr std::uint64_t numericPad = 1ull << 21;
inline constexpr std::uint64_t help = 1ull << 22;
inline constexpr std::uint64_t function = 1ull << 23;
}  // namespace EventFlags

// The Carbon mask (Shortcut::command, shift, option, control) of an event's
// modifier flags. Only the four shortcut modifiers count: Caps Lock, the
// keypad and Fn bits, and the device-dependent low bits (which side's key is
// down) say nothing about which shortcut was typed.
std::uint32_t carbonModifiers(std::uint64_t eventModifierFlags);

}  // namespace corvane::macos
