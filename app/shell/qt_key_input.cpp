#include "app/shell/qt_key_input.hpp"

#include "core/shortcut.hpp"

namespace corvane {

namespace {

// The Carbon bit a modifier key itself stands for; 0 for other keys.
std::uint32_t modifierBitOfKey(int key) {
    switch (key) {
        case Qt::Key_Shift:
            return Shortcut::shift;
        case Qt::Key_Control:
            return Shortcut::control;
        case Qt::Key_Alt:
            return Shortcut::option;
        case Qt::Key_Meta:
        case Qt::Key_Super_L:
        case Qt::Key_Super_R:
            return Shortcut::command;
        default:
            return 0;
    }
}

bool isOtherModifierKey(int key) {
    return key == Qt::Key_CapsLock || key == Qt::Key_NumLock || key == Qt::Key_ScrollLock ||
           key == Qt::Key_AltGr || key == Qt::Key_Hyper_L || key == Qt::Key_Hyper_R;
}

// Without a keyboard map: the toolkit's key as a US keyboard would type it.
struct FallbackKey {
    int qtKey;
    std::uint32_t keyCode;
};
constexpr FallbackKey kFallbackKeys[] = {
    {Qt::Key_Left, 123},  {Qt::Key_Right, 124},    {Qt::Key_Down, 125},   {Qt::Key_Up, 126},
    {Qt::Key_Return, 36}, {Qt::Key_Enter, 76},     {Qt::Key_Tab, 48},     {Qt::Key_Backtab, 48},
    {Qt::Key_Space, 49},  {Qt::Key_Backspace, 51}, {Qt::Key_Delete, 117}, {Qt::Key_Escape, 53},
    {Qt::Key_Home, 115},  {Qt::Key_End, 119},      {Qt::Key_PageUp, 116}, {Qt::Key_PageDown, 121},
    {Qt::Key_F1, 122},    {Qt::Key_F2, 120},       {Qt::Key_F3, 99},      {Qt::Key_F4, 118},
    {Qt::Key_F5, 96},     {Qt::Key_F6, 97},        {Qt::Key_F7, 98},      {Qt::Key_F8, 100},
    {Qt::Key_F9, 101},    {Qt::Key_F10, 109},      {Qt::Key_F11, 103},    {Qt::Key_F12, 111},
    {Qt::Key_A, 0},       {Qt::Key_B, 11},         {Qt::Key_C, 8},        {Qt::Key_D, 2},
    {Qt::Key_E, 14},      {Qt::Key_F, 3},          {Qt::Key_G, 5},        {Qt::Key_H, 4},
    {Qt::Key_I, 34},      {Qt::Key_J, 38},         {Qt::Key_K, 40},       {Qt::Key_L, 37},
    {Qt::Key_M, 46},      {Qt::Key_N, 45},         {Qt::Key_O, 31},       {Qt::Key_P, 35},
    {Qt::Key_Q, 12},      {Qt::Key_R, 15},         {Qt::Key_S, 1},        {Qt::Key_T, 17},
    {Qt::Key_U, 32},      {Qt::Key_V, 9},          {Qt::Key_W, 13},       {Qt::Key_X, 7},
    {Qt::Key_Y, 16},      {Qt::Key_Z, 6},          {Qt::Key_0, 29},       {Qt::Key_1, 18},
    {Qt::Key_2, 19},      {Qt::Key_3, 20},         {Qt::Key_4, 21},       {Qt::Key_5, 23},
    {Qt::Key_6, 22},      {Qt::Key_7, 26},         {Qt::Key_8, 28},       {Qt::Key_9, 25},
};

std::optional<KeyboardMap::Key> fallbackKey(const QKeyEvent& event) {
    for (const auto& k : kFallbackKeys) {
        if (k.qtKey != event.key()) continue;
        std::string characters;
        if (event.key() >= Qt::Key_0 && event.key() <= Qt::Key_9)
            characters = std::string(1, static_cast<char>(event.key()));
        if (event.key() >= Qt::Key_A && event.key() <= Qt::Key_Z)
            characters = std::string(1, static_cast<char>(event.key() - Qt::Key_A + 'a'));
        return KeyboardMap::Key{k.keyCode, characters};
    }
    return std::nullopt;
}

}  // namespace

std::uint32_t carbonModifiers(Qt::KeyboardModifiers modifiers) {
    std::uint32_t mask = 0;
    if (modifiers & Qt::ShiftModifier) mask |= Shortcut::shift;
    if (modifiers & Qt::ControlModifier) mask |= Shortcut::control;
    if (modifiers & Qt::AltModifier) mask |= Shortcut::option;
    if (modifiers & Qt::MetaModifier) mask |= Shortcut::command;
    return mask;
}

std::optional<KeyInput> keyInputFrom(const QKeyEvent& event, const KeyboardMap* map) {
    const bool down = event.type() == QEvent::KeyPress;
    if (!down && event.type() != QEvent::KeyRelease) return std::nullopt;

    KeyInput input;
    input.modifiers = carbonModifiers(event.modifiers());
    input.isAutoRepeat = event.isAutoRepeat();
    if (isOtherModifierKey(event.key())) return std::nullopt;
    // The toolkit reports a modifier key's own event with the state from
    // before it (X11) or after it (elsewhere): make it "after" everywhere.
    if (const std::uint32_t bit = modifierBitOfKey(event.key())) {
        input.kind = KeyInput::Kind::modifiersChanged;
        input.modifiers = down ? (input.modifiers | bit) : (input.modifiers & ~bit);
        return input;
    }
    input.kind = down ? KeyInput::Kind::keyDown : KeyInput::Kind::keyUp;
    std::optional<KeyboardMap::Key> key;
#ifdef Q_OS_MACOS
    // The toolkit has no scan codes on macOS (it reports 1 for every real key
    // event, 0 for synthetic ones); the virtual key code names the key there.
    const std::uint32_t nativeKey = event.nativeVirtualKey();
#else
    const std::uint32_t nativeKey = event.nativeScanCode();
#endif
    if (map && event.nativeScanCode() != 0)
        key = map->productKey(nativeKey);
    else
        key = fallbackKey(event);
    if (key) {
        input.keyCode = key->keyCode;
        input.characters = key->characters;
    }
    return input;
}

}  // namespace corvane
