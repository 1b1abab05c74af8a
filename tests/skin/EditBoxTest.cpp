// The see-through edit box in a plain parent (child mode is in the
// composition and skin window tests).
#include <gtest/gtest.h>

#include "tests/skin/SkinTestSupport.h"
#include "tests/support/WineTest.h"

namespace {

using namespace skin_test;

uint32_t HostPixel(HWND host, int x, int y) {
    HDC hdc = GetDC(host);
    COLORREF color = GetPixel(hdc, x, y);
    ReleaseDC(host, hdc);
    return (GetRValue(color) << 16) | (GetGValue(color) << 8) | GetBValue(color);
}

TEST(SkinEditBox, AttachSetsTheDefaults) {
    HostWindow host(10, 10, 200, 60);
    HWND window = MakeChild(host.Get(), "Edit", 0, 10, 10, 100, 20);
    skin::SkinEditBox edit;
    edit.Attach(window);
    const struct {
        const char* name;
        intptr_t value;
    } expected[] = {
        {skin::kPropType, skin::kTypeEditBox}, {skin::kPropBackColor, 0xFFFFFF}, {skin::kPropBackAlpha, 255},
        {skin::kPropOrderColor, 0x7B8084},     {skin::kPropOrderAlpha, 255},     {skin::kPropTextColor, 0},
    };
    for (const auto& e : expected) {
        EXPECT_EQ(skin::GetSkinProp(window, e.name), e.value) << e.name;
    }
    EXPECT_EQ(GetWindowLongPtrA(window, GWLP_WNDPROC), reinterpret_cast<LONG_PTR>(skin::EditFrameWndProc));
}

TEST(SkinEditBox, InsideAComposingParentGoesStraightToChildMode) {
    HostWindow host(10, 10, 200, 60);
    skin::SetSkinProp(host.Get(), skin::kPropType, skin::kTypeComposingParent);
    HWND window = MakeChild(host.Get(), "Edit", 0, 10, 10, 100, 20);
    LONG_PTR classProcedure = GetWindowLongPtrA(window, GWLP_WNDPROC);
    skin::SkinEditBox edit;
    edit.Attach(window);
    EXPECT_EQ(static_cast<int32_t>(skin::GetSkinProp(window, skin::kPropBackColor)), skin::kNoColor);
    EXPECT_EQ(GetWindowLongPtrA(window, GWLP_WNDPROC), reinterpret_cast<LONG_PTR>(skin::EditChildWndProc));
    EXPECT_EQ(skin::GetSkinProp(window, skin::kPropChildWndProc), classProcedure);
    EXPECT_EQ(skin::GetSkinProp(window, skin::kPropWndProc), 0);
}

TEST(SkinEditBox, OpacitiesAreClampedAndKeptWhenNotGiven) {
    HostWindow host(10, 10, 200, 60);
    HWND window = MakeChild(host.Get(), "Edit", 0, 10, 10, 100, 20);
    skin::SkinEditBox edit;
    edit.Attach(window);
    const struct {
        std::optional<int> given;
        intptr_t stored;
    } cases[] = {{300, 255}, {-5, 0}, {std::nullopt, 0}, {77, 77}, {std::nullopt, 77}};
    for (const auto& c : cases) {
        edit.SetBackColor(0x123456, c.given);
        edit.SetOrderColor(0x654321, c.given);
        EXPECT_EQ(skin::GetSkinProp(window, skin::kPropBackAlpha), c.stored);
        EXPECT_EQ(skin::GetSkinProp(window, skin::kPropOrderAlpha), c.stored);
    }
}

TEST(SkinEditBox, PaintsItsFillAndBorderInAPlainParent) {
    HostWindow host(10, 10, 200, 60, true);
    HWND window = MakeChild(host.Get(), "Edit", 0, 20, 10, 100, 24);
    skin::SkinEditBox edit;
    edit.Attach(window);
    EXPECT_TRUE(testing_support::PumpUntil([&] {
        return HostPixel(host.Get(), 20, 10) == 0x84807B && HostPixel(host.Get(), 119, 33) == 0x84807B &&
               HostPixel(host.Get(), 90, 20) == 0xFFFFFF;
    })) << std::hex << HostPixel(host.Get(), 20, 10) << " " << HostPixel(host.Get(), 90, 20);
}

TEST(SkinEditBox, WithoutFillAndBorderTheParentShowsThrough) {
    HostWindow host(10, 10, 200, 60, true);
    HWND window = MakeChild(host.Get(), "Edit", 0, 20, 10, 100, 24, "abc");
    skin::SkinEditBox edit;
    edit.Attach(window);
    edit.SetBackColor(skin::kNoColor);
    edit.SetOrderColor(skin::kNoColor);
    RedrawWindow(host.Get(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_FRAME);
    EXPECT_TRUE(testing_support::PumpUntil([&] {
        return HostPixel(host.Get(), 20, 10) == Rgb(GradientColorAt(20)) &&
               HostPixel(host.Get(), 100, 20) == Rgb(GradientColorAt(100));
    })) << std::hex << HostPixel(host.Get(), 20, 10) << " " << HostPixel(host.Get(), 100, 20);
}

}  // namespace
