// The property model on real windows: binding, the parent procedure, Move, tips.
#include "tests/skin/SkinTestSupport.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include "tests/support/WineTest.h"

namespace {

using namespace skin_test;

WNDPROC ProcedureOf(HWND window) { return reinterpret_cast<WNDPROC>(GetWindowLongPtrA(window, GWLP_WNDPROC)); }

TEST(Bind, TwoChildrenSubclassTheirParentOnce) {
    HostWindow host(10, 10, 200, 100);
    WNDPROC original = ProcedureOf(host.Get());
    HWND first = MakeChild(host.Get(), "Static", 0, 0, 0, 20, 20);
    HWND second = MakeChild(host.Get(), "Static", 0, 30, 0, 20, 20);
    SetWindowLongPtrA(host.Get(), GWL_STYLE, GetWindowLongPtrA(host.Get(), GWL_STYLE) | WS_CLIPCHILDREN);
    skin::SkinPictureBox a, b;
    a.Attach(first);
    b.Attach(second);
    EXPECT_EQ(ProcedureOf(host.Get()), skin::ParentWndProc);
    // A second subclassing would have saved ParentWndProc as its own previous one.
    EXPECT_EQ(skin::GetSkinProp(host.Get(), skin::kPropWndProc), reinterpret_cast<intptr_t>(original));
    EXPECT_EQ(GetWindowLongPtrA(host.Get(), GWL_STYLE) & WS_CLIPCHILDREN, 0);
    EXPECT_NE(GetWindowLongPtrA(first, GWL_EXSTYLE) & WS_EX_TRANSPARENT, 0);
    EXPECT_EQ(a.GetHandle(), first);
}

TEST(Bind, ParentThatIsASkinnedControlIsLeftAlone) {
    HostWindow host(10, 10, 200, 100);
    HWND box = MakeChild(host.Get(), "Static", 0, 0, 0, 100, 50);
    skin::SetSkinProp(box, skin::kPropType, skin::kTypePictureBox);
    WNDPROC boxProcedure = ProcedureOf(box);
    HWND inner = MakeChild(box, "Static", 0, 5, 5, 10, 10);
    skin::SkinControl control;
    EXPECT_TRUE(control.Bind(inner));
    EXPECT_EQ(ProcedureOf(box), boxProcedure);
    EXPECT_EQ(skin::GetSkinProp(box, skin::kPropWndProc), 0);
}

TEST(Bind, AWindowThatIsGoneChangesNothing) {
    HostWindow host(10, 10, 200, 100);
    HWND kept = MakeChild(host.Get(), "Static", 0, 0, 0, 20, 20);
    HWND gone = MakeChild(host.Get(), "Static", 0, 0, 0, 20, 20);
    DestroyWindow(gone);
    skin::SkinControl control;
    ASSERT_TRUE(control.Bind(kept));
    EXPECT_FALSE(control.Bind(gone));
    EXPECT_EQ(control.GetHandle(), kept);
    EXPECT_FALSE(skin::ChangeStyle(kept, 0, WS_CHILD));
}

UINT gLastPosFlags = 0;
HWND gWatched = nullptr;

LRESULT CALLBACK WatchPositions(int code, WPARAM wParam, LPARAM lParam) {
    auto* message = reinterpret_cast<CWPSTRUCT*>(lParam);
    if (code == HC_ACTION && message->hwnd == gWatched && message->message == WM_WINDOWPOSCHANGING) {
        gLastPosFlags = reinterpret_cast<WINDOWPOS*>(message->lParam)->flags;
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

TEST(SkinControlMove, ChangesOnlyWhatIsGiven) {
    HostWindow host(10, 10, 300, 200);
    HHOOK hook = SetWindowsHookExA(WH_CALLWNDPROC, WatchPositions, nullptr, GetCurrentThreadId());
    struct Case {
        const char* name;
        skin::Placement placement;
        RECT expected;  // in the parent's client coordinates
        UINT expectedFlags;
    };
    const Case cases[] = {
        {"only top", {.top = 70}, {20, 70, 70, 100}, SWP_NOSIZE},
        {"only left", {.left = 5}, {5, 30, 55, 60}, SWP_NOSIZE},
        {"only height", {.height = 12}, {20, 30, 70, 42}, SWP_NOMOVE},
        {"nothing", {}, {20, 30, 70, 60}, SWP_NOMOVE | SWP_NOSIZE},
        {"all", {1, 2, 3, 4}, {1, 2, 4, 6}, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        HWND child = MakeChild(host.Get(), "Static", 0, 20, 30, 50, 30);
        skin::SkinControl control;
        ASSERT_TRUE(control.Bind(child));
        gWatched = child;
        gLastPosFlags = 0;
        control.Move(c.placement);
        RECT rect;
        GetWindowRect(child, &rect);
        MapWindowPoints(nullptr, host.Get(), reinterpret_cast<POINT*>(&rect), 2);
        EXPECT_EQ(rect.left, c.expected.left);
        EXPECT_EQ(rect.top, c.expected.top);
        EXPECT_EQ(rect.right, c.expected.right);
        EXPECT_EQ(rect.bottom, c.expected.bottom);
        ASSERT_NE(gLastPosFlags & SWP_NOZORDER, 0u);
        EXPECT_EQ(gLastPosFlags & (SWP_NOMOVE | SWP_NOSIZE), c.expectedFlags);
        DestroyWindow(child);
    }
    UnhookWindowsHookEx(hook);
}

TEST(ParentWndProc, ChangeInASkinnedEditInvalidatesIt) {
    HostWindow host(10, 10, 300, 100);
    HWND skinned = MakeChild(host.Get(), "Edit", 0, 10, 10, 100, 20);
    HWND plain = MakeChild(host.Get(), "Edit", 0, 10, 40, 100, 20);
    skin::SkinEditBox edit;
    edit.Attach(skinned);
    struct Case {
        const char* name;
        HWND edit;
        WORD code;
        bool invalidated;
    };
    const Case cases[] = {
        {"skinned, EN_CHANGE", skinned, EN_CHANGE, true},
        {"skinned, EN_HSCROLL", skinned, EN_HSCROLL, true},
        {"skinned, EN_SETFOCUS", skinned, EN_SETFOCUS, false},
        {"plain, EN_CHANGE", plain, EN_CHANGE, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        testing_support::PumpPending();
        ValidateRect(c.edit, nullptr);
        ASSERT_FALSE(GetUpdateRect(c.edit, nullptr, FALSE));
        SendMessageA(host.Get(), WM_COMMAND, MAKEWPARAM(0, c.code), reinterpret_cast<LPARAM>(c.edit));
        EXPECT_EQ(GetUpdateRect(c.edit, nullptr, FALSE) != FALSE, c.invalidated);
    }
}

TEST(ParentWndProc, ColourMessagesOfSkinnedControlsGiveTheNullBrush) {
    HostWindow host(10, 10, 300, 100);
    HWND picture = MakeChild(host.Get(), "Static", 0, 10, 10, 50, 20);
    HWND editWindow = MakeChild(host.Get(), "Edit", 0, 70, 10, 100, 20);
    HWND plain = MakeChild(host.Get(), "Static", 0, 10, 40, 50, 20);
    skin::SkinPictureBox box;
    box.Attach(picture);
    skin::SkinEditBox edit;
    edit.Attach(editWindow);
    edit.SetTextColor(0x00336699);
    struct Case {
        const char* name;
        HWND control;
        UINT message;
        COLORREF textColor;
    };
    const Case cases[] = {
        {"picture box, static", picture, WM_CTLCOLORSTATIC, RGB(1, 2, 3)},
        {"edit box, static", editWindow, WM_CTLCOLORSTATIC, 0x00336699},
        {"edit box, edit", editWindow, WM_CTLCOLOREDIT, 0x00336699},
    };
    HDC screen = GetDC(nullptr);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        HDC hdc = CreateCompatibleDC(screen);
        SetTextColor(hdc, RGB(1, 2, 3));
        SetBkMode(hdc, OPAQUE);
        LRESULT brush = SendMessageA(host.Get(), c.message, reinterpret_cast<WPARAM>(hdc),
                                     reinterpret_cast<LPARAM>(c.control));
        EXPECT_EQ(brush, reinterpret_cast<LRESULT>(GetStockObject(NULL_BRUSH)));
        EXPECT_EQ(GetBkMode(hdc), TRANSPARENT);
        EXPECT_EQ(GetTextColor(hdc), c.textColor);
        DeleteDC(hdc);
    }
    HDC hdc = CreateCompatibleDC(screen);
    SetBkMode(hdc, OPAQUE);
    LRESULT plainBrush =
        SendMessageA(host.Get(), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(hdc), reinterpret_cast<LPARAM>(plain));
    EXPECT_NE(plainBrush, reinterpret_cast<LRESULT>(GetStockObject(NULL_BRUSH)));
    EXPECT_EQ(GetBkMode(hdc), OPAQUE);
    DeleteDC(hdc);
    ReleaseDC(nullptr, screen);
}

TEST(SkinControlSetToolTip, SecondCallUpdatesTheOneTip) {
    HostWindow host(10, 10, 300, 100);
    HWND child = MakeChild(host.Get(), "Static", 0, 10, 10, 50, 20);
    skin::SkinControl control;
    ASSERT_TRUE(control.Bind(child));
    control.SetToolTip("first tip");
    control.SetToolTip("\xB5\xDA\xB6\xFE");  // "第二"
    HWND tip = skin::SharedToolTip();
    ASSERT_TRUE(tip);
    EXPECT_EQ(SendMessageA(tip, TTM_GETTOOLCOUNT, 0, 0), 1);
    char text[80] = {};
    TTTOOLINFOA tool{};
    tool.cbSize = TTTOOLINFOA_V2_SIZE;
    tool.hwnd = child;
    tool.uId = 0;
    tool.lpszText = text;
    SendMessageA(tip, TTM_GETTEXTA, sizeof text, reinterpret_cast<LPARAM>(&tool));
    EXPECT_STREQ(text, "\xB5\xDA\xB6\xFE");
    SendMessageA(tip, TTM_DELTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
}

}  // namespace
