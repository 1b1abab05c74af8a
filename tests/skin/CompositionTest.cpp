// Composing a layered window from its background and skinned children.
#include <objidl.h>

#include <gdiplus.h>
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "tests/skin/SkinTestSupport.h"
#include "tests/support/WineTest.h"

namespace {

using namespace skin_test;

constexpr const char* kInstalledFace = "WenQuanYi Micro Hei";

TEST(ToArgb, MovesRedToTheHighByteAndTakesTheAlpha) {
    const struct {
        int32_t color;
        int alpha;
        uint32_t argb;
    } cases[] = {
        {0x0000FF, 255, 0xFFFF0000},
        {0x7B8084, 255, 0xFF84807B},
        {0xFF0000, 0x80, 0x800000FF},
        {0x00FF00, 0, 0x0000FF00},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(skin::ToArgb(c.color, c.alpha), c.argb) << std::hex << c.color;
    }
}

// Counts the pixels with any alpha inside [left, right) x [top, bottom).
int InkIn(const skin::Frame& frame, int left, int top, int right, int bottom) {
    int ink = 0;
    for (int y = top; y < bottom; ++y) {
        for (int x = left; x < right; ++x) {
            ink += (FramePixel(frame, x, y) >> 24) != 0;
        }
    }
    return ink;
}

TEST(ComposeWindow, WindowWithNothingIsFullyTransparent) {
    HostWindow host(10, 10, 40, 30);
    HWND plain = MakeChild(host.Get(), "Static", 0, 0, 0, 20, 20, "not skinned");
    skin::Frame frame = skin::ComposeWindow(host.Get(), true);
    ASSERT_TRUE(frame);
    EXPECT_EQ(InkIn(frame, 0, 0, 40, 30), 0);
    (void)plain;
}

TEST(ComposeWindow, BackgroundCoversTheWholeWindowUnderTheChildren) {
    HostWindow host(10, 10, 60, 40);
    skin::SkinPictureBox box;
    box.Create(host.Get(), 40, 0, 20, 10);
    box.SetBackImage(SolidPicture(20, 10, 0xFF00FF00));
    // Smaller than the window (stretched), and of the window's own size with
    // see-through pixels, which must come out exactly as they are.
    skin::SkinImage smaller = SolidPicture(20, 10, 0xFF0000FF);
    skin::SkinImage sameSize =
        skin::LoadImageFromBytes(MakePng(60, 40, [](int x, int y) { return y < 20 ? 0x03FFFFFFu : 0x80000000u | x; }));
    const struct {
        const char* name;
        skin::SkinImage back;
        uint32_t top, bottom;
    } cases[] = {{"smaller", smaller, 0xFF0000FF, 0xFF0000FF}, {"same size", sameSize, 0x03FFFFFF, 0x8000001E}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        skin::SetSkinProp(host.Get(), skin::kPropBackImage, reinterpret_cast<intptr_t>(c.back));
        skin::Frame frame = skin::ComposeWindow(host.Get(), true);
        EXPECT_EQ(FramePixel(frame, 30, 5), c.top);
        EXPECT_EQ(FramePixel(frame, 30, 35), c.bottom);
        EXPECT_EQ(FramePixel(frame, 50, 5), 0xFF00FF00u);
    }
}

TEST(ComposeWindow, LowerChildInTheZOrderEndsUpOnTop) {
    HostWindow host(10, 10, 100, 60);
    skin::SkinPictureBox red, green;
    HWND redWindow = red.Create(host.Get(), 10, 10, 40, 20);
    HWND greenWindow = green.Create(host.Get(), 30, 10, 40, 20);
    red.SetBackImage(SolidPicture(40, 20, 0xFFFF0000));
    green.SetBackImage(SolidPicture(40, 20, 0xFF00FF00));
    const struct {
        HWND top;
        uint32_t overlap;  // the colour of the child below
    } cases[] = {{redWindow, 0xFF00FF00}, {greenWindow, 0xFFFF0000}};
    for (const auto& c : cases) {
        SetWindowPos(c.top, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        skin::Frame frame = skin::ComposeWindow(host.Get(), true);
        EXPECT_EQ(FramePixel(frame, 40, 20), c.overlap);
        EXPECT_EQ(FramePixel(frame, 15, 20), 0xFFFF0000u);
        EXPECT_EQ(FramePixel(frame, 65, 20), 0xFF00FF00u);
    }
}

TEST(ComposeWindow, HiddenChildIsStillDrawn) {
    HostWindow host(10, 10, 100, 60);
    skin::SkinPictureBox box;
    HWND window = box.Create(host.Get(), 10, 10, 40, 20);
    box.SetBackImage(SolidPicture(40, 20, 0xFF123456));
    ShowWindow(window, SW_HIDE);
    skin::Frame frame = skin::ComposeWindow(host.Get(), true);
    EXPECT_EQ(FramePixel(frame, 20, 20), 0xFF123456u);
}

class EditComposition : public testing::Test {
protected:
    void SetUp() override {
        editWindow_ = MakeChild(host_.Get(), "Edit", ES_AUTOHSCROLL, kLeft, kTop, kWidth, kHeight);
        font_ = CreateFontA(-12, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, kInstalledFace);
        SendMessageA(editWindow_, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
        edit_.Attach(editWindow_);
    }
    void TearDown() override {
        DestroyWindow(editWindow_);
        DeleteObject(font_);
    }
    static constexpr int kLeft = 10, kTop = 10, kWidth = 100, kHeight = 24;
    HostWindow host_{10, 10, 140, 50};
    HWND editWindow_ = nullptr;
    HFONT font_ = nullptr;
    skin::SkinEditBox edit_;
};

TEST_F(EditComposition, OversizedPictureInModeZeroHidesBorderAndText) {
    SetWindowTextA(editWindow_, "abc");
    edit_.SetBackImage(SolidPicture(150, 40, 0xFF0000FF));
    skin::Frame frame = skin::ComposeWindow(host_.Get(), true);
    EXPECT_EQ(FramePixel(frame, kLeft + 1, kTop + 1), 0xFF0000FFu);
    EXPECT_EQ(FramePixel(frame, kLeft + kWidth - 1, kTop + kHeight - 1), 0xFF0000FFu);
    // No picture beyond the box, no border one pixel outside it, no text.
    EXPECT_EQ(InkIn(frame, kLeft + kWidth, kTop, kLeft + kWidth + 2, kTop + kHeight + 2), 0);
    EXPECT_EQ(InkIn(frame, kLeft, kTop + kHeight, kLeft + kWidth, kTop + kHeight + 2), 0);
    EXPECT_EQ(InkIn(frame, kLeft + 2, kTop + 2, kLeft + 40, kTop + kHeight - 2),
              (40 - 2) * (kHeight - 4));  // all solid blue, no text pixels
    EXPECT_EQ(FramePixel(frame, kLeft + 5, kTop + kHeight / 2), 0xFF0000FFu);
}

TEST_F(EditComposition, FillAndBorderCarryTheirOwnAlphas) {
    edit_.SetBackColor(0x00FF00, 128);
    edit_.SetOrderColor(0x0000FF, 200);
    skin::Frame frame = skin::ComposeWindow(host_.Get(), true);
    EXPECT_TRUE(Near(FramePixel(frame, kLeft + 20, kTop + 10), 0x8000FF00)) << std::hex
                                                                           << FramePixel(frame, kLeft + 20, kTop + 10);
    // The outline's right and bottom lines lie one pixel outside the box.
    EXPECT_EQ(FramePixel(frame, kLeft + kWidth, kTop + 10), 0xC8FF0000u);
    EXPECT_EQ(FramePixel(frame, kLeft + 20, kTop + kHeight), 0xC8FF0000u);
    EXPECT_EQ(FramePixel(frame, kLeft + kWidth + 1, kTop + 10), 0u);
    EXPECT_EQ(InkIn(frame, 0, 0, kLeft, 50), 0);
}

TEST_F(EditComposition, NothingDrawnForNoFillNoBorderAndNoText) {
    edit_.SetBackColor(skin::kNoColor);
    edit_.SetOrderColor(skin::kNoColor);
    skin::Frame frame = skin::ComposeWindow(host_.Get(), true);
    EXPECT_EQ(InkIn(frame, 0, 0, 140, 50), 0);
}

struct InkBox {
    int left = 1 << 20, top = 1 << 20, right = -1, bottom = -1;
    uint32_t strongest = 0;
};

InkBox FindInk(const skin::Frame& frame, int width, int height) {
    InkBox box;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            uint32_t pixel = FramePixel(frame, x, y);
            if ((pixel >> 24) == 0) {
                continue;
            }
            box.left = std::min(box.left, x);
            box.top = std::min(box.top, y);
            box.right = std::max(box.right, x + 1);
            box.bottom = std::max(box.bottom, y + 1);
            if ((pixel >> 24) > (box.strongest >> 24)) {
                box.strongest = pixel;
            }
        }
    }
    return box;
}

TEST_F(EditComposition, TextIsDrawnTwoPixelsInsideVerticallyCentredInItsColour) {
    edit_.SetBackColor(skin::kNoColor);
    edit_.SetOrderColor(skin::kNoColor);
    edit_.SetTextColor(0x0000FF);
    SetWindowTextA(editWindow_, "HHH");
    skin::Frame frame = skin::ComposeWindow(host_.Get(), true);
    InkBox ink = FindInk(frame, 140, 50);
    ASSERT_GT(ink.right, 0) << "no text drawn";
    EXPECT_GE(ink.left, kLeft + 2);
    EXPECT_LE(ink.left, kLeft + 5);
    EXPECT_LE(ink.right, kLeft + 40);  // three letters at the left, not centred
    int inkMiddle2 = ink.top + ink.bottom;
    EXPECT_NEAR(inkMiddle2, 2 * kTop + kHeight, 4);
    EXPECT_EQ(ink.strongest & 0xFFFFFF, 0xFF0000u);
}

TEST_F(EditComposition, TextShowsEvenWhenTheEditFontIsNotInstalledForGdiplus) {
    edit_.SetBackColor(skin::kNoColor);
    edit_.SetOrderColor(skin::kNoColor);
    SendMessageA(editWindow_, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
    SetWindowTextA(editWindow_, "\xC7\xE0\xC9\xBD");  // "青山"
    skin::Frame frame = skin::ComposeWindow(host_.Get(), true);
    EXPECT_GT(InkIn(frame, kLeft + 2, kTop + 2, kLeft + kWidth - 2, kTop + kHeight - 2), 10);
}

TEST(ComposeWindow, FromAnotherThreadGivesTheSamePicture) {
    HostWindow host(10, 10, 120, 40);
    skin::SkinWindow window;
    ASSERT_TRUE(window.Attach(host.Get()));
    skin::SkinPictureBox box;
    box.Create(host.Get(), 10, 10, 60, 20);
    box.SetBackImage(SolidPicture(60, 20, 0x80FF8000));
    skin::Frame here = skin::ComposeWindow(host.Get(), true);
    skin::Frame there;
    std::atomic<bool> done{false};
    std::thread other([&] {
        there = skin::ComposeWindow(host.Get(), true);
        done = true;
    });
    ASSERT_TRUE(testing_support::PumpUntil([&] { return done.load(); }));
    other.join();
    ASSERT_TRUE(there);
    for (int y = 0; y < 40; y += 3) {
        for (int x = 0; x < 120; x += 3) {
            ASSERT_EQ(FramePixel(there, x, y), FramePixel(here, x, y)) << x << "," << y;
        }
    }
}

}  // namespace
