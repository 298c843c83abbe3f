#include "bosskey/BossKey.h"

#include "platform/Atoi.h"
#include "platform/SettingsStore.h"

namespace {

constexpr const char* kSection = "boss";
constexpr const char* kKey = "key";

// Virtual-key codes the capture rule looks at.
constexpr int kVirtualKeyF4 = 0x73;

struct KeyName {
    int virtualKey;
    const char* name;
};

// Keys whose character code would not read as the key.
constexpr KeyName kKeyNames[] = {
    {8, "back"},      {13, "enter"},    {27, "esc"},     {32, "space"},
    {33, "pageup"},   {34, "pagedown"}, {35, "end"},     {36, "home"},
    {45, "insert"},   {46, "delete"},
    {112, "f1"},      {113, "f2"},      {114, "f3"},     {115, "f4"},
    {116, "f5"},      {117, "f6"},      {118, "f7"},     {119, "f8"},
    {120, "f9"},      {121, "f10"},     {122, "f11"},    {123, "f12"},
    {186, ";"},       {187, "="},       {188, ","},      {189, "-"},
    {190, "."},       {191, "/"},       {192, "`"},
    {219, "["},       {220, "\\"},      {221, "]"},      {222, "'"},
};

// The platform closes the window on this one as a system key; with Ctrl
// held it arrives as a plain key and closes nothing.
bool IsCloseCombination(int virtualKey, BossKeyModifiers held) noexcept
{
    return virtualKey == kVirtualKeyF4 && held.alt && !held.ctrl;
}

}  // namespace

int LoadBossKey(ISettingsStore& store, const std::string& settingsPath)
{
    return CrtAtoi(store.ReadString(kSection, kKey, "", kSettingsValueBuffer, settingsPath));
}

bool SaveBossKey(ISettingsStore& store, const std::string& settingsPath, int code)
{
    if (LoadBossKey(store, settingsPath) == code)
        return false;
    store.WriteString(kSection, kKey, std::to_string(code), settingsPath);
    return true;
}

std::string FormatBossKeyText(int code)
{
    std::string text;
    if (code & kBossKeyCtrl)
        text += "Ctrl+";
    if (code & kBossKeyShift)
        text += "Shift+";
    if (code & kBossKeyAlt)
        text += "Alt+";
    const int key = code & kBossKeyVirtualKeyMask;
    for (const KeyName& entry : kKeyNames) {
        if (entry.virtualKey == key)
            return text + entry.name;
    }
    // Key 0 would be a terminating NUL in the label's text: it names nothing.
    if (key != 0)
        text += static_cast<char>(key);
    return text;
}

BossHotKey BossKeyHotKey(int code) noexcept
{
    BossHotKey hotKey;
    hotKey.virtualKey = static_cast<unsigned>(code & kBossKeyVirtualKeyMask);
    if (code & kBossKeyAlt)
        hotKey.modifiers |= kHotKeyModAlt;
    if (code & kBossKeyShift)
        hotKey.modifiers |= kHotKeyModShift;
    if (code & kBossKeyCtrl)
        hotKey.modifiers |= kHotKeyModControl;
    return hotKey;
}

BossKeyCaptureStep BossKeyCapture::KeyDown(int virtualKey, BossKeyModifiers held) noexcept
{
    if (IsCloseCombination(virtualKey, held))
        return {};
    int code = virtualKey & kBossKeyVirtualKeyMask;
    if (held.ctrl)
        code |= kBossKeyCtrl;
    if (held.shift)
        code |= kBossKeyShift;
    if (held.alt)
        code |= kBossKeyAlt;
    BossKeyCaptureStep step;
    step.consumed = true;
    step.showChanged = code != shown_;
    shown_ = code;
    captured_ = true;
    return step;
}

BossKeyCaptureStep BossKeyCapture::KeyUp(int virtualKey, BossKeyModifiers held) noexcept
{
    if (IsCloseCombination(virtualKey, held))
        return {};
    BossKeyCaptureStep step;
    step.consumed = true;
    if (captured_)
        step.store = shown_;
    return step;
}
