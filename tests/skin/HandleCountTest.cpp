// No handle the module holds may grow with use: counted by its own owners,
// since GetGuiResources is a stub under Wine.
#include <gtest/gtest.h>

#include "tests/skin/SkinTestSupport.h"
#include "tests/support/WineTest.h"

namespace {

using namespace skin_test;

constexpr int kLoops = 10000;

void ExpectSameCounts(const skin::SkinHandleCounts& actual, const skin::SkinHandleCounts& expected) {
    EXPECT_EQ(actual.gdiObjects, expected.gdiObjects);
    EXPECT_EQ(actual.gdiplusObjects, expected.gdiplusObjects);
    EXPECT_EQ(actual.streams, expected.streams);
}

TEST(HandleCounts, SettingPicturesAndRepaintingHoldsNoMore) {
    HostWindow host(10, 10, 250, 60);
    const std::vector<unsigned char>& red = MakeSolidPng(207, 20, 0xC0FF0000);
    const std::vector<unsigned char>& yellow = MakeSolidPng(207, 20, 0xC0FFFF00);
    skin::SkinPictureBox box;
    box.Create(host.Get(), 10, 10, 207, 20);
    skin::SkinButton button;
    button.Create(host.Get(), 220, 10, 17, 17, "");
    auto setAndRepaint = [&](int i) {
        box.SetBackImageFromBytes(i % 2 ? red : yellow);
        button.SetImagesFromBytes({.normal = i % 2 ? red : yellow});
        skin::SetDrawState(button.GetHandle(), i % 3, true);
        // Paints the host, then the picture box and button over it.
        UpdateWindow(host.Get());
    };
    for (int i = 0; i < 4; ++i) {
        setAndRepaint(i);
    }
    skin::SkinHandleCounts settled = skin::CountSkinHandles();
    for (int i = 0; i < kLoops; ++i) {
        setAndRepaint(i);
    }
    ExpectSameCounts(skin::CountSkinHandles(), settled);
}

TEST(HandleCounts, DestroyedControlsGiveTheirSnapshotsBack) {
    HostWindow host(10, 10, 250, 60, true);
    skin::SkinHandleCounts before = skin::CountSkinHandles();
    skin::SkinPictureBox box;
    HWND boxWindow = box.Create(host.Get(), 10, 10, 100, 20);
    skin::SkinButton button;
    HWND buttonWindow = button.Create(host.Get(), 120, 10, 20, 20, "");
    HWND editWindow = MakeChild(host.Get(), "Edit", 0, 150, 10, 80, 20);
    skin::SkinEditBox edit;
    edit.Attach(editWindow);
    UpdateWindow(host.Get());
    UpdateWindow(boxWindow);
    UpdateWindow(buttonWindow);
    SendMessageA(editWindow, WM_NCPAINT, 0, 0);
    for (HWND window : {boxWindow, buttonWindow, editWindow}) {
        EXPECT_NE(skin::GetSkinProp(window, skin::kPropCacheBitmap), 0);
        DestroyWindow(window);
    }
    ExpectSameCounts(skin::CountSkinHandles(), before);
}

}  // namespace
