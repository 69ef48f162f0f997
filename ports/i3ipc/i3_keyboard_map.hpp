#pragma once

#include <xkbcommon/xkbcommon.h>

#include "app/platform/keyboard_map.hpp"
#include "app/platform/system_feedback.hpp"
#include "ports/x11/key_table.hpp"

namespace corvane::i3ipc {

// Our own windows' keys, for the recorder: the compositor hands Wayland
// clients XKB key codes, read here against the layout the environment names
// (XKB_DEFAULT_LAYOUT and its kin, as the compositor reads them too).
class I3KeyboardMap final : public KeyboardMap {
public:
    I3KeyboardMap();
    Names names() const override;
    std::optional<Key> productKey(std::uint32_t nativeKeyCode) const override;

private:
    x11::KeyTable table_;
};

// The log is standard error; there is no bell to ring through the IPC.
class I3Feedback final : public SystemFeedback {
public:
    void beep() override {}
    void log(std::string_view message) override;
};

}  // namespace corvane::i3ipc
