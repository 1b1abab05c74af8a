// The skinned strip read back from its composed frames: backgrounds by row
// count, row frames, clock faces, text colours, and where the mouse can act.
#include <objidl.h>

#include <gdiplus.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <functional>
#include <vector>

#include "resources/Pictures.h"
#include "skin/core/SkinCore.h"
#include "tests/stripskin/TestStrip.h"
#include "tests/support/WineTest.h"

namespace {

using namespace stripskin_test;
using resources::Picture;
using strip::FrameLook;

int Channel(uint32_t argb, int shift) { return static_cast<int>((argb >> shift) & 0xFF); }
int Alpha(uint32_t argb) { return Channel(argb, 24); }

bool Near(uint32_t actual, uint32_t expected, int tolerance = 2) {
    for (int shift = 0; shift < 32; shift += 8) {
        if (std::abs(Channel(actual, shift) - Channel(expected, shift)) > tolerance) {
            return false;
        }
    }
    return true;
}

// The strokes of 12-pixel text are thin: their cores are nearly, not fully, opaque.
bool IsWhiteInk(uint32_t argb) {
    return Alpha(argb) >= 200 && Channel(argb, 16) >= 200 && Channel(argb, 8) >= 200 && Channel(argb, 0) >= 200;
}
bool IsRedInk(uint32_t argb) {
    return Alpha(argb) >= 150 && Channel(argb, 16) >= 150 && Channel(argb, 8) < 90 && Channel(argb, 0) < 90;
}

// The embedded picture as the skin module decodes it.
Pixels PicturePixels(Picture picture) {
    return Pixels::Of(skin::SharedImageFromBytes(resources::PictureBytes(picture)));
}

skin::SkinImage BackgroundShown(HWND strip) {
    return reinterpret_cast<skin::SkinImage>(skin::GetSkinProp(strip, skin::kPropBackImage));
}

int HeightOf(skin::SkinImage picture) {
    UINT height = 0;
    Gdiplus::DllExports::GdipGetImageHeight(picture, &height);
    return static_cast<int>(height);
}

bool Inside(const RECT& rect, int x, int y) { return x >= rect.left && x < rect.right && y >= rect.top && y < rect.bottom; }

int CountIn(const Pixels& pixels, const RECT& rect, const std::function<bool(uint32_t)>& wanted) {
    int count = 0;
    for (int y = rect.top; y < rect.bottom; ++y) {
        for (int x = rect.left; x < rect.right; ++x) {
            count += wanted(pixels.At(x, y)) ? 1 : 0;
        }
    }
    return count;
}

// Where an edit box's text goes: inset 2 pixels, left of the row's clock.
RECT TextArea(HWND editBox) {
    RECT place = PlaceInParent(editBox);
    return {place.left + 2, place.top + 2, 170, place.bottom - 2};
}

// The pixels that differ between two frames of the same size.
struct Difference {
    int count = 0;
    RECT bounds{INT_MAX, INT_MAX, INT_MIN, INT_MIN};
};

Difference Compare(const Pixels& before, const Pixels& after) {
    Difference difference;
    for (int y = 0; y < before.height; ++y) {
        for (int x = 0; x < before.width; ++x) {
            if (before.At(x, y) != after.At(x, y)) {
                ++difference.count;
                difference.bounds = {std::min<LONG>(difference.bounds.left, x), std::min<LONG>(difference.bounds.top, y),
                                     std::max<LONG>(difference.bounds.right, x + 1),
                                     std::max<LONG>(difference.bounds.bottom, y + 1)};
            }
        }
    }
    return difference;
}

bool Contains(const RECT& outer, const RECT& inner) {
    return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
           inner.bottom <= outer.bottom;
}

TEST(SkinnedStrip, FirstRunShowsTheOneRowBackgroundNormalFrameWhiteClockAndWhiteSlogan) {
    TestStrip strip;
    Pixels frame = Pixels::Of(strip.Compose());
    ASSERT_EQ(frame.width, 207);
    ASSERT_EQ(frame.height, 46);
    EXPECT_EQ(HeightOf(BackgroundShown(strip.Hwnd())), 46);

    // Logo band, clear gap and red line, away from the logo and the buttons.
    Pixels background = PicturePixels(Picture::StripBackground1);
    for (int y = 0; y < 20; ++y) {
        SCOPED_TRACE(y);
        EXPECT_TRUE(Near(frame.At(100, y), background.At(100, y))) << std::hex << frame.At(100, y);
    }

    // Every pixel of row 1's frame that neither the text nor the clock covers.
    Pixels normal = PicturePixels(Picture::FrameNormal);
    const RECT text = PlaceInParent(strip.EditBox(1));
    const RECT clock = PlaceInParent(strip.ClockButton(1));
    int compared = 0;
    for (int y = 26; y < 46; ++y) {
        for (int x = 0; x < 207; ++x) {
            if (!Inside(text, x, y) && !Inside(clock, x, y)) {
                ASSERT_TRUE(Near(frame.At(x, y), normal.At(x, y - 26))) << x << "," << y;
                ++compared;
            }
        }
    }
    EXPECT_GT(compared, 600);

    // The clock's opaque pixels are the white face's.
    Pixels white = PicturePixels(Picture::ClockWhite);
    for (int y = 0; y < 17; ++y) {
        for (int x = 0; x < 17; ++x) {
            if (Alpha(white.At(x, y)) == 255) {
                ASSERT_TRUE(Near(frame.At(clock.left + x, clock.top + y), white.At(x, y))) << x << "," << y;
            }
        }
    }

    EXPECT_GT(CountIn(frame, TextArea(strip.EditBox(1)), IsWhiteInk), 40);
    SetWindowTextA(strip.EditBox(1), "");
    EXPECT_EQ(CountIn(Pixels::Of(strip.Compose()), TextArea(strip.EditBox(1)), IsWhiteInk), 0);
}

// Attaching the skin window sets the layered style alone; the strip must
// still stay off the taskbar.
TEST(SkinnedStrip, StaysALayeredToolWindow) {
    TestStrip strip;
    const LONG_PTR exStyle = GetWindowLongPtrA(strip.Hwnd(), GWL_EXSTYLE);
    EXPECT_TRUE(exStyle & WS_EX_LAYERED);
    EXPECT_TRUE(exStyle & WS_EX_TOOLWINDOW);
    EXPECT_FALSE(exStyle & WS_EX_TOPMOST);
}

TEST(SkinnedStrip, BackgroundFitsTheRowCountUpTo41Rows) {
    TestStrip strip;
    skin::SkinImage background41 = nullptr;
    for (int rows = 2; rows <= 42; ++rows) {
        SCOPED_TRACE(rows);
        strip.AddRow();
        RECT place{};
        GetWindowRect(strip.Hwnd(), &place);
        ASSERT_EQ(place.bottom - place.top, 46 + 20 * (rows - 1));
        ASSERT_EQ(place.right - place.left, 207);
        skin::SkinImage shown = BackgroundShown(strip.Hwnd());
        if (rows <= 41) {
            ASSERT_EQ(HeightOf(shown), 46 + 20 * (rows - 1));
            background41 = shown;
        } else {
            EXPECT_EQ(shown, background41);
        }
        if (rows == 3) {
            // Its own picture, not the first one stretched: the red line stays on rows 18-19.
            Pixels frame = Pixels::Of(strip.Compose());
            EXPECT_TRUE(IsRedInk(frame.At(100, 18)));
            EXPECT_TRUE(IsRedInk(frame.At(100, 19)));
            EXPECT_EQ(Alpha(frame.At(100, 17)), 0);
        }
    }
}

// Every change of the row count shows the picture decoded the first time
// that count was shown; nothing more is decoded or kept.
TEST(SkinnedStrip, AddingAndDeletingRowsReusesEachBackgroundPicture) {
    constexpr int kMostRows = 6;
    TestStrip strip;
    std::vector<skin::SkinImage> firstRound(kMostRows + 1);
    auto round = [&](bool remember) {
        for (int rows = 2; rows <= kMostRows; ++rows) {
            strip.AddRow();
            skin::SkinImage shown = BackgroundShown(strip.Hwnd());
            if (remember) {
                firstRound[static_cast<size_t>(rows)] = shown;
            } else {
                ASSERT_EQ(shown, firstRound[static_cast<size_t>(rows)]) << rows;
            }
        }
        for (int rows = kMostRows - 1; rows >= 1; --rows) {
            strip.DeleteRow(rows + 1);
            ASSERT_EQ(HeightOf(BackgroundShown(strip.Hwnd())), 46 + 20 * (rows - 1));
        }
    };
    round(true);
    const skin::SkinHandleCounts settled = skin::CountSkinHandles();
    for (int i = 0; i < 3; ++i) {
        round(false);
    }
    EXPECT_EQ(skin::CountSkinHandles().gdiplusObjects, settled.gdiplusObjects);
    EXPECT_EQ(skin::CountSkinHandles().gdiObjects, settled.gdiObjects);
}

TEST(SkinnedStrip, ShowRowFrameChangesExactlyThatRowsFrame) {
    TestStrip strip;
    strip.AddRow();
    strip.AddRow();
    const Pixels normal = Pixels::Of(strip.Compose());
    const struct {
        FrameLook look;
        Picture picture;
    } looks[] = {{FrameLook::Red, Picture::FrameRed}, {FrameLook::Yellow, Picture::FrameYellow}};
    for (int row = 1; row <= 3; ++row) {
        const RECT frameRect = PlaceInParent(strip.Frame(row));
        for (const auto& look : looks) {
            SCOPED_TRACE(testing::Message() << "row " << row << " look " << static_cast<int>(look.look));
            strip.Skin().ShowRowFrame(row, look.look);
            strip.Skin().RefreshStrip();
            const Pixels shown = Pixels::Of(strip.Compose());
            const Difference difference = Compare(normal, shown);
            EXPECT_GT(difference.count, 400);
            EXPECT_TRUE(Contains(frameRect, difference.bounds));
            EXPECT_TRUE(Near(shown.At(100, frameRect.top), PicturePixels(look.picture).At(100, 0)));
        }
        strip.Skin().ShowRowFrame(row, FrameLook::Normal);
        strip.Skin().RefreshStrip();
        EXPECT_EQ(Compare(normal, Pixels::Of(strip.Compose())).count, 0) << "row " << row;
    }
}

TEST(SkinnedStrip, ShowRowReminderSwapsOnlyTheClockFace) {
    TestStrip strip;
    strip.AddRow();
    // As after a blink: the frame is red when the reminder is switched.
    strip.Skin().ShowRowFrame(2, FrameLook::Red);
    strip.Skin().RefreshStrip();
    const Pixels off = Pixels::Of(strip.Compose());
    const RECT clock = PlaceInParent(strip.ClockButton(2));
    const Pixels yellow = PicturePixels(Picture::ClockYellow);

    strip.Skin().ShowRowReminder(2, true);
    strip.Skin().RefreshStrip();
    const Pixels on = Pixels::Of(strip.Compose());
    const Difference difference = Compare(off, on);
    EXPECT_GT(difference.count, 50);
    EXPECT_TRUE(Contains(clock, difference.bounds));
    EXPECT_TRUE(Near(on.At(clock.left + 4, clock.top + 8), yellow.At(4, 8)));

    strip.Skin().ShowRowReminder(2, false);
    strip.Skin().RefreshStrip();
    EXPECT_EQ(Compare(off, Pixels::Of(strip.Compose())).count, 0);
}

TEST(SkinnedStrip, ShowRowTextColorThenRefreshRecoloursThatRowsText) {
    TestStrip strip;
    strip.AddRow();
    const RECT row1 = TextArea(strip.EditBox(1));
    const RECT row2 = TextArea(strip.EditBox(2));
    auto redOnScreen = [&] { return CountIn(Pixels::OnScreen(strip.Hwnd()), row2, IsRedInk); };
    ASSERT_TRUE(testing_support::PumpUntil(
        [&] { return CountIn(Pixels::OnScreen(strip.Hwnd()), row2, IsWhiteInk) > 40; }));

    const int32_t red = 0x0000FF;  // 0x00BBGGRR
    strip.Skin().ShowRowTextColor(2, red);
    // The strip's composition draws the text: the screen keeps the old
    // colour until the strip is refreshed.
    testing_support::PumpPending();
    EXPECT_EQ(redOnScreen(), 0);
    strip.Skin().RefreshStrip();
    EXPECT_TRUE(testing_support::PumpUntil([&] { return redOnScreen() > 30; }));

    const Pixels frame = Pixels::Of(strip.Compose());
    EXPECT_GT(CountIn(frame, row2, IsRedInk), 30);
    EXPECT_EQ(CountIn(frame, row2, IsWhiteInk), 0);
    EXPECT_GT(CountIn(frame, row1, IsWhiteInk), 40);
    EXPECT_EQ(CountIn(frame, row1, IsRedInk), 0);
}

TEST(SkinnedStrip, NewRowsTakeTheStripTextColor) {
    TestStrip strip;
    strip.State().StripTextColor = 0x0000FF;
    strip.AddRow();
    const Pixels frame = Pixels::Of(strip.Compose());
    EXPECT_GT(CountIn(frame, TextArea(strip.EditBox(2)), IsRedInk), 30);
    EXPECT_GT(CountIn(frame, TextArea(strip.EditBox(1)), IsWhiteInk), 40);
}

// A layered window lets the mouse through wherever its alpha is 0.
TEST(SkinnedStrip, EveryPlaceToClickOrDragHasAlpha) {
    TestStrip strip;
    strip.AddRow();
    strip.AddRow();
    const Pixels frame = Pixels::Of(strip.Compose());
    auto expectAlphaIn = [&](const char* what, RECT rect) {
        rect = {std::max<LONG>(rect.left, 0), std::max<LONG>(rect.top, 0), std::min<LONG>(rect.right, frame.width),
                std::min<LONG>(rect.bottom, frame.height)};
        EXPECT_EQ(CountIn(frame, rect, [](uint32_t argb) { return Alpha(argb) == 0; }), 0) << what;
    };
    expectAlphaIn("drag band", {0, 0, 207, 16});
    for (int row = 1; row <= 3; ++row) {
        SCOPED_TRACE(row);
        RECT inside = PlaceInParent(strip.Frame(row));
        expectAlphaIn("frame inside", {inside.left + 2, inside.top + 2, inside.right - 3, inside.bottom - 2});
        expectAlphaIn("edit box", PlaceInParent(strip.EditBox(row)));
        expectAlphaIn("clock", PlaceInParent(strip.ClockButton(row)));
        if (row >= 2) {
            expectAlphaIn("delete", PlaceInParent(strip.DeleteButton(row)));
        }
    }
    // The top buttons stand in the band; below it their round pictures leave
    // the corners of their rectangles clear, as the band's gap is.
    const strip::FirstRowControls& first = strip.State().FirstRow;
    for (HWND button : {first.AddButton, first.HelpButton, first.CloseButton}) {
        RECT place = PlaceInParent(button);
        expectAlphaIn("top button", {place.left, place.top, place.right, std::min<LONG>(place.bottom, 16)});
    }
}

TEST(SkinnedStrip, MouseReachesEachRowsControlsThroughItsFrame) {
    TestStrip strip(60, 80);
    strip.AddRow();
    strip.AddRow();
    testing_support::PumpPending();
    auto centre = [](HWND control) {
        RECT place{};
        GetWindowRect(control, &place);
        return POINT{(place.left + place.right) / 2, (place.top + place.bottom) / 2};
    };
    for (int row = 1; row <= 3; ++row) {
        SCOPED_TRACE(row);
        EXPECT_EQ(WindowFromPoint(centre(strip.EditBox(row))), strip.EditBox(row));
        EXPECT_EQ(WindowFromPoint(centre(strip.ClockButton(row))), strip.ClockButton(row));
        if (row >= 2) {
            EXPECT_EQ(WindowFromPoint(centre(strip.DeleteButton(row))), strip.DeleteButton(row));
        }
        // Left of the edit box the frame hands the press to the strip, which drags.
        RECT frame{};
        GetWindowRect(strip.Frame(row), &frame);
        EXPECT_EQ(WindowFromPoint(POINT{frame.left + 3, frame.top + 10}), strip.Hwnd());
    }
}

TEST(SkinnedStrip, DeletingARowKeepsTheSkinsInStepWithTheRowsBelow) {
    TestStrip strip;
    strip.AddRow();
    strip.AddRow();
    strip.Skin().ShowRowTextColor(3, 0x0000FF);
    strip.Skin().ShowRowReminder(3, true);
    HWND formerThirdEdit = strip.EditBox(3);
    strip.DeleteRow(2);

    ASSERT_EQ(strip.EditBox(2), formerThirdEdit);
    EXPECT_EQ(PlaceInParent(strip.Frame(2)).top, 46);
    for (HWND control : {strip.EditBox(2), strip.ClockButton(2), strip.DeleteButton(2)}) {
        EXPECT_EQ(PlaceInParent(control).top, 47);
    }
    EXPECT_EQ(HeightOf(BackgroundShown(strip.Hwnd())), 66);

    const Pixels before = Pixels::Of(strip.Compose());
    ASSERT_EQ(before.height, 66);
    EXPECT_GT(CountIn(before, TextArea(strip.EditBox(2)), IsRedInk), 30);
    const RECT clock = PlaceInParent(strip.ClockButton(2));
    EXPECT_TRUE(Near(before.At(clock.left + 4, clock.top + 8), PicturePixels(Picture::ClockYellow).At(4, 8)));

    strip.Skin().ShowRowFrame(2, FrameLook::Yellow);
    strip.Skin().RefreshStrip();
    const Difference difference = Compare(before, Pixels::Of(strip.Compose()));
    EXPECT_GT(difference.count, 400);
    EXPECT_TRUE(Contains(PlaceInParent(strip.Frame(2)), difference.bounds));
}

}  // namespace
