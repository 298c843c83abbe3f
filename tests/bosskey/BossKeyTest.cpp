// The boss key code: its stored form, display text, hotkey and the settings
// dialog's key capture.
#include <gtest/gtest.h>

#include <vector>

#include "bosskey/BossKey.h"
#include "platform/PortableProfileStore.h"
#include "tests/support/TempDir.h"

namespace {

constexpr int kShift = 16, kCtrl = 17, kAlt = 18;  // the modifier keys' own codes
constexpr int kEsc = 27, kEnter = 13, kPageDown = 34, kF1 = 112, kF4 = 115, kF10 = 121;

TEST(BossKeyText, ModifiersInFixedOrderThenTheKeysName)
{
    struct Case {
        int code;
        std::string text;
    };
    const Case cases[] = {
        {0, ""},
        {1136, "Ctrl+f1"},
        {1601, "Ctrl+Shift+A"},
        {1826, "Ctrl+Shift+Alt+pagedown"},
        {0x300 | 'B', "Shift+Alt+B"},
        {0x500 | 'C', "Ctrl+Alt+C"},
        {0x100 | '7', "Alt+7"},
        {1041, "Ctrl+\x11"},  // Ctrl alone: its own code as a character
        {97, "a"},            // numeric keypad 1
        {'Z', "Z"},
        {'0', "0"},
        {0x400, "Ctrl+"},     // no key: nothing after the modifiers
        {0x800 | 'Q', "Q"},   // bits above the modifiers name nothing
        // Every named key.
        {8, "back"}, {13, "enter"}, {27, "esc"}, {32, "space"}, {33, "pageup"}, {34, "pagedown"},
        {35, "end"}, {36, "home"}, {45, "insert"}, {46, "delete"},
        {112, "f1"}, {113, "f2"}, {114, "f3"}, {115, "f4"}, {116, "f5"}, {117, "f6"},
        {118, "f7"}, {119, "f8"}, {120, "f9"}, {121, "f10"}, {122, "f11"}, {123, "f12"},
        {186, ";"}, {187, "="}, {188, ","}, {189, "-"}, {190, "."}, {191, "/"}, {192, "`"},
        {219, "["}, {220, "\\"}, {221, "]"}, {222, "'"},
        // Neighbours of the named ranges are plain characters.
        {111, "o"}, {124, "|"}, {185, "\xb9"}, {223, "\xdf"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FormatBossKeyText(c.code), c.text) << c.code;
}

TEST(BossKeyHotKey, CodeBitsBecomeThePlatformsModifierFlags)
{
    struct Case {
        int code;
        BossHotKey hotKey;
    };
    const Case cases[] = {
        {0, {0, 0}},  // registered as it is, and never fires
        {1136, {kHotKeyModControl, kF1}},
        {0x641, {kHotKeyModControl | kHotKeyModShift, 0x41}},
        {1826, {kHotKeyModControl | kHotKeyModShift | kHotKeyModAlt, kPageDown}},
        {0x100 | 'X', {kHotKeyModAlt, 'X'}},
        {0x200 | 'X', {kHotKeyModShift, 'X'}},
        {0x400 | 'X', {kHotKeyModControl, 'X'}},
        {0x300 | 'X', {kHotKeyModAlt | kHotKeyModShift, 'X'}},
        {1041, {kHotKeyModControl, kCtrl}},
        {27, {0, 27}},
    };
    for (const Case& c : cases) {
        const BossHotKey got = BossKeyHotKey(c.code);
        EXPECT_EQ(got.modifiers, c.hotKey.modifiers) << c.code;
        EXPECT_EQ(got.virtualKey, c.hotKey.virtualKey) << c.code;
    }
}

// The real file semantics, with every write seen.
class RecordingStore final : public ISettingsStore {
public:
    std::string ReadString(const std::string& section, const std::string& key, const std::string& defaultValue,
                           size_t bufferSize, const std::string& path) override
    {
        return file_.ReadString(section, key, defaultValue, bufferSize, path);
    }
    bool WriteString(const std::string& section, const std::string& key, const std::string& value,
                     const std::string& path) override
    {
        writes.push_back(section + "/" + key + "=" + value);
        return file_.WriteString(section, key, value, path);
    }
    std::vector<std::string> writes;

private:
    PortableProfileStore file_;
};

class BossKeyStore : public ::testing::Test {
protected:
    std::string Ini() const { return dir_.File("version.ini"); }
    TempDir dir_;
    RecordingStore store_;
};

TEST_F(BossKeyStore, MissingFileReadsAsNoKey)
{
    EXPECT_EQ(LoadBossKey(store_, Ini()), 0);
}

TEST_F(BossKeyStore, EntryReadsItsLeadingDigits)
{
    struct Case {
        const char* entry;
        int code;
    };
    const Case cases[] = {
        {"1136", 1136}, {"1826abc", 1826}, {"abc", 0}, {"", 0}, {"0x641", 0}, {"  97", 97},
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(store_.WriteString("boss", "key", c.entry, Ini()));
        EXPECT_EQ(LoadBossKey(store_, Ini()), c.code) << '"' << c.entry << '"';
    }
}

TEST_F(BossKeyStore, SavedCodeIsItsDecimalTextAndReadsBack)
{
    for (int code : {1136, 1601, 1826, 27, 0}) {
        ASSERT_TRUE(store_.WriteString("boss", "key", "5", Ini()));
        EXPECT_TRUE(SaveBossKey(store_, Ini(), code));
        EXPECT_EQ(store_.ReadString("BOSS", "KEY", "", 32, Ini()), std::to_string(code));
        EXPECT_EQ(LoadBossKey(store_, Ini()), code);
    }
}

TEST_F(BossKeyStore, SavingTheStoredCodeAgainWritesNothing)
{
    ASSERT_TRUE(SaveBossKey(store_, Ini(), 1136));
    ASSERT_EQ(store_.writes, std::vector<std::string>{"boss/key=1136"});
    EXPECT_FALSE(SaveBossKey(store_, Ini(), 1136));
    EXPECT_EQ(store_.writes.size(), 1u);
    // Text that reads as the same code counts as the same.
    ASSERT_TRUE(store_.WriteString("boss", "key", "1136 ", Ini()));
    store_.writes.clear();
    EXPECT_FALSE(SaveBossKey(store_, Ini(), 1136));
    EXPECT_TRUE(store_.writes.empty());
}

// One key message and what the capture must make of it.
struct Event {
    bool down;
    int key;
    BossKeyModifiers held;
    bool consumed;
    int shownAfter;
    std::optional<int> store;
};
struct Scenario {
    const char* name;
    int stored;
    std::vector<Event> events;
};

constexpr BossKeyModifiers kNone{};
constexpr BossKeyModifiers kC{.ctrl = true};
constexpr BossKeyModifiers kCS{.ctrl = true, .shift = true};
constexpr BossKeyModifiers kCSA{.ctrl = true, .shift = true, .alt = true};
constexpr BossKeyModifiers kA{.alt = true};
constexpr BossKeyModifiers kSA{.shift = true, .alt = true};
constexpr BossKeyModifiers kCA{.ctrl = true, .alt = true};

Event Down(int key, BossKeyModifiers held, int shown) { return {true, key, held, true, shown, std::nullopt}; }
Event Up(int key, BossKeyModifiers held, int shown, std::optional<int> store)
{
    return {false, key, held, true, shown, store};
}
Event Passed(bool down, int key, BossKeyModifiers held, int shown) { return {down, key, held, false, shown, std::nullopt}; }

TEST(BossKeyCapture, PressesShowAndReleasesStore)
{
    const Scenario scenarios[] = {
        {"Ctrl+F1",
         0,
         {Down(kCtrl, kC, 1041), Down(kF1, kC, 1136), Up(kF1, kC, 1136, 1136), Up(kCtrl, kNone, 1136, 1136)}},
        {"Ctrl+Shift+A",
         0,
         {Down(kCtrl, kC, 1041), Down(kShift, kCS, 0x610), Down('A', kCS, 1601), Up('A', kCS, 1601, 1601)}},
        {"Ctrl+Shift+Alt+PageDown",
         0,
         {Down(kCtrl, kC, 1041), Down(kShift, kCS, 0x610), Down(kAlt, kCSA, 0x712), Down(kPageDown, kCSA, 1826),
          Up(kPageDown, kCSA, 1826, 1826)}},
        {"Ctrl alone", 1136, {Down(kCtrl, kC, 1041), Up(kCtrl, kNone, 1041, 1041)}},
        {"numpad 1", 0, {Down(97, kNone, 97), Up(97, kNone, 97, 97)}},
        {"Esc and Enter are captured, not closing",
         0,
         {Down(kEsc, kNone, 27), Up(kEsc, kNone, 27, 27), Down(kEnter, kNone, 13), Up(kEnter, kNone, 13, 13)}},
        {"auto-repeat", 0, {Down(kF1, kC, 1136), Down(kF1, kC, 1136), Down(kF1, kC, 1136)}},
        {"the last press wins", 0, {Down('A', kNone, 'A'), Down('B', kNone, 'B'), Up('A', kNone, 'B', 'B')}},
        {"a release before any press stores nothing",
         1136,
         {Up(kEnter, kNone, 1136, std::nullopt), Up(kCtrl, kNone, 1136, std::nullopt), Down(kEsc, kNone, 27),
          Up(kEsc, kNone, 27, 27)}},
        // With Alt held the platform reports system keys; same rule.
        {"Alt+A",
         0,
         {Down(kAlt, kA, 0x112), Down('A', kA, 0x141), Up('A', kA, 0x141, 0x141), Up(kAlt, kNone, 0x141, 0x141)}},
        {"Shift+Alt+F1", 0, {Down(kF1, kSA, 0x370), Up(kF1, kSA, 0x370, 0x370)}},
        {"Alt alone", 0, {Down(kAlt, kA, 0x112), Up(kAlt, kNone, 0x112, 0x112)}},
        {"F10 without Alt", 0, {Down(kF10, kNone, kF10), Up(kF10, kNone, kF10, kF10)}},
        {"F4 alone", 0, {Down(kF4, kNone, kF4), Up(kF4, kNone, kF4, kF4)}},
        // Alt+F4 stays the platform's close; with Ctrl it is no close.
        {"Alt+F4",
         1136,
         {Down(kAlt, kA, 0x112), Passed(true, kF4, kA, 0x112), Passed(false, kF4, kA, 0x112)}},
        {"Alt+F4 before anything captured",
         1136,
         {Passed(true, kF4, kA, 1136), Passed(false, kF4, kA, 1136), Up(kAlt, kNone, 1136, std::nullopt)}},
        {"Shift+Alt+F4", 0, {Passed(true, kF4, kSA, 0)}},
        {"Ctrl+Alt+F4", 0, {Down(kF4, kCA, 0x573), Up(kF4, kCA, 0x573, 0x573)}},
    };
    for (const Scenario& s : scenarios) {
        SCOPED_TRACE(s.name);
        BossKeyCapture capture(s.stored);
        EXPECT_EQ(capture.Shown(), s.stored);
        int shown = s.stored;
        for (size_t i = 0; i < s.events.size(); ++i) {
            const Event& e = s.events[i];
            SCOPED_TRACE(testing::Message() << "event " << i);
            const BossKeyCaptureStep step = e.down ? capture.KeyDown(e.key, e.held) : capture.KeyUp(e.key, e.held);
            EXPECT_EQ(step.consumed, e.consumed);
            EXPECT_EQ(capture.Shown(), e.shownAfter);
            EXPECT_EQ(step.showChanged, e.shownAfter != shown);
            EXPECT_EQ(step.store, e.store);
            shown = e.shownAfter;
        }
    }
}

// The dialog's whole round: each release goes through the file, and the
// same combination pressed again writes nothing.
TEST_F(BossKeyStore, CapturedCombinationReachesTheFileOnce)
{
    BossKeyCapture capture(LoadBossKey(store_, Ini()));
    EXPECT_EQ(FormatBossKeyText(capture.Shown()), "");
    for (int round = 0; round < 2; ++round) {
        capture.KeyDown(kCtrl, kC);
        capture.KeyDown(kF1, kC);
        EXPECT_EQ(FormatBossKeyText(capture.Shown()), "Ctrl+f1");
        for (int key : {kF1, kCtrl}) {
            const BossKeyCaptureStep step = capture.KeyUp(key, kNone);
            ASSERT_TRUE(step.store);
            SaveBossKey(store_, Ini(), *step.store);
        }
    }
    EXPECT_EQ(store_.writes, std::vector<std::string>{"boss/key=1136"});
    EXPECT_EQ(BossKeyHotKey(LoadBossKey(store_, Ini())), (BossHotKey{kHotKeyModControl, kF1}));
}

}  // namespace
