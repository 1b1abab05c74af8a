// The strip's events with the real window: edit text into entries, saving,
// closing, the byte limit, the tray icon and keeping the strip on the screen.
#include "tests/strip/StripFixture.h"

#include <shellapi.h>

#include "app/AppMessages.h"

using namespace strip_testing;
using testing_support::PumpUntil;

namespace {

// A plain top-level window of the test, to take the activation or cover the strip.
class OtherWindow {
public:
    OtherWindow(int left, int top, int width, int height) {
        hwnd_ = CreateWindowExA(0, "STATIC", "other", WS_POPUP | WS_VISIBLE, left, top, width, height, nullptr,
                                nullptr, GetModuleHandleA(nullptr), nullptr);
    }
    ~OtherWindow() { DestroyWindow(hwnd_); }
    OtherWindow(const OtherWindow&) = delete;
    OtherWindow& operator=(const OtherWindow&) = delete;
    HWND Get() const { return hwnd_; }

private:
    HWND hwnd_;
};

// True when `upper` stands above `lower` among the top-level windows.
bool IsAbove(HWND upper, HWND lower) {
    for (HWND window = GetTopWindow(nullptr); window; window = GetWindow(window, GW_HWNDNEXT)) {
        if (window == upper) {
            return true;
        }
        if (window == lower) {
            return false;
        }
    }
    return false;
}

std::string ThreeRows() { return EntriesLine(StoredEntry("one") + StoredEntry("two") + StoredEntry("three")); }

void PutOnClipboard(HWND owner, const std::wstring& text) {
    ASSERT_TRUE(OpenClipboard(owner));
    EmptyClipboard();
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(wchar_t));
    memcpy(GlobalLock(memory), text.c_str(), (text.size() + 1) * sizeof(wchar_t));
    GlobalUnlock(memory);
    SetClipboardData(CF_UNICODETEXT, memory);
    CloseClipboard();
}

}  // namespace

TEST_F(StripTest, TextEntersItsEntryOnLostFocusAndTheFileOnDeactivation) {
    StoreFile(ThreeRows());
    Start();
    const std::string storedBefore = Stored(memo::kGbkKeyEntries);
    SetFocus(strip->RowEditBox(2));
    SetWindowTextA(strip->RowEditBox(2), "");
    Type(strip->RowEditBox(2), L"新的");
    SetFocus(strip->RowEditBox(3));
    testing_support::PumpPending();
    EXPECT_EQ(strip->Entries[1].Text, "新的");
    EXPECT_EQ(Stored(memo::kGbkKeyEntries), storedBefore) << "the file waits for the deactivation";

    // Typed into row 3 and left without clicking elsewhere in the strip: the
    // save on deactivation still holds it.
    SetWindowTextA(strip->RowEditBox(3), "");
    Type(strip->RowEditBox(3), L"最后");
    OtherWindow other(600, 600, 100, 100);
    SetActiveWindow(other.Get());
    const std::string expected = StoredEntry("one") + StoredEntry("新的") + StoredEntry("最后");
    EXPECT_TRUE(PumpUntil([&] { return Stored(memo::kGbkKeyEntries) == expected; }))
        << Stored(memo::kGbkKeyEntries);
    EXPECT_FALSE(strip->EntriesSavePending);
}

TEST_F(StripTest, ClosingSavesWhatWasTypedSinceTheLastDeactivation) {
    struct Case {
        const char* label;
        std::function<void(StripTest&)> close;
        bool destroys;
    };
    const Case cases[] = {
        {"close button", [](StripTest& t) { t.Click(t.strip->FirstRow.CloseButton); }, true},
        {"Esc in an edit box",
         [](StripTest& t) {
             MSG key{GetFocus(), WM_KEYDOWN, VK_ESCAPE, 1};
             EXPECT_TRUE(strip::PreTranslateStripMessage(*t.strip, key));
         },
         true},
        {"end of the session",
         [](StripTest& t) { EXPECT_TRUE(SendMessageA(t.hwnd, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF)); }, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        StoreFile(ThreeRows());
        Start();
        ASSERT_EQ(GetActiveWindow(), hwnd);
        SetFocus(strip->RowEditBox(2));
        SetWindowTextA(strip->RowEditBox(2), "");
        Type(strip->RowEditBox(2), L"typed");
        c.close(*this);
        const std::string expected = StoredEntry("one") + StoredEntry("typed") + StoredEntry("three");
        EXPECT_TRUE(PumpUntil([&] { return Stored(memo::kGbkKeyEntries) == expected; }))
            << Stored(memo::kGbkKeyEntries);
        if (c.destroys) {
            EXPECT_TRUE(PumpUntil([&] { return !IsWindow(hwnd); }));
        } else {
            EXPECT_TRUE(IsWindow(hwnd));
        }
        Close();
    }
}

TEST_F(StripTest, EscIsLeftToAControlThatTakesIt) {
    Start();
    // A multi-line edit wants every key, Esc included.
    HWND editor = CreateWindowExA(0, "EDIT", "", WS_CHILD | WS_VISIBLE | ES_MULTILINE | ES_WANTRETURN, 0, 0, 50, 20,
                                  hwnd, nullptr, GetModuleHandleA(nullptr), nullptr);
    SetFocus(editor);
    MSG key{editor, WM_KEYDOWN, VK_ESCAPE, 1};
    EXPECT_FALSE(strip::PreTranslateStripMessage(*strip, key));
    MSG otherKey{strip->FirstRow.EditBox, WM_KEYDOWN, 'A', 1};
    EXPECT_FALSE(strip::PreTranslateStripMessage(*strip, otherKey));
    testing_support::PumpPending();
    EXPECT_TRUE(IsWindow(hwnd));
}

TEST_F(StripTest, SeparatorsAndLineBreaksBecomeStorable) {
    StoreFile(ThreeRows());
    Start();
    HWND box = strip->RowEditBox(2);
    SetWindowTextA(box, "a&b\\c\r\nd");
    strip::TakeEditText(*strip, box);
    EXPECT_EQ(strip->Entries[1].Text, "a＆b＼c  d");
    EXPECT_EQ(Text(box), "a＆b＼c  d") << "the box shows what was stored";
    strip::SaveEntries(*strip);
    Close();
    Start();
    ASSERT_EQ(strip->Entries.size(), 3u) << "the note neither split nor shifted fields";
    EXPECT_EQ(strip->Entries[1].Text, "a＆b＼c  d");
    EXPECT_EQ(strip->Entries[2].Text, "three");
}

TEST_F(StripTest, EditBoxesTakeAtMost26GbkBytes) {
    struct Case {
        const char* label;
        std::wstring before;
        int selectedFromEnd;  // characters selected at the end of `before`
        std::wstring typed;
        std::wstring pasted;
        std::string expected;
    };
    const Case cases[] = {
        {"30 letters", L"", 0, std::wstring(30, L'x'), L"", std::string(26, 'x')},
        {"14 Chinese characters", L"", 0, L"一二三四五六七八九十甲乙丙丁", L"", "一二三四五六七八九十甲乙丙"},
        {"a character that needs two bytes with one left", std::wstring(25, L'x'), 0, L"汉b", L"",
         std::string(25, 'x') + "b"},
        {"typed over a selection", std::wstring(26, L'x'), 2, L"汉", L"", std::string(24, 'x') + "汉"},
        {"pasted past the limit", L"ab", 0, L"", L"一二三四五六七八九十甲乙丙丁", "ab一二三四五六七八九十甲乙"},
        {"pasted line breaks", L"", 0, L"", L"ab\r\ncd\ne", "ab  cd e"},
        {"pasted over a selection", std::wstring(26, L'x'), 2, L"", L"新", std::string(24, 'x') + "新"},
    };
    Start();
    HWND box = strip->RowEditBox(1);
    SetFocus(box);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        SetWindowTextW(box, c.before.c_str());
        const size_t length = c.before.size();
        SendMessageW(box, EM_SETSEL, length - static_cast<size_t>(c.selectedFromEnd), length);
        Type(box, c.typed);
        if (!c.pasted.empty()) {
            PutOnClipboard(hwnd, c.pasted);
            SendMessageW(box, WM_PASTE, 0, 0);
        }
        EXPECT_EQ(Text(box), c.expected);
    }
}

TEST_F(StripTest, CopiedEditBoxesKeepTheByteLimit) {
    Start();
    Click(strip->FirstRow.AddButton);
    HWND box = strip->RowEditBox(2);
    SetWindowTextA(box, "");
    Type(box, L"一二三四五六七八九十甲乙丙丁");
    EXPECT_EQ(Text(box), "一二三四五六七八九十甲乙丙");
}

TEST_F(StripTest, MovesWriteThePositionKeys) {
    Start();
    SetWindowPos(hwnd, nullptr, 321, 234, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_EQ(Stored(memo::kGbkKeyLeft), "321");
    EXPECT_EQ(Stored(memo::kGbkKeyTop), "234");
    SetWindowPos(hwnd, nullptr, -120, 5, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_EQ(Stored(memo::kGbkKeyLeft), "-120");
    EXPECT_EQ(Stored(memo::kGbkKeyTop), "5");
}

TEST_F(StripTest, APressOnTheSurfaceDragsTheStrip) {
    StoreFile("启动X坐标=100\r\n启动Y坐标=100\r\n");
    Start();
    // Left of the add button on the top band, and on the row frame beside its box.
    const POINT points[] = {{100 + 20, 100 + 8}, {100 + 2, 100 + 30}};
    for (POINT point : points) {
        SCOPED_TRACE(point.x * 1000 + point.y);
        HWND target = WindowFromPoint(point);
        ASSERT_TRUE(target == hwnd || IsChild(hwnd, target));
        LRESULT hit = SendMessageA(target, WM_NCHITTEST, 0, MAKELPARAM(point.x, point.y));
        if (hit == HTTRANSPARENT) {
            hit = SendMessageA(hwnd, WM_NCHITTEST, 0, MAKELPARAM(point.x, point.y));
        }
        EXPECT_EQ(hit, HTCAPTION);
    }
}

TEST_F(StripTest, AFailedSaveIsWrittenAtTheNextSave) {
    StoreFile(ThreeRows());
    Start();
    const std::string before = testing_support::ReadFileBytes(ConfigPath());
    SetWindowTextA(strip->RowEditBox(2), "later");
    strip::TakeEditText(*strip, strip->RowEditBox(2));
    ASSERT_TRUE(SetFileAttributesA(ConfigPath().c_str(), FILE_ATTRIBUTE_READONLY));
    strip::SaveEntries(*strip);
    EXPECT_TRUE(strip->EntriesSavePending);
    EXPECT_EQ(testing_support::ReadFileBytes(ConfigPath()), before);
    ASSERT_TRUE(SetFileAttributesA(ConfigPath().c_str(), FILE_ATTRIBUTE_NORMAL));
    strip::SaveEntries(*strip);
    EXPECT_FALSE(strip->EntriesSavePending);
    EXPECT_EQ(Stored(memo::kGbkKeyEntries), StoredEntry("one") + StoredEntry("later") + StoredEntry("three"));
}

TEST_F(StripTest, OnlyATrayDoubleClickBringsTheStripToTheFront) {
    StoreFile("启动X坐标=100\r\n启动Y坐标=100\r\n");
    Start();
    OtherWindow cover(50, 50, 400, 400);
    SetWindowPos(cover.Get(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    ASSERT_TRUE(IsAbove(cover.Get(), hwnd));
    for (UINT mouse : {WM_LBUTTONUP, WM_RBUTTONUP, WM_CONTEXTMENU}) {
        SendMessageA(hwnd, WM_APP_TRAY, 1, mouse);
        EXPECT_TRUE(IsAbove(cover.Get(), hwnd)) << mouse;
    }
    SendMessageA(hwnd, WM_APP_TRAY, 1, WM_LBUTTONDBLCLK);
    EXPECT_TRUE(IsAbove(hwnd, cover.Get()));
    EXPECT_FALSE(GetWindowLongA(hwnd, GWL_EXSTYLE) & WS_EX_TOPMOST);
}

TEST_F(StripTest, StripsFarOffEveryMonitorComeBackAndStay) {
    struct Case {
        int left, top;
        bool rescued;
    };
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    ASSERT_TRUE(GetMonitorInfoA(MonitorFromPoint({0, 0}, MONITOR_DEFAULTTOPRIMARY), &monitor));
    const RECT work = monitor.rcWork;
    const Case cases[] = {
        {10000, 10000, true}, {-5000, 0, true}, {0, -500, true},
        // Partly off the screen, with some of the top band still on it.
        {-120, 0, false}, {static_cast<int>(work.right) - 100, 100, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.left) + "," + std::to_string(c.top));
        StoreFile("启动X坐标=" + std::to_string(c.left) + "\r\n启动Y坐标=" + std::to_string(c.top) + "\r\n");
        Start();
        RECT place = StripRect();
        if (c.rescued) {
            EXPECT_GE(place.left, work.left);
            EXPECT_GE(place.top, work.top);
            EXPECT_LE(place.right, work.right);
            EXPECT_LE(place.bottom, work.bottom);
        } else {
            EXPECT_EQ(place.left, c.left);
            EXPECT_EQ(place.top, c.top);
        }
        EXPECT_EQ(Stored(memo::kGbkKeyLeft), std::to_string(place.left));
        EXPECT_EQ(Stored(memo::kGbkKeyTop), std::to_string(place.top));
        Close();
    }
}

TEST_F(StripTest, DisplayChangesAndTheTrayRescueAStripLeftOffScreen) {
    Start();
    const std::pair<const char*, std::function<void()>> events[] = {
        {"display change", [&] { SendMessageA(hwnd, WM_DISPLAYCHANGE, 24, MAKELPARAM(1280, 1024)); }},
        {"work area change", [&] { SendMessageA(hwnd, WM_SETTINGCHANGE, SPI_SETWORKAREA, 0); }},
        {"tray double click", [&] { SendMessageA(hwnd, WM_APP_TRAY, 1, WM_LBUTTONDBLCLK); }},
    };
    for (const auto& [label, event] : events) {
        SCOPED_TRACE(label);
        SetWindowPos(hwnd, nullptr, 9000, 9000, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        event();
        RECT place = StripRect();
        EXPECT_LT(place.left, GetSystemMetrics(SM_CXVIRTUALSCREEN));
        EXPECT_LT(place.top, GetSystemMetrics(SM_CYVIRTUALSCREEN));
        EXPECT_EQ(Stored(memo::kGbkKeyLeft), std::to_string(place.left));
    }
}

TEST_F(StripTest, TaskbarCreatedPutsTheTrayIconAgain) {
    Start();
    NOTIFYICONDATAA icon{};
    icon.cbSize = sizeof icon;
    icon.hWnd = hwnd;
    icon.uID = 1;
    icon.uFlags = NIF_TIP;
    lstrcpynA(icon.szTip, "Quillo备忘条v2.0", sizeof icon.szTip);
    ASSERT_TRUE(Shell_NotifyIconA(NIM_MODIFY, &icon)) << "the strip put its icon";
    // As after an Explorer restart: the tray knows the icon no more.
    ASSERT_TRUE(Shell_NotifyIconA(NIM_DELETE, &icon));
    ASSERT_FALSE(Shell_NotifyIconA(NIM_MODIFY, &icon));
    PostMessageA(hwnd, RegisterWindowMessageA("TaskbarCreated"), 0, 0);
    EXPECT_TRUE(PumpUntil([&] { return Shell_NotifyIconA(NIM_MODIFY, &icon) != FALSE; }));
}

TEST_F(StripTest, TheStripsTrayIconGoesWithIt) {
    Start();
    NOTIFYICONDATAA icon{};
    icon.cbSize = sizeof icon;
    icon.hWnd = hwnd;
    icon.uID = 1;
    icon.uFlags = NIF_TIP;
    ASSERT_TRUE(Shell_NotifyIconA(NIM_MODIFY, &icon));
    DestroyWindow(hwnd);
    testing_support::PumpPending();
    EXPECT_FALSE(Shell_NotifyIconA(NIM_MODIFY, &icon));
}
