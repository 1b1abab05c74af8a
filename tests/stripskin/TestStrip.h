// A strip window made as the strip makes its own (the window definition's
// controls at their places, later rows copied from the first), driven through
// the skinned strip skin in the order the strip calls it.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "skin/core/SkinCore.h"
#include "strip/Strip.h"

namespace stripskin_test {

// The texts the strip shows, as GBK.
inline constexpr const char* kGbkSlogan = "      \xC7\xE0\xC9\xBD\xB3\xA3\xD4\xDA   \xC2\xCC\xCB\xAE\xB3\xA4\xC1\xF7 ";
inline constexpr const char* kGbkNewRowText = "\xC7\xEB\xD4\xDA\xB4\xCB\xCA\xE4\xC8\xEB";
inline constexpr int32_t kWhite = 0xFFFFFF;

class TestStrip {
public:
    // The strip at (left, top) of the screen, built as from no config file:
    // one row showing the slogan in white, shown without taking activation.
    explicit TestStrip(int left = 40, int top = 40);
    ~TestStrip();
    TestStrip(const TestStrip&) = delete;
    TestStrip& operator=(const TestStrip&) = delete;

    strip::StripState& State() { return *state_; }
    strip::StripSkin& Skin() { return *state_->Skin; }
    HWND Hwnd() const { return state_->StripHwnd; }

    // `AddRow`'s window and skin steps; the new row shows "请在此输入".
    void AddRow();
    // `DeleteRow` and `ShiftRowsUp` for row r >= 2: each control below moves
    // up 10 pixels itself, and `PlaceRowControl` takes it the other 10.
    void DeleteRow(int row);

    // Row r's controls (r >= 1).
    HWND Frame(int row) const;
    HWND EditBox(int row) const;
    HWND ClockButton(int row) const;
    HWND DeleteButton(int row) const;

    // The frame the strip would present now, composed afresh.
    skin::Frame Compose() const;

private:
    std::unique_ptr<strip::StripState> state_;
};

// A control's place in its parent's client pixels.
RECT PlaceInParent(HWND control);

// A composed frame or a picture as 0xAARRGGBB rows, read once.
struct Pixels {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> argb;
    uint32_t At(int x, int y) const { return argb[static_cast<size_t>(y) * width + x]; }
    static Pixels Of(skin::SkinImage picture);
    static Pixels Of(const skin::Frame& frame);
    // What the screen shows of a window now (opaque: layered pixels are
    // blended over what lies behind).
    static Pixels OnScreen(HWND window);
};

}  // namespace stripskin_test
