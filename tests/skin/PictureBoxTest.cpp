// The picture box: fitting, placement by background mode, cached painting.
#include <gtest/gtest.h>

#include "tests/skin/SkinTestSupport.h"
#include "tests/support/WineTest.h"

namespace {

using namespace skin_test;

TEST(FitSize, ShrinksToFitAndNeverEnlarges) {
    const struct {
        int pictureWidth, pictureHeight, boxWidth, boxHeight, fittedWidth, fittedHeight;
    } cases[] = {
        {100, 50, 60, 60, 60, 30},  // too wide
        {40, 20, 60, 60, 40, 20},   // fits: kept
        {50, 100, 60, 60, 30, 60},  // too tall
        {207, 20, 100, 20, 100, 9},
        {300, 300, 60, 30, 30, 30},  // too wide, then still too tall
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.pictureWidth) + "x" + std::to_string(c.pictureHeight));
        SIZE fitted = skin::FitSize(c.pictureWidth, c.pictureHeight, c.boxWidth, c.boxHeight);
        EXPECT_EQ(fitted.cx, c.fittedWidth);
        EXPECT_EQ(fitted.cy, c.fittedHeight);
    }
}

// A 32-bit DIB to paint into and read back.
class Canvas {
public:
    Canvas(int width, int height) : width_(width) {
        BITMAPINFO info{};
        info.bmiHeader = {sizeof info.bmiHeader, width, -height, 1, 32, BI_RGB};
        HDC screen = GetDC(nullptr);
        hdc_ = CreateCompatibleDC(screen);
        ReleaseDC(nullptr, screen);
        bitmap_ = CreateDIBSection(hdc_, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits_), nullptr, 0);
        previous_ = SelectObject(hdc_, bitmap_);
    }
    ~Canvas() {
        SelectObject(hdc_, previous_);
        DeleteObject(bitmap_);
        DeleteDC(hdc_);
    }
    HDC Get() const { return hdc_; }
    uint32_t Pixel(int x, int y) const {
        GdiFlush();
        return bits_[y * width_ + x] & 0xFFFFFF;
    }

private:
    int width_;
    HDC hdc_;
    HBITMAP bitmap_;
    HGDIOBJ previous_;
    uint32_t* bits_ = nullptr;
};

TEST(PaintFromCache, PlacesThePictureByTheBackgroundMode) {
    constexpr int kEdgeBand = 3;
    HostWindow host(10, 10, 300, 200);
    struct Case {
        const char* name;
        intptr_t mode;
        int pictureWidth, pictureHeight, boxWidth, boxHeight;
        RECT drawn;
    };
    const Case cases[] = {
        {"fitted, wide", skin::kBackFitted, 100, 50, 60, 60, {0, 15, 60, 45}},
        {"fitted, small", skin::kBackFitted, 40, 20, 60, 60, {10, 20, 50, 40}},
        {"fitted, tall", skin::kBackFitted, 50, 100, 60, 60, {15, 0, 45, 60}},
        {"natural, cut off", skin::kBackNatural, 207, 20, 100, 20, {0, 0, 100, 20}},
        {"natural, small", skin::kBackNatural, 40, 20, 60, 60, {0, 0, 40, 20}},
        {"stretched", skin::kBackStretched, 120, 90, 60, 60, {0, 0, 60, 60}},
        {"mode 3 acts as natural", 3, 40, 20, 60, 60, {0, 0, 40, 20}},
        {"mode -1 acts as natural", -1, 40, 20, 60, 60, {0, 0, 40, 20}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        skin::SkinPictureBox box;
        HWND window = box.Create(host.Get(), 5, 5, c.boxWidth, c.boxHeight);
        box.SetBackType(c.mode);
        Canvas canvas(c.boxWidth, c.boxHeight);
        skin::SnapshotBackground(window, canvas.Get());  // an all-black backdrop
        skin::PaintFromCache(window, canvas.Get(), SolidPicture(c.pictureWidth, c.pictureHeight, 0xFFFF0000));
        for (int y = 0; y < c.boxHeight; ++y) {
            for (int x = 0; x < c.boxWidth; ++x) {
                bool inside = x >= c.drawn.left && x < c.drawn.right && y >= c.drawn.top && y < c.drawn.bottom;
                // Resampling softens a band along the picture's own edges.
                bool nearEdge = x < c.drawn.left + kEdgeBand || x >= c.drawn.right - kEdgeBand ||
                                y < c.drawn.top + kEdgeBand || y >= c.drawn.bottom - kEdgeBand;
                if (inside && nearEdge) {
                    continue;
                }
                ASSERT_EQ(canvas.Pixel(x, y), inside ? 0xFF0000u : 0u) << "at " << x << "," << y;
            }
        }
        DestroyWindow(window);
    }
}

TEST(PaintFromCache, WithoutASnapshotDrawsNothing) {
    HostWindow host(10, 10, 100, 100);
    skin::SkinPictureBox box;
    HWND window = box.Create(host.Get(), 0, 0, 20, 20);
    skin::DeleteCacheBitmap(window);
    Canvas canvas(20, 20);
    RECT all{0, 0, 20, 20};
    FillRect(canvas.Get(), &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    skin::PaintFromCache(window, canvas.Get(), SolidPicture(20, 20, 0xFFFF0000));
    EXPECT_EQ(canvas.Pixel(10, 10), 0xFFFFFFu);
}

uint32_t WindowPixel(HWND window, int x, int y) {
    HDC hdc = GetDC(window);
    COLORREF color = GetPixel(hdc, x, y);
    ReleaseDC(window, hdc);
    return (GetRValue(color) << 16) | (GetGValue(color) << 8) | GetBValue(color);
}

TEST(SkinPictureBox, NewPictureShowsOverTheParentNeverOverTheOldPicture) {
    HostWindow host(40, 40, 200, 60, true);
    skin::SkinPictureBox box;
    HWND window = box.Create(host.Get(), 20, 10, 100, 40);
    // Opaque blue first; then a picture whose right half is transparent.
    box.SetBackImage(SolidPicture(100, 40, 0xFF0000FF));
    ASSERT_TRUE(testing_support::PumpUntil([&] { return WindowPixel(host.Get(), 100, 30) == 0x0000FFu; }));
    box.SetBackImageFromBytes(MakePng(100, 40, [](int x, int) { return x < 50 ? 0xFF00FF00u : 0x00000000u; }));
    EXPECT_TRUE(testing_support::PumpUntil([&] {
        return WindowPixel(host.Get(), 30, 30) == 0x00FF00u &&
               WindowPixel(host.Get(), 100, 30) == Rgb(GradientColorAt(100)) &&
               WindowPixel(host.Get(), 110, 20) == Rgb(GradientColorAt(110));
    })) << std::hex << WindowPixel(host.Get(), 100, 30) << " wanted " << Rgb(GradientColorAt(100));
    (void)window;
}

}  // namespace
