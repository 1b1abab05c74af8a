// "定时提醒设定" and its time box on the real modal dialog, driven with real
// messages from inside the dialog's own modal loop.
#include <windows.h>

#include <colordlg.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include "reminders/ReminderCore.h"
#include "reminders/Reminders.h"
#include "tests/reminders/ReminderTestStrip.h"

using namespace reminder_tests;

namespace {

const char* const kGbkTitle = "定时提醒设定";
const std::string kGbkNoSuchDate = "此日期不存在，请重新选择";

// Control ids of the window, in the order it creates them.
enum : int { kIdEnable = 101, kIdTimeBox, kIdSpinner, kIdLabel3, kIdGroup, kIdRed, kIdYellow, kIdLabel2, kIdPicker };

bool IsReminderWindow(HWND hwnd) { return TextOf(hwnd) == kGbkTitle; }

// Opens row `row`'s window by its clock button and runs `script` in it.
void WithReminderWindow(TestStrip& strip, int row, const std::function<void(HWND)>& script) {
    RunInModalLoop([&] { reminders::OpenReminderWindow(strip.state, strip.ClockButton(row)); }, IsReminderWindow,
                   script);
}

bool Checked(HWND dialog, int id) { return SendDlgItemMessageA(dialog, id, BM_GETCHECK, 0, 0) == BST_CHECKED; }

reminders::TextSelection Selection(HWND box) {
    DWORD start = 0;
    DWORD end = 0;
    SendMessageA(box, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    return {static_cast<int>(start), static_cast<int>(end - start)};
}

// A click at the left edge of character `pos` (the caret lands before it);
// `pos` == length clicks just right of the text.
void ClickAtCharacter(HWND box, int pos) {
    int length = GetWindowTextLengthA(box);
    LRESULT at = SendMessageA(box, EM_POSFROMCHAR, static_cast<WPARAM>(pos < length ? pos : length - 1), 0);
    int x = static_cast<short>(LOWORD(at)) + (pos < length ? 1 : 12);
    int y = static_cast<short>(HIWORD(at)) + 4;
    SendMessageA(box, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
    SendMessageA(box, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
}

void Key(HWND box, UINT key) {
    SendMessageA(box, WM_KEYDOWN, key, 1);
    SendMessageA(box, WM_KEYUP, key, 0xC0000001);
}

// A press of the spinner's upper (+1) or lower (-1) arrow.
void PressSpinner(HWND dialog, int step) {
    HWND spinner = GetDlgItem(dialog, kIdSpinner);
    RECT client;
    GetClientRect(spinner, &client);
    LPARAM at = MAKELPARAM(client.right / 2, step > 0 ? client.bottom / 4 : client.bottom * 3 / 4);
    SendMessageA(spinner, WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageA(spinner, WM_LBUTTONUP, 0, at);
}

std::string StoredEntries(const TestStrip& strip) {
    char value[4096] = {};
    GetPrivateProfileStringA("各项配置", "条目内容", "", value, sizeof value, strip.state.Config.Path().c_str());
    return value;
}

std::string Now() {
    SYSTEMTIME now;
    GetLocalTime(&now);
    return reminders::FormatReminderTime({now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond});
}

}  // namespace

TEST(ReminderWindow, OpeningARowThatIsOffShowsTheCurrentTimeAndRed) {
    TestStrip strip({Entry(false, "2011-01-01-12:00:00"), Entry(false, "2011-01-01-12:00:00", true, 255)});
    std::string before = Now();
    WithReminderWindow(strip, 2, [&](HWND dialog) {
        std::string after = Now();
        std::string shown = TextOf(GetDlgItem(dialog, kIdTimeBox));
        EXPECT_TRUE(shown >= before && shown <= after) << shown;
        EXPECT_FALSE(Checked(dialog, kIdEnable));
        EXPECT_TRUE(Checked(dialog, kIdRed)) << "red even though the entry holds yellow";
        EXPECT_FALSE(Checked(dialog, kIdYellow));
        EXPECT_EQ(TextOf(GetDlgItem(dialog, kIdLabel3)), "");
        EXPECT_EQ(TextOf(GetDlgItem(dialog, kIdEnable)), "启动此条定时提醒(请设定时间)");
        EXPECT_EQ(TextOf(GetDlgItem(dialog, kIdGroup)), " 提醒方式设定 ");
        RECT window;
        GetWindowRect(dialog, &window);
        EXPECT_EQ(window.right - window.left, 380);
        EXPECT_EQ(window.bottom - window.top, 250);
        EXPECT_TRUE(GetWindowLongPtrA(dialog, GWL_EXSTYLE) & WS_EX_APPWINDOW) << "a taskbar button";
        EXPECT_EQ(GetWindow(dialog, GW_OWNER), strip.state.StripHwnd);
        LONG_PTR boxStyle = GetWindowLongPtrA(GetDlgItem(dialog, kIdTimeBox), GWL_STYLE);
        EXPECT_TRUE((boxStyle & ES_READONLY) && (boxStyle & ES_CENTER));
        EXPECT_EQ(SendDlgItemMessageA(dialog, kIdTimeBox, EM_GETLIMITTEXT, 0, 0), 19);
    });
    EXPECT_TRUE(memo::IsTrueFlag(strip.state.Entries[1].YellowFrame)) << "untouched radios store nothing";
    EXPECT_TRUE(strip.log->Lines().empty()) << "opening and closing change no look";
}

TEST(ReminderWindow, OpeningARowThatIsOnShowsItsStoredSettings) {
    TestStrip strip({Entry(false, ""), Entry(false, ""), Entry(true, "2011-02-30-12:00:00", true, 0x00FF00)});
    WithReminderWindow(strip, 3, [&](HWND dialog) {
        EXPECT_TRUE(Checked(dialog, kIdEnable));
        EXPECT_EQ(TextOf(GetDlgItem(dialog, kIdTimeBox)), "2011-02-30-12:00:00") << "exactly as stored";
        EXPECT_TRUE(Checked(dialog, kIdYellow));
        EXPECT_FALSE(Checked(dialog, kIdRed));
    });
    EXPECT_EQ(strip.state.Entries[2].ReminderTime, "2011-02-30-12:00:00");

    // Short fields are shown in the box's layout, so a step changes one field only.
    strip.state.Entries[1] = Entry(true, "2011-5-6-9:3:7");
    WithReminderWindow(strip, 2, [&](HWND dialog) {
        HWND box = GetDlgItem(dialog, kIdTimeBox);
        EXPECT_EQ(TextOf(box), "2011-05-06-09:03:07");
        ClickAtCharacter(box, 5);
        Key(box, VK_UP);
    });
    EXPECT_EQ(strip.state.Entries[1].ReminderTime, "2011-06-06-09:03:07");
}

TEST(ReminderWindow, CheckBoxAndRadioButtonsApplyAtOnce) {
    TestStrip strip({Entry(false, ""), Entry(true, "2011-01-01-12:00:00")});
    WithReminderWindow(strip, 1, [&](HWND dialog) {
        SendDlgItemMessageA(dialog, kIdEnable, BM_CLICK, 0, 0);
        EXPECT_TRUE(memo::IsTrueFlag(strip.state.Entries[0].ReminderOn));
        EXPECT_EQ(strip.log->Lines(), (std::vector<std::string>{"reminder 1 on", "refresh"}));

        size_t seen = strip.log->Size();
        SendDlgItemMessageA(dialog, kIdEnable, BM_CLICK, 0, 0);
        EXPECT_FALSE(memo::IsTrueFlag(strip.state.Entries[0].ReminderOn));
        EXPECT_EQ(strip.log->Since(seen), (std::vector<std::string>{"reminder 1 off", "frame 1 normal", "refresh"}))
            << "switching off ends a coloured phase at once";

        SendDlgItemMessageA(dialog, kIdYellow, BM_CLICK, 0, 0);
        EXPECT_TRUE(memo::IsTrueFlag(strip.state.Entries[0].YellowFrame));
        EXPECT_FALSE(Checked(dialog, kIdRed));
        SendDlgItemMessageA(dialog, kIdRed, BM_CLICK, 0, 0);
        EXPECT_FALSE(memo::IsTrueFlag(strip.state.Entries[0].YellowFrame));
        SendDlgItemMessageA(dialog, kIdRed, BM_CLICK, 0, 0);
        EXPECT_EQ(strip.state.Entries[0].YellowFrame, std::string(memo::kGbkFalse));
    });
    EXPECT_TRUE(memo::IsTrueFlag(strip.state.Entries[1].ReminderOn)) << "only the edited row changes";
}

TEST(ReminderWindow, ClosingStoresTheBoxTextAndWritesEveryEntry) {
    TestStrip strip({Entry(false, ""), Entry(true, "2011-01-01-12:00:00"), Entry(false, "2011-05-06-09:03:07")});
    strip.state.Entries[0].Text = "买菜";
    WithReminderWindow(strip, 2, [&](HWND dialog) {
        HWND box = GetDlgItem(dialog, kIdTimeBox);
        ClickAtCharacter(box, 0);
        Key(box, VK_UP);
    });
    EXPECT_EQ(strip.state.Entries[1].ReminderTime, "2012-01-01-12:00:00");
    EXPECT_EQ(StoredEntries(strip), memo::SerializeEntries(strip.state.Entries));
    EXPECT_NE(StoredEntries(strip).find("买菜&"), std::string::npos);

    // A row that is off stores the shown current time, so it is due at the next pass once switched on.
    std::string before = Now();
    WithReminderWindow(strip, 3, [&](HWND dialog) { SendDlgItemMessageA(dialog, kIdEnable, BM_CLICK, 0, 0); });
    EXPECT_GE(strip.state.Entries[2].ReminderTime, before);
    EXPECT_LE(strip.state.Entries[2].ReminderTime, Now());
    EXPECT_EQ(StoredEntries(strip), memo::SerializeEntries(strip.state.Entries));
}

TEST(ReminderWindow, OpensBelowLeftOfThePointerAndInsideTheWorkArea) {
    TestStrip strip({Entry(false, "")});
    RECT work;
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    struct Case {
        const char* label;
        POINT pointer;
        POINT topLeft;
    };
    const Case cases[] = {
        {"room enough", {700, 300}, {310, 310}},
        {"clock at the screen's left-top corner", {180, 30}, {work.left, 40}},
        {"near the bottom", {700, static_cast<LONG>(work.bottom - 20)}, {310, work.bottom - 250}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        ASSERT_TRUE(SetCursorPos(c.pointer.x, c.pointer.y));
        WithReminderWindow(strip, 1, [&](HWND dialog) {
            RECT window;
            GetWindowRect(dialog, &window);
            EXPECT_EQ(window.left, c.topLeft.x);
            EXPECT_EQ(window.top, c.topLeft.y);
        });
    }
}

TEST(ReminderWindow, ColorPickerChangesTheRowsTextColorOncePerChange) {
    TestStrip strip({Entry(false, "", false, 0x00FFFFFF), Entry(false, "", false, 0x00FFFFFF)});
    auto pickInColorDialog = [](HWND picker, int r, int g, int b) {
        RunInModalLoop([&] { SendMessageA(picker, WM_LBUTTONUP, 0, MAKELPARAM(5, 5)); },
                       [](HWND hwnd) { return !IsReminderWindow(hwnd); },
                       [&](HWND colorDialog) {
                           SetDlgItemInt(colorDialog, COLOR_RED, static_cast<UINT>(r), FALSE);
                           SetDlgItemInt(colorDialog, COLOR_GREEN, static_cast<UINT>(g), FALSE);
                           SetDlgItemInt(colorDialog, COLOR_BLUE, static_cast<UINT>(b), FALSE);
                           SendDlgItemMessageA(colorDialog, IDOK, BM_CLICK, 0, 0);
                       });
    };
    WithReminderWindow(strip, 2, [&](HWND dialog) {
        HWND picker = GetDlgItem(dialog, kIdPicker);
        pickInColorDialog(picker, 0x12, 0x34, 0x56);
        EXPECT_EQ(strip.state.Entries[1].TextColor, 0x563412);
        EXPECT_EQ(strip.log->Lines(), (std::vector<std::string>{"color 2 " + std::to_string(0x563412), "refresh"}));
        pickInColorDialog(picker, 0x12, 0x34, 0x56);
        EXPECT_EQ(strip.log->Size(), 2u) << "the same colour again is no change";
    });
    EXPECT_EQ(strip.state.Entries[0].TextColor, 0x00FFFFFF);
}

TEST(TimeBox, ClicksSelectWholeFieldsAndDragsSelectNothing) {
    TestStrip strip({Entry(true, "2011-05-06-09:03:07")});
    WithReminderWindow(strip, 1, [&](HWND dialog) {
        HWND box = GetDlgItem(dialog, kIdTimeBox);
        struct Case {
            int clickedCharacter;
            reminders::TextSelection selected;
        };
        const Case cases[] = {
            {2, {0, 4}}, {7, {5, 2}} /* the "-" after the month */, {9, {8, 2}}, {13, {11, 2}},
            {15, {14, 2}}, {19, {17, 2}} /* right of the text */,
        };
        for (const Case& c : cases) {
            SCOPED_TRACE(c.clickedCharacter);
            ClickAtCharacter(box, c.clickedCharacter);
            EXPECT_EQ(Selection(box), c.selected);
        }
        LRESULT from = SendMessageA(box, EM_POSFROMCHAR, 1, 0);
        LRESULT to = SendMessageA(box, EM_POSFROMCHAR, 12, 0);
        SendMessageA(box, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(LOWORD(from) + 1, HIWORD(from) + 4));
        SendMessageA(box, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(LOWORD(to) + 1, HIWORD(to) + 4));
        EXPECT_EQ(Selection(box).Length, 0) << "the drag never reaches the box";
        SendMessageA(box, WM_LBUTTONUP, 0, MAKELPARAM(LOWORD(to) + 1, HIWORD(to) + 4));
        EXPECT_EQ(Selection(box), (reminders::TextSelection{0, 4}));
    });
}

TEST(TimeBox, KeysMoveBetweenAndStepFieldsAndTypeNothing) {
    TestStrip strip({Entry(true, "2011-02-28-12:00:00")});
    WithReminderWindow(strip, 1, [&](HWND dialog) {
        HWND box = GetDlgItem(dialog, kIdTimeBox);
        HWND label = GetDlgItem(dialog, kIdLabel3);
        EXPECT_TRUE(SendMessageA(box, WM_GETDLGCODE, 0, 0) & DLGC_WANTARROWS) << "the dialog hands arrows to the box";
        ClickAtCharacter(box, 8);
        Key(box, VK_UP);
        EXPECT_EQ(TextOf(box), "2011-02-29-12:00:00");
        EXPECT_EQ(TextOf(label), kGbkNoSuchDate);
        EXPECT_EQ(Selection(box), (reminders::TextSelection{8, 2}));
        PressSpinner(dialog, +1);
        EXPECT_EQ(TextOf(box), "2011-02-30-12:00:00");
        PressSpinner(dialog, +1);
        PressSpinner(dialog, +1);
        EXPECT_EQ(TextOf(box), "2011-02-01-12:00:00");
        EXPECT_EQ(TextOf(label), "2011年2月1日12时");
        PressSpinner(dialog, -1);
        EXPECT_EQ(TextOf(box), "2011-02-31-12:00:00");
        Key(box, VK_DOWN);
        Key(box, VK_DOWN);
        Key(box, VK_DOWN);
        EXPECT_EQ(TextOf(box), "2011-02-28-12:00:00");

        // Typing, Backspace and Delete change nothing.
        for (UINT key : {UINT('5'), UINT(VK_BACK), UINT(VK_DELETE)}) {
            SendMessageA(box, WM_KEYDOWN, key, 1);
            SendMessageA(box, WM_CHAR, key == VK_DELETE ? 0 : key == VK_BACK ? 8 : '5', 1);
            SendMessageA(box, WM_KEYUP, key, 0xC0000001);
        }
        EXPECT_EQ(TextOf(box), "2011-02-28-12:00:00");

        // Right walks round the fields, Left stops at the year.
        const int rightWalk[] = {11, 14, 17, 0, 5, 8};
        for (int start : rightWalk) {
            Key(box, VK_RIGHT);
            EXPECT_EQ(Selection(box).Start, start);
        }
        const int leftWalk[] = {5, 0, 0};
        for (int start : leftWalk) {
            Key(box, VK_LEFT);
            EXPECT_EQ(Selection(box).Start, start);
        }
        EXPECT_EQ(Selection(box).Length, 4);

        // With Ctrl held, Up and Down do nothing.
        BYTE keys[256];
        GetKeyboardState(keys);
        BYTE ctrlBefore = keys[VK_CONTROL];
        keys[VK_CONTROL] = 0x80;
        SetKeyboardState(keys);
        Key(box, VK_UP);
        EXPECT_EQ(TextOf(box), "2011-02-28-12:00:00");
        Key(box, VK_DOWN);
        EXPECT_EQ(TextOf(box), "2011-02-28-12:00:00");
        Key(box, VK_RIGHT);
        EXPECT_EQ(Selection(box).Start, 0);
        keys[VK_CONTROL] = ctrlBefore;
        SetKeyboardState(keys);
    });
    EXPECT_EQ(strip.state.Entries[0].ReminderTime, "2011-02-28-12:00:00");
}

TEST(TimeBox, StepsBeforeAnyClickReplaceTheFieldOfTheCaret) {
    TestStrip strip({Entry(true, "2011-01-01-12:00:00")});
    WithReminderWindow(strip, 1, [&](HWND dialog) {
        HWND box = GetDlgItem(dialog, kIdTimeBox);
        SendMessageA(box, EM_SETSEL, 0, 0);
        PressSpinner(dialog, +1);
        EXPECT_EQ(TextOf(box), "2012-01-01-12:00:00");
        SendMessageA(box, EM_SETSEL, 6, 6);
        Key(box, VK_DOWN);
        EXPECT_EQ(TextOf(box), "2012-12-01-12:00:00");
    });
    EXPECT_EQ(strip.state.Entries[0].ReminderTime, "2012-12-01-12:00:00");
}

TEST(TimeBox, YearsWrapFrom2011ToTenYearsAhead) {
    SYSTEMTIME now;
    GetLocalTime(&now);
    const std::string last = std::to_string(now.wYear + 10);
    TestStrip strip({Entry(true, last + "-06-15-08:00:00")});
    WithReminderWindow(strip, 1, [&](HWND dialog) {
        HWND box = GetDlgItem(dialog, kIdTimeBox);
        ClickAtCharacter(box, 1);
        PressSpinner(dialog, +1);
        EXPECT_EQ(TextOf(box), "2011-06-15-08:00:00");
        PressSpinner(dialog, -1);
        EXPECT_EQ(TextOf(box), last + "-06-15-08:00:00");
        Key(box, VK_DOWN);
        EXPECT_EQ(TextOf(box).substr(0, 4), std::to_string(now.wYear + 9)) << "next year's reminders can be set";
    });
}
