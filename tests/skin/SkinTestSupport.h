// Helpers of the skin tests: pictures made on the spot, host windows, pixels.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "skin/controls/SkinControls.h"
#include "skin/core/SkinCore.h"

namespace skin_test {

using PixelFunction = std::function<uint32_t(int x, int y)>;  // 0xAARRGGBB

// A PNG file of the given size, encoded by GDI+. The bytes live as long as
// the process (the shared picture store keys pictures by their address).
const std::vector<unsigned char>& MakePng(int width, int height, const PixelFunction& pixel);
const std::vector<unsigned char>& MakeSolidPng(int width, int height, uint32_t argb);
// A decoded picture of its own (disposed with the process).
skin::SkinImage SolidPicture(int width, int height, uint32_t argb);

uint32_t FramePixel(const skin::Frame& frame, int x, int y);
// Pixels read back from the screen (what a user sees), 0x00RRGGBB.
uint32_t ScreenPixel(int x, int y);

// A visible top-level popup window at a fixed screen place, destroyed with
// the object. `gradient` makes it paint a left-to-right grey ramp.
class HostWindow {
public:
    HostWindow(int left, int top, int width, int height, bool gradient = false);
    ~HostWindow();
    HostWindow(const HostWindow&) = delete;
    HostWindow& operator=(const HostWindow&) = delete;
    HWND Get() const { return hwnd_; }
    // Number of WM_PAINT messages its own procedure has handled.
    int PaintCount() const;

private:
    HWND hwnd_ = nullptr;
};

// The colour a gradient host paints at client column x.
COLORREF GradientColorAt(int x);
inline uint32_t Rgb(COLORREF color) { return (GetRValue(color) << 16) | (GetGValue(color) << 8) | GetBValue(color); }

HWND MakeChild(HWND parent, const char* className, DWORD style, int left, int top, int width, int height,
               const char* gbkText = "");

inline bool Near(uint32_t actual, uint32_t expected, int tolerance = 2) {
    for (int shift = 0; shift < 32; shift += 8) {
        int a = static_cast<int>((actual >> shift) & 0xFF);
        int e = static_cast<int>((expected >> shift) & 0xFF);
        if (a - e > tolerance || e - a > tolerance) {
            return false;
        }
    }
    return true;
}

}  // namespace skin_test
