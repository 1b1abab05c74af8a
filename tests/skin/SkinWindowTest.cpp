// The layered skin window: attaching, moving, its background, the caret blink
// and refreshes from another thread.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "tests/skin/SkinTestSupport.h"
#include "tests/support/WineTest.h"

namespace {

using namespace skin_test;

constexpr const char* kInstalledFace = "WenQuanYi Micro Hei";

WNDPROC ProcedureOf(HWND window) { return reinterpret_cast<WNDPROC>(GetWindowLongPtrA(window, GWLP_WNDPROC)); }

RECT ScreenRect(HWND window) {
    RECT rect;
    GetWindowRect(window, &rect);
    return rect;
}

TEST(SkinWindowAttach, MakesTheWindowLayeredOnlyAndSubclassesItOnce) {
    HostWindow host(20, 20, 80, 40);
    SetWindowLongPtrA(host.Get(), GWL_EXSTYLE, WS_EX_TOOLWINDOW | WS_EX_TOPMOST | WS_EX_CLIENTEDGE);
    WNDPROC original = ProcedureOf(host.Get());
    skin::SkinWindow window;
    ASSERT_TRUE(window.Attach(host.Get()));
    ASSERT_TRUE(window.Attach(host.Get()));
    EXPECT_EQ(GetWindowLongPtrA(host.Get(), GWL_EXSTYLE) & ~WS_EX_TOPMOST, WS_EX_LAYERED);
    EXPECT_EQ(skin::GetSkinProp(host.Get(), skin::kPropTimer), 64);
    EXPECT_EQ(ProcedureOf(host.Get()), skin::ParentWndProc);
    EXPECT_EQ(skin::GetSkinProp(host.Get(), skin::kPropWndProc), reinterpret_cast<intptr_t>(original));
    EXPECT_TRUE(window.IsValid());

    skin::SkinWindow unbound;
    HWND gone = CreateWindowExA(0, "Static", "", WS_POPUP, 0, 0, 5, 5, nullptr, nullptr, nullptr, nullptr);
    DestroyWindow(gone);
    EXPECT_FALSE(unbound.Attach(gone));
    EXPECT_EQ(unbound.GetHandle(), nullptr);
}

TEST(SkinWindowMove, KeepsWhatIsNotGiven) {
    HostWindow host(30, 40, 80, 60);
    skin::SkinWindow window;
    window.Attach(host.Get());
    struct Case {
        const char* name;
        skin::Placement placement;
        RECT expected;
    };
    const Case cases[] = {
        {"only height", {.height = 100}, {30, 40, 110, 140}},
        {"only left", {.left = 50}, {50, 40, 130, 140}},
        {"only width", {.width = 207}, {50, 40, 257, 140}},
        {"nothing", {}, {50, 40, 257, 140}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        window.Move(c.placement);
        RECT rect = ScreenRect(host.Get());
        EXPECT_EQ(rect.left, c.expected.left);
        EXPECT_EQ(rect.top, c.expected.top);
        EXPECT_EQ(rect.right, c.expected.right);
        EXPECT_EQ(rect.bottom, c.expected.bottom);
    }
}

TEST(SkinWindowBackground, PresentsThePictureAndKeepsItForANullOne) {
    HostWindow host(200, 100, 60, 40);
    skin::SkinWindow window;
    window.Attach(host.Get());
    skin::SkinImage blue = SolidPicture(60, 40, 0xFF0000FF);
    ASSERT_TRUE(window.SetBackImage(blue));
    EXPECT_TRUE(testing_support::PumpUntil([] { return ScreenPixel(230, 120) == 0x0000FF; }))
        << std::hex << ScreenPixel(230, 120);
    EXPECT_FALSE(window.SetBackImage(nullptr));
    EXPECT_FALSE(window.SetBackImageFromBytes(std::vector<unsigned char>{1, 2, 3}));
    EXPECT_EQ(skin::GetSkinProp(host.Get(), skin::kPropBackImage), reinterpret_cast<intptr_t>(blue));
    ASSERT_TRUE(window.SetBackImageFromBytes(MakeSolidPng(60, 40, 0xFF00FF00)));
    EXPECT_TRUE(testing_support::PumpUntil([] { return ScreenPixel(230, 120) == 0x00FF00; }));
}

TEST(SkinWindowRefresh, FromAnotherThreadIsCarriedToTheWindowThread) {
    HostWindow host(200, 100, 60, 40);
    skin::SkinWindow window;
    window.Attach(host.Get());
    skin::SkinPictureBox box;
    box.Create(host.Get(), 0, 0, 60, 40);
    box.SetBackImage(SolidPicture(60, 40, 0xFFFF0000));
    HANDLE refreshed = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    std::thread other([&] {
        window.Refresh();
        SetEvent(refreshed);
    });
    // While this thread pumps nothing, the refresh cannot have been composed.
    EXPECT_EQ(WaitForSingleObject(refreshed, 300), static_cast<DWORD>(WAIT_TIMEOUT));
    EXPECT_TRUE(testing_support::PumpUntil([&] { return WaitForSingleObject(refreshed, 0) == WAIT_OBJECT_0; }));
    other.join();
    CloseHandle(refreshed);
    EXPECT_EQ(ScreenPixel(230, 120), 0xFF0000u);
}

// A skin window with one focused child-mode edit box over a white background.
class CaretBlink : public testing::Test {
protected:
    static constexpr int kLeft = 400, kTop = 200, kEditLeft = 10, kEditTop = 8, kEditWidth = 120, kEditHeight = 24;

    void SetUp() override {
        window_.Attach(host_.Get());
        window_.SetBackImage(SolidPicture(150, 40, 0xFFFFFFFF));
        editWindow_ = MakeChild(host_.Get(), "Edit", ES_AUTOHSCROLL, kEditLeft, kEditTop, kEditWidth, kEditHeight);
        font_ = CreateFontA(-12, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, kInstalledFace);
        SendMessageA(editWindow_, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
        edit_.Attach(editWindow_);
        edit_.SetBackColor(skin::kNoColor);
        edit_.SetOrderColor(skin::kNoColor);
        edit_.SetTextColor(0x0000FF);
        window_.Refresh();
        SetForegroundWindow(host_.Get());
        SetFocus(editWindow_);
    }
    void TearDown() override {
        DestroyWindow(editWindow_);
        DeleteObject(font_);
    }
    void Blink() { skin::CaretBlinkTimer(host_.Get(), WM_TIMER, skin::kCaretTimerId, GetTickCount()); }
    // The caret's column on screen: 5 px right of the edit's own caret.
    int CaretX() const {
        POINT caret{};
        GetCaretPos(&caret);
        return kLeft + kEditLeft + caret.x + 5;
    }
    static constexpr int kCaretTop = kTop + kEditTop + (kEditHeight - 12) / 2;
    // Black pixels in the caret's column from 2 above to 2 below its place.
    std::vector<int> DarkRows(int x) const {
        std::vector<int> rows;
        for (int y = kCaretTop - 2; y < kCaretTop + 14; ++y) {
            if (ScreenPixel(x, y) == 0) {
                rows.push_back(y - kCaretTop);
            }
        }
        return rows;
    }
    // Text pixels (red on white) in the edit box, as the screen shows them.
    int RedPixels() const {
        int red = 0;
        for (int y = kTop + kEditTop; y < kTop + kEditTop + kEditHeight; ++y) {
            for (int x = kLeft + kEditLeft; x < kLeft + kEditLeft + 60; ++x) {
                uint32_t pixel = ScreenPixel(x, y);
                red += (pixel >> 16) > 0xC0 && (pixel & 0xFF) < 0x80;
            }
        }
        return red;
    }

    HostWindow host_{kLeft, kTop, 150, 40};
    skin::SkinWindow window_;
    HWND editWindow_ = nullptr;
    HFONT font_ = nullptr;
    skin::SkinEditBox edit_;
};

TEST_F(CaretBlink, BlinksTwelvePixelsHighBesideTheEditCaretOnlyWhileFocused) {
    skin::CaretState& caret = skin::Caret();
    ASSERT_EQ(caret.FocusedEdit, editWindow_);
    ASSERT_EQ(caret.FocusedEditParent, host_.Get());
    ASSERT_TRUE(caret.LastFrame);
    int x = CaretX();
    const std::vector<int> twelveRows = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11};
    EXPECT_TRUE(DarkRows(x).empty());
    Blink();
    EXPECT_EQ(caret.CaretShown, 1);
    EXPECT_EQ(DarkRows(x), twelveRows);
    EXPECT_TRUE(DarkRows(x - 1).empty());
    EXPECT_TRUE(DarkRows(x + 1).empty());
    Blink();
    EXPECT_TRUE(DarkRows(x).empty());

    // Ticks of another timer do nothing.
    skin::CaretBlinkTimer(host_.Get(), WM_TIMER, skin::kCaretTimerId + 1, 0);
    EXPECT_EQ(caret.CaretShown, 0);
    EXPECT_TRUE(DarkRows(x).empty());

    Blink();
    ASSERT_EQ(DarkRows(x), twelveRows);
    SetFocus(nullptr);
    EXPECT_EQ(caret.FocusedEdit, nullptr);
    // Losing the focus composes again: the caret is gone and no tick brings it back.
    EXPECT_TRUE(DarkRows(x).empty());
    Blink();
    Blink();
    EXPECT_TRUE(DarkRows(x).empty());
}

TEST_F(CaretBlink, BlinkPresentsTheLastFrameWithoutComposing) {
    ASSERT_EQ(RedPixels(), 0);
    // A change that composes nothing stays off screen through a blink...
    SendMessageA(editWindow_, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>("WW"));
    Blink();
    EXPECT_EQ(skin::Caret().CaretShown, 1);
    EXPECT_EQ(RedPixels(), 0);
    // ...and typing composes at once, showing the text without the caret.
    int x = CaretX();
    SendMessageA(editWindow_, WM_CHAR, 'W', 1);
    EXPECT_GT(RedPixels(), 20);
    EXPECT_TRUE(DarkRows(CaretX()).empty());
    EXPECT_NE(CaretX(), x);
}

TEST_F(CaretBlink, RefreshesFromAnotherThreadWhileTypingGiveTheWindowThreadsPicture) {
    skin::SkinPictureBox frames[4];
    skin::SkinImage pictures[2] = {SolidPicture(140, 3, 0xFF00FF00), SolidPicture(140, 3, 0xFFFF00FF)};
    for (int i = 0; i < 4; ++i) {
        frames[i].Create(host_.Get(), 5, 34 - i, 140, 3);
        frames[i].SetBackImage(pictures[0]);
    }
    window_.Refresh();
    constexpr int kRefreshes = 300;
    std::atomic<bool> done{false};
    std::atomic<int> tornFrames{0};
    // A whole frame has the background outside the children and one of the
    // two pictures in every row frame.
    auto isWhole = [&](const skin::Frame& frame) {
        if (!frame || FramePixel(frame, 1, 1) != 0xFFFFFFFF || FramePixel(frame, 148, 38) != 0xFFFFFFFF) {
            return false;
        }
        for (int i = 0; i < 4; ++i) {
            uint32_t pixel = FramePixel(frame, 70, 35 - i);
            if (pixel != 0xFF00FF00 && pixel != 0xFFFF00FF) {
                return false;
            }
        }
        return true;
    };
    std::thread watcher([&] {
        for (int i = 0; i < kRefreshes; ++i) {
            frames[i % 4].SetBackImage(pictures[i % 2]);
            window_.Refresh();
            if (!isWhole(skin::ComposeWindow(host_.Get(), true))) {
                ++tornFrames;
            }
        }
        done = true;
    });
    // Meanwhile the user types and deletes, and the caret blinks.
    int typed = 0;
    while (!done) {
        bool typing = typed % 2 == 0;
        SendMessageA(editWindow_, WM_CHAR, typing ? 'a' : '\b', 1);
        ++typed;
        Blink();
        testing_support::PumpPending();
    }
    watcher.join();
    EXPECT_EQ(tornFrames, 0);
    EXPECT_EQ(skin::Caret().FocusedEdit, editWindow_);
    skin::Frame fresh = skin::ComposeWindow(host_.Get(), true);
    const skin::Frame& last = skin::Caret().LastFrame;
    ASSERT_TRUE(last);
    for (int y = 0; y < 40; ++y) {
        for (int x = 0; x < 150; ++x) {
            ASSERT_EQ(FramePixel(last, x, y), FramePixel(fresh, x, y)) << x << "," << y;
        }
    }
    EXPECT_EQ(edit_.GetText(), typed % 2 ? "a" : "");
}

}  // namespace
