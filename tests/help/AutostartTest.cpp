// The start-with-Windows prompt against Run keys of the test's own, under
// HKCU of the test prefix; the question is answered by the test.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "help/Help.h"
#include "tests/support/WineTest.h"

namespace {

const std::string kProgram = "C:\\工具\\备忘条\\Quillo.exe";

class AutostartTest : public testing::Test {
public:
    std::string base;
    help::AutostartPlaces places;
    int questions = 0;
    bool answerYes = false;

    void SetUp() override {
        static int counter = 0;
        base = "Software\\QuilloTest\\Autostart-" + std::to_string(GetCurrentProcessId()) + "-" +
               std::to_string(counter++);
        places = help::AutostartPlaces{
            .Machine = {HKEY_CURRENT_USER, base + "\\Machine\\Run"},
            .User = {HKEY_CURRENT_USER, base + "\\User\\Run"},
            .GbkValueName = "notestrip",
            .GbkProgramPath = kProgram,
        };
    }
    void TearDown() override { RegDeleteTreeA(HKEY_CURRENT_USER, base.c_str()); }

    void Offer() {
        help::OfferAutostart(places, [this] {
            ++questions;
            return answerYes;
        });
    }

    // The machine-wide write is refused as it is for a user without
    // administrator rights: its key cannot be made, since a volatile key
    // takes no lasting subkeys.
    void RefuseMachineWrites() {
        // Keys made on the way to a volatile key are volatile too: the
        // lasting part of the path comes first.
        HKEY lastingKey = nullptr;
        ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, base.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                  KEY_ALL_ACCESS, nullptr, &lastingKey, nullptr),
                  ERROR_SUCCESS);
        RegCloseKey(lastingKey);
        HKEY volatileKey = nullptr;
        ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, (base + "\\Machine").c_str(), 0, nullptr,
                                  REG_OPTION_VOLATILE, KEY_ALL_ACCESS, nullptr, &volatileKey, nullptr),
                  ERROR_SUCCESS);
        RegCloseKey(volatileKey);
    }

    static void Store(const help::RunKey& place, const std::optional<std::string>& gbkValue) {
        if (!gbkValue) {
            return;
        }
        HKEY key = nullptr;
        ASSERT_EQ(RegCreateKeyExA(place.Root, place.GbkKeyPath.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key,
                                  nullptr),
                  ERROR_SUCCESS);
        RegSetValueExA(key, "notestrip", 0, REG_SZ, reinterpret_cast<const BYTE*>(gbkValue->c_str()),
                       static_cast<DWORD>(gbkValue->size() + 1));
        RegCloseKey(key);
    }

    static std::optional<std::string> Stored(const help::RunKey& place) {
        char value[1024] = {};
        DWORD size = sizeof value;
        DWORD type = 0;
        if (RegGetValueA(place.Root, place.GbkKeyPath.c_str(), "notestrip", RRF_RT_ANY, &type, value, &size) !=
            ERROR_SUCCESS) {
            return std::nullopt;
        }
        EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
        return std::string(value);
    }
};

using Value = std::optional<std::string>;
const Value kNone = std::nullopt;

TEST_F(AutostartTest, RegistryCases) {
    const std::string spacedProgram = "C:\\Program Files\\备忘条\\Quillo.exe";
    struct Case {
        const char* name;
        std::string program;
        Value machineBefore, userBefore;
        bool machineRefused;
        bool answerYes;
        bool asks;
        Value machineAfter, userAfter;
    } cases[] = {
        {"first time, Yes registers", kProgram, kNone, kNone, false, true, true, kProgram, kNone},
        {"first time, No writes nothing", kProgram, kNone, kNone, false, false, true, kNone, kNone},
        {"registered here: no question", kProgram, kProgram, kNone, false, true, false, kProgram, kNone},
        {"moved, Yes stores the new path", kProgram, "C:\\旧\\Quillo.exe", kNone, false, true, true, kProgram, kNone},
        {"moved, No deletes the old value", kProgram, "C:\\旧\\Quillo.exe", kNone, false, false, true, kNone, kNone},
        {"letter case differs", kProgram, "c:\\工具\\备忘条\\quillo.exe", kNone, false, true, true, kProgram, kNone},
        {"a path with a blank is written quoted", spacedProgram, kNone, kNone, false, true, true,
         "\"" + spacedProgram + "\"", kNone},
        {"quoted value counts as registered", spacedProgram, "\"" + spacedProgram + "\"", kNone, false, false, false,
         "\"" + spacedProgram + "\"", kNone},
        {"unquoted value counts as registered", spacedProgram, spacedProgram, kNone, false, false, false,
         spacedProgram, kNone},
        {"machine write refused, Yes registers for the user", kProgram, kNone, kNone, true, true, true, kNone,
         kProgram},
        {"registered for the user: no question", kProgram, kNone, kProgram, false, false, false, kNone, kProgram},
        {"a stale user value goes when the machine takes the new one", kProgram, kNone, "C:\\旧\\Quillo.exe", false,
         true, true, kProgram, kNone},
        {"No deletes old values in both places", kProgram, "C:\\旧\\Quillo.exe", "D:\\Quillo.exe", false, false,
         true, kNone, kNone},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TearDown();
        SetUp();
        places.GbkProgramPath = c.program;
        if (c.machineRefused) {
            RefuseMachineWrites();
        }
        Store(places.Machine, c.machineBefore);
        Store(places.User, c.userBefore);
        answerYes = c.answerYes;
        questions = 0;
        Offer();
        EXPECT_EQ(questions, c.asks ? 1 : 0);
        EXPECT_EQ(Stored(places.Machine), c.machineAfter);
        EXPECT_EQ(Stored(places.User), c.userAfter);

        // The question comes back exactly while no value names this program.
        const bool registered = Stored(places.Machine) == help::RunValueText(c.program) ||
                                Stored(places.User) == help::RunValueText(c.program) ||
                                Stored(places.Machine) == c.program || Stored(places.User) == c.program;
        questions = 0;
        answerYes = false;
        Offer();
        EXPECT_EQ(questions, registered ? 0 : 1);
    }
}

// The real message box, answered by a timer of this thread that finds it.
struct BoxSeen {
    bool found = false;
    std::string gbkTitle;
    std::string gbkText;
    bool hasYes = false, hasNo = false, hasOk = false, hasCancel = false;
    bool otherWindowEnabled = true;
    HWND otherWindow = nullptr;
    int answer = IDYES;
};
BoxSeen gBox;

BOOL CALLBACK FindBox(HWND hwnd, LPARAM found) noexcept {
    char className[16] = {};
    GetClassNameA(hwnd, className, sizeof className);
    if (lstrcmpA(className, "#32770") == 0 && IsWindowVisible(hwnd)) {
        *reinterpret_cast<HWND*>(found) = hwnd;
        return FALSE;
    }
    return TRUE;
}

void CALLBACK AnswerBox(HWND, UINT, UINT_PTR timer, DWORD) noexcept {
    HWND box = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), FindBox, reinterpret_cast<LPARAM>(&box));
    if (!box) {
        return;
    }
    KillTimer(nullptr, timer);
    gBox.found = true;
    char text[256] = {};
    GetWindowTextA(box, text, sizeof text);
    gBox.gbkTitle = text;
    // The message text is the box's static control 0xFFFF.
    GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
    gBox.gbkText = text;
    gBox.hasYes = GetDlgItem(box, IDYES) != nullptr;
    gBox.hasNo = GetDlgItem(box, IDNO) != nullptr;
    gBox.hasOk = GetDlgItem(box, IDOK) != nullptr;
    gBox.hasCancel = GetDlgItem(box, IDCANCEL) != nullptr;
    gBox.otherWindowEnabled = IsWindowEnabled(gBox.otherWindow) != FALSE;
    SendMessageA(GetDlgItem(box, gBox.answer), BM_CLICK, 0, 0);
}

TEST_F(AutostartTest, TheQuestionInItsTaskModalBox) {
    for (int answer : {IDYES, IDNO}) {
        SCOPED_TRACE(answer == IDYES ? "Yes" : "No");
        TearDown();
        SetUp();
        // Another window of the thread: task-modal disables it while asking.
        HWND other = CreateWindowExA(0, "STATIC", "", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50, nullptr, nullptr,
                                     GetModuleHandleA(nullptr), nullptr);
        gBox = BoxSeen{};
        gBox.otherWindow = other;
        gBox.answer = answer;
        UINT_PTR timer = SetTimer(nullptr, 0, 20, AnswerBox);
        help::OfferAutostart(places, help::AskAutostartQuestion);
        KillTimer(nullptr, timer);
        DestroyWindow(other);

        ASSERT_TRUE(gBox.found);
        EXPECT_EQ(gBox.gbkTitle, "信息：");
        EXPECT_EQ(gBox.gbkText, "是否将备忘条设置为开机启动？");
        EXPECT_TRUE(gBox.hasYes && gBox.hasNo);
        EXPECT_FALSE(gBox.hasOk || gBox.hasCancel);
        EXPECT_FALSE(gBox.otherWindowEnabled);
        EXPECT_EQ(Stored(places.Machine), answer == IDYES ? Value(kProgram) : kNone);
    }
}

}  // namespace
