// The picture button's states, in a plain parent and inside a skin window.
#include <gtest/gtest.h>

#include "tests/skin/SkinTestSupport.h"
#include "tests/support/WineTest.h"

namespace {

using namespace skin_test;

constexpr int kHostLeft = 300, kHostTop = 300;
constexpr int kButtonLeft = 20, kButtonTop = 10, kButtonSize = 20;
constexpr uint32_t kNormal = 0xFF0000, kHover = 0x00FF00, kPressed = 0x0000FF, kDisabled = 0x808080;

enum class Step { Move, MoveOutside, Down, Up, Leave, Disable, Enable };

struct Expect {
    Step step;
    int state;
    uint32_t shown;
};

struct Sequence {
    const char* name;
    std::vector<Expect> ordinary;  // in a plain parent
    std::vector<Expect> child;     // inside a refreshed skin window
};

// Events as the system delivers them to the button, one message each.
void Perform(HWND button, Step step) {
    switch (step) {
        case Step::Move:
            SendMessageA(button, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
            break;
        case Step::MoveOutside:
            SendMessageA(button, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(200, 200));
            break;
        case Step::Down:
            SendMessageA(button, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
            break;
        case Step::Up:
            SendMessageA(button, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
            break;
        case Step::Leave:
            SendMessageA(button, WM_MOUSELEAVE, 0, 0);
            break;
        case Step::Disable:
            EnableWindow(button, FALSE);
            break;
        case Step::Enable:
            EnableWindow(button, TRUE);
            break;
    }
}

const Sequence kSequences[] = {
    {"hover once per entry, then leave",
     {{Step::Move, 1, kHover}, {Step::Move, 1, kHover}, {Step::Leave, 0, kNormal}},
     {{Step::Move, 1, kHover}, {Step::Move, 1, kHover}, {Step::Leave, 0, kNormal}}},
    {"press and release over the button",
     {{Step::Move, 1, kHover}, {Step::Down, 2, kPressed}, {Step::Up, 1, kHover}},
     {{Step::Move, 1, kHover}, {Step::Down, 2, kPressed}, {Step::Up, 1, kHover}}},
    // Dragged out, the plain button un-pushes itself (BM_SETSTATE) and shows
    // hover while it keeps the focus; in child mode the press stays until release.
    {"press, drag outside, release",
     {{Step::Down, 2, kPressed}, {Step::MoveOutside, 1, kHover}, {Step::Up, 0, kNormal}},
     {{Step::Down, 2, kPressed}, {Step::MoveOutside, 2, kPressed}, {Step::Up, 1, kHover}}},
    {"disable and enable",
     {{Step::Disable, 3, kDisabled}, {Step::Enable, 0, kNormal}},
     {{Step::Disable, 3, kDisabled}, {Step::Enable, 0, kNormal}}},
};

class ButtonStates : public testing::TestWithParam<bool> {
protected:
    void SetUp() override {
        // The real pointer stays away: only the messages of each step reach the button.
        SetCursorPos(0, 0);
        if (childMode()) {
            window_.Attach(host_.Get());
            window_.SetBackImage(SolidPicture(100, 40, 0xFF000000));
        }
    }
    bool childMode() const { return GetParam(); }

    // A button showing its normal picture, ready for events.
    HWND MakeButton(skin::SkinButton& button, const skin::ButtonImages& images) {
        HWND window = button.Create(host_.Get(), kButtonLeft, kButtonTop, kButtonSize, kButtonSize, "");
        button.SetImages(images);
        if (childMode()) {
            window_.Refresh();
        }
        EXPECT_TRUE(testing_support::PumpUntil([&] { return Shown() == kNormal; }));
        return window;
    }
    // A plain parent is read through its own DC; a layered window from the screen.
    uint32_t Shown() const {
        if (childMode()) {
            return ScreenPixel(kHostLeft + kButtonLeft + 10, kHostTop + kButtonTop + 10);
        }
        HDC hdc = GetDC(host_.Get());
        COLORREF color = GetPixel(hdc, kButtonLeft + 10, kButtonTop + 10);
        ReleaseDC(host_.Get(), hdc);
        return (GetRValue(color) << 16) | (GetGValue(color) << 8) | GetBValue(color);
    }

    HostWindow host_{kHostLeft, kHostTop, 100, 40};
    skin::SkinWindow window_;
};

TEST_P(ButtonStates, EventsSelectTheirPictures) {
    for (const Sequence& sequence : kSequences) {
        SCOPED_TRACE(sequence.name);
        skin::SkinButton button;
        HWND window = MakeButton(button, {.normal = SolidPicture(kButtonSize, kButtonSize, 0xFF000000 | kNormal),
                                          .hover = SolidPicture(kButtonSize, kButtonSize, 0xFF000000 | kHover),
                                          .pressed = SolidPicture(kButtonSize, kButtonSize, 0xFF000000 | kPressed),
                                          .disabled = SolidPicture(kButtonSize, kButtonSize, 0xFF000000 | kDisabled)});
        for (const Expect& expect : childMode() ? sequence.child : sequence.ordinary) {
            SCOPED_TRACE(static_cast<int>(expect.step));
            Perform(window, expect.step);
            EXPECT_EQ(skin::GetSkinProp(window, skin::kPropDrawState), expect.state);
            EXPECT_EQ(Shown(), expect.shown) << std::hex << Shown();
        }
        ReleaseCapture();
        DestroyWindow(window);
    }
}

TEST_P(ButtonStates, OnlyANormalPictureShowsInEveryState) {
    skin::SkinButton button;
    HWND window = MakeButton(button, {.normal = SolidPicture(kButtonSize, kButtonSize, 0xFF000000 | kNormal)});
    for (Step step : {Step::Move, Step::Down, Step::Disable}) {
        Perform(window, step);
        EXPECT_EQ(Shown(), kNormal) << static_cast<int>(step);
    }
    EnableWindow(window, TRUE);
    ReleaseCapture();
}

INSTANTIATE_TEST_SUITE_P(Modes, ButtonStates, testing::Values(false, true),
                         [](const testing::TestParamInfo<bool>& info) { return info.param ? "Child" : "Ordinary"; });

TEST(SkinButton, AttachingTwiceSubclassesOnce) {
    HostWindow host(10, 10, 100, 40);
    HWND window = MakeChild(host.Get(), "Button", 0, 10, 10, 20, 20);
    auto classProcedure = GetWindowLongPtrA(window, GWLP_WNDPROC);
    skin::SkinButton button;
    button.Attach(window);
    button.Attach(window);
    EXPECT_EQ(GetWindowLongPtrA(window, GWLP_WNDPROC), reinterpret_cast<LONG_PTR>(skin::ButtonWndProc));
    EXPECT_EQ(skin::GetSkinProp(window, skin::kPropWndProc), classProcedure);
    EXPECT_EQ(GetWindowLongPtrA(window, GWL_STYLE) & BS_TYPEMASK, BS_OWNERDRAW);
}

TEST(SkinButton, SettingOnePictureLeavesTheOthersAndWaitsForTheNextComposition) {
    HostWindow host(kHostLeft, kHostTop, 100, 40);
    SetCursorPos(0, 0);
    skin::SkinWindow skinWindow;
    skinWindow.Attach(host.Get());
    skin::SkinButton button;
    HWND window = button.Create(host.Get(), kButtonLeft, kButtonTop, kButtonSize, kButtonSize, "");
    skin::SkinImage normal = SolidPicture(kButtonSize, kButtonSize, 0xFF000000 | kNormal);
    skin::SkinImage pressed = SolidPicture(kButtonSize, kButtonSize, 0xFF000000 | kPressed);
    button.SetImages({.normal = normal, .pressed = pressed});
    skinWindow.Refresh();
    skin::SetDrawState(window, skin::kStateHover, false);
    skinWindow.Refresh();
    EXPECT_EQ(ScreenPixel(kHostLeft + kButtonLeft + 10, kHostTop + kButtonTop + 10), kNormal);

    button.SetImages({.hover = SolidPicture(kButtonSize, kButtonSize, 0xFF000000 | kHover)});
    EXPECT_EQ(skin::GetSkinProp(window, skin::kPropNormalImage), reinterpret_cast<intptr_t>(normal));
    EXPECT_EQ(skin::GetSkinProp(window, skin::kPropDownImage), reinterpret_cast<intptr_t>(pressed));
    EXPECT_EQ(ScreenPixel(kHostLeft + kButtonLeft + 10, kHostTop + kButtonTop + 10), kNormal);
    skinWindow.Refresh();
    EXPECT_EQ(ScreenPixel(kHostLeft + kButtonLeft + 10, kHostTop + kButtonTop + 10), kHover);
}

}  // namespace
