#include "app/settings/shortcut_recorder.hpp"

#include "app/shell/shortcut_text.hpp"

namespace corvane {

namespace {

constexpr std::uint32_t kEscape = 53;
constexpr std::uint32_t kDelete = 51;
constexpr std::uint32_t kForwardDelete = 117;

struct SpecialKey {
    std::uint32_t keyCode;
    std::string_view label;
};
constexpr SpecialKey kSpecialKeys[] = {
    {123, "←"},    {124, "→"},  {126, "↑"},  {125, "↓"},   {36, "↩"},    {76, "⌤"},    {48, "⇥"},
    {49, "Space"}, {51, "⌫"},   {117, "⌦"},  {53, "⎋"},    {115, "↖"},   {119, "↘"},   {116, "⇞"},
    {121, "⇟"},    {122, "F1"}, {120, "F2"}, {99, "F3"},   {118, "F4"},  {96, "F5"},   {97, "F6"},
    {98, "F7"},    {100, "F8"}, {101, "F9"}, {109, "F10"}, {103, "F11"}, {111, "F12"},
};

// Upper case for the ASCII letters the stored form's keys type; other
// characters are kept as they are.
std::string upperCased(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return out;
}

}  // namespace

std::string keyLabel(std::uint32_t keyCode, std::string_view characters) {
    for (const auto& special : kSpecialKeys)
        if (special.keyCode == keyCode) return std::string(special.label);
    if (!characters.empty()) return upperCased(characters);
    return "#" + std::to_string(keyCode);
}

void setShortcut(ConfigStore& store, const std::optional<Shortcut>& shortcut, const WindowAction& action) {
    Config config = store.config();
    if (const auto placement = action.asPlacement()) {
        if (shortcut)
            config.shortcuts[*placement] = *shortcut;
        else
            config.shortcuts.erase(*placement);
    } else if (const auto space = action.asSpace()) {
        if (shortcut)
            config.spaceShortcuts[*space] = *shortcut;
        else
            config.spaceShortcuts.erase(*space);
    }
    store.setConfig(config);
}

ShortcutRecorder::ShortcutRecorder(ConfigStore& store, SystemFeedback& feedback, const SettingsWords& words)
    : store_(store), feedback_(feedback), words_(words) {}

void ShortcutRecorder::setHint(std::optional<std::string> hint) {
    if (hint == hint_) return;
    hint_ = std::move(hint);
    hintChanged.emit();
}

void ShortcutRecorder::toggle(const WindowAction& action) {
    setHint(std::nullopt);
    if (store_.recording() == action)
        store_.setRecording(std::nullopt);
    else
        store_.setRecording(action);
}

void ShortcutRecorder::remove(const WindowAction& action) {
    setShortcut(store_, std::nullopt, action);
}

void ShortcutRecorder::cancel() {
    setHint(std::nullopt);
    store_.setRecording(std::nullopt);
}

ShortcutRecorder::Outcome ShortcutRecorder::handle(const KeyInput& input) {
    const auto recording = store_.recording();
    if (!recording) return Outcome::passThrough;
    if (input.kind != KeyInput::Kind::keyDown) return Outcome::swallowed;
    // A held key repeats: one beep and one answer per press is enough.
    if (input.isAutoRepeat) return Outcome::swallowed;

    const std::uint32_t mask = input.modifiers;
    if (mask == 0 && input.keyCode) {
        if (*input.keyCode == kEscape) {
            cancel();
            return Outcome::swallowed;
        }
        if (*input.keyCode == kDelete || *input.keyCode == kForwardDelete) {
            setShortcut(store_, std::nullopt, *recording);
            cancel();
            return Outcome::swallowed;
        }
    }
    // A key the stored form has no code for cannot become a shortcut; say so
    // with the beep and keep listening.
    if (!input.keyCode) {
        setHint(words_.unrepresentableHint);
        feedback_.beep();
        return Outcome::swallowed;
    }
    const Shortcut shortcut{*input.keyCode, mask, keyLabel(*input.keyCode, input.characters)};
    if (!shortcut.hasRequiredModifier()) {
        setHint(words_.modifierHint + keyText(shortcut, words_.keys));
        feedback_.beep();
        return Outcome::swallowed;
    }
    setShortcut(store_, shortcut, *recording);
    cancel();
    return Outcome::swallowed;
}

}  // namespace corvane
