// One strip per folder: the folder's mutex and finding the running strip.
#include "app/SingleInstance.h"

#include <gtest/gtest.h>

#include "app/AppMessages.h"
#include "strip/Strip.h"
#include "tests/support/WineTest.h"

namespace {

int gShowRequests = 0;

LRESULT CALLBACK CountShowRequests(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
    if (message == WM_APP_SHOW_STRIP) {
        ++gShowRequests;
        return 0;
    }
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

// A stand-in for a running strip: a window of the strip's class.
HWND MakeStripStandIn() {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = CountShowRequests;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = strip::kStripClassName;
    RegisterClassA(&windowClass);
    return CreateWindowExA(WS_EX_TOOLWINDOW, strip::kStripClassName, "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                           GetModuleHandleA(nullptr), nullptr);
}

}  // namespace

TEST(SingleInstanceTest, OneFolderHasOneKeyWhateverItsSpelling) {
    const std::wstring folder = L"C:\\Users\\张三\\Quillo";
    EXPECT_EQ(app::FolderKey(folder), app::FolderKey(L"c:\\users\\张三\\QUILLO"));
    EXPECT_EQ(app::FolderKey(folder), app::FolderKey(folder + L"\\"));
    EXPECT_NE(app::FolderKey(folder), app::FolderKey(L"C:\\Users\\张三\\Quillo2"));
    EXPECT_NE(app::FolderKey(folder), app::FolderKey(L"C:\\Users\\李四\\Quillo"));
    EXPECT_EQ(app::InstanceMutexName(folder).find(L'\\', 6), std::wstring::npos) << "no separator after Local\\";
}

TEST(SingleInstanceTest, ASecondStartFromTheSameFolderIsNotFirst) {
    const std::wstring folder = L"C:\\测试\\一";
    auto first = std::make_unique<app::FolderInstance>(folder);
    EXPECT_TRUE(first->IsFirst());
    EXPECT_FALSE(app::FolderInstance(L"c:\\测试\\一").IsFirst());
    EXPECT_TRUE(app::FolderInstance(L"C:\\测试\\二").IsFirst()) << "another folder runs beside it";
    first.reset();
    EXPECT_TRUE(app::FolderInstance(folder).IsFirst()) << "the folder is free once the strip has ended";
}

TEST(SingleInstanceTest, TheSecondStartAsksTheFoldersStripToComeForward) {
    const std::wstring folder = L"C:\\测试\\三";
    app::FolderInstance running(folder);
    HWND otherFolderStrip = MakeStripStandIn();
    app::FolderInstance(L"C:\\测试\\四").MarkStrip(otherFolderStrip);
    app::FolderInstance second(folder);
    EXPECT_FALSE(second.BringRunningStripToFront(0)) << "no strip of this folder yet";

    HWND strip = MakeStripStandIn();
    running.MarkStrip(strip);
    EXPECT_EQ(app::FindStripOfFolder(app::FolderKey(folder)), strip);
    gShowRequests = 0;
    EXPECT_TRUE(second.BringRunningStripToFront(0));
    EXPECT_TRUE(testing_support::PumpUntil([] { return gShowRequests == 1; }));
    DestroyWindow(strip);
    DestroyWindow(otherFolderStrip);
}
