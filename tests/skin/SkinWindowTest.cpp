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

}  // namespace
