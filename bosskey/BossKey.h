#pragma once
// The boss key code: the one form of the boss key the program uses, in the
// settings file, on the settings dialog's label and in the hotkey the game
// window registers; and the dialog's key capture. Portable: the shells read
// the file, the keyboard and the modifier state, and apply what comes back.
#include <optional>
#include <string>

class ISettingsStore;

// A non-negative integer: bits 0-7 the key's virtual-key code, plus one bit
// per modifier held. 0 means no boss key.
constexpr int kBossKeyVirtualKeyMask = 0xFF;
constexpr int kBossKeyAlt = 0x100;
constexpr int kBossKeyShift = 0x200;
constexpr int kBossKeyCtrl = 0x400;

// ---- Stored form: section "boss", key "key" of the settings file, the code
// as decimal text.

// The stored code: the entry's leading decimal digits (atoi rules), 0 when
// the entry, its section or the file is missing or holds no number.
int LoadBossKey(ISettingsStore& store, const std::string& settingsPath);

// Stores the code unless the file already holds it. True when it wrote; a
// refused write is not reported, the dialog has no place to say so.
bool SaveBossKey(ISettingsStore& store, const std::string& settingsPath, int code);

// ---- Display text, e.g. "Ctrl+Shift+A": the modifier words always in the
// order Ctrl, Shift, Alt, then the key's name. Named keys are lower case
// ("f1", "pagedown", "esc", ";"); any other key shows as the single
// character of its code, so letters and the digit row read as themselves
// and the numeric keypad's 1 (code 97) reads "a". A key part of 0 names
// nothing: code 0 shows the empty text. Narrow text in the ANSI code page;
// it is only shown, never parsed.
std::string FormatBossKeyText(int code);

// Shown in the settings dialog when the system refuses the chosen
// combination as a hotkey (another program holds it): the key would
// otherwise do nothing and nobody would know why. UTF-8.
inline constexpr const char* kBossKeyRefusedText = "这个组合键已被其他程序占用，无法用作老板键，请换一个。";

// ---- The hotkey registration: the platform's own modifier flags, which
// differ from the code's bits.
constexpr unsigned kHotKeyModAlt = 1;
constexpr unsigned kHotKeyModControl = 2;
constexpr unsigned kHotKeyModShift = 4;

struct BossHotKey {
    unsigned modifiers = 0;
    unsigned virtualKey = 0;
    friend bool operator==(const BossHotKey&, const BossHotKey&) = default;
};

// What the game window registers for a code. Every code is registered as
// it comes, 0 included: the registration's result is never examined, and a
// combination with no key (or one another program holds) simply never fires.
BossHotKey BossKeyHotKey(int code) noexcept;

// ---- Key capture of the settings dialog: the user presses the wanted
// combination; the label follows the last key pressed with the modifiers
// held at that moment, and a key release stores it.

// The modifiers held when a key event arrives (the asynchronous key state).
struct BossKeyModifiers {
    bool ctrl = false;
    bool shift = false;
    bool alt = false;
};

// What the dialog does with one key message.
struct BossKeyCaptureStep {
    // Swallow the message; otherwise it takes the dialog's normal handling.
    bool consumed = false;
    // The shown code changed: show the text of Shown() again.
    bool showChanged = false;
    // A release: store this code (SaveBossKey writes only when it differs).
    std::optional<int> store;
};

// Feed it every key press and release the dialog sees, plain and system
// key messages alike: with Alt held (and Ctrl not) the platform reports
// keys as system keys, and those combinations are captured like any other.
// Esc and Enter are captured too, so they never end the dialog.
//
// Alt+F4 (Alt held, Ctrl not) is left to the platform, press and release,
// so that it keeps closing the dialog; with Ctrl also held it is an
// ordinary combination. Alt pressed alone is captured as Alt with the Alt
// key's own code, as Ctrl alone is with Ctrl's: the label shows "Alt+" and
// that key, and its release stores it. Consuming that release also keeps
// the platform from entering menu mode, which would swallow the next press.
class BossKeyCapture {
public:
    // The dialog opens showing the stored code, with nothing captured.
    explicit BossKeyCapture(int storedCode) noexcept : shown_(storedCode) {}

    BossKeyCaptureStep KeyDown(int virtualKey, BossKeyModifiers held) noexcept;
    // A release before any press was captured stores nothing: the user has
    // chosen nothing yet (a key held while the dialog opened, say).
    BossKeyCaptureStep KeyUp(int virtualKey, BossKeyModifiers held) noexcept;

    // The code the label shows: the last captured one, else the stored one.
    int Shown() const noexcept { return shown_; }

private:
    int shown_;
    bool captured_ = false;
};
