// The real strip window over a "配置.dpk" in a fresh folder, with its skin
// calls recorded on the way to the plain skin.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "strip/Strip.h"
#include "tests/strip/PlainStripSkin.h"
#include "tests/support/WineTest.h"

namespace strip_testing {

class RecordingSkin : public strip::StripSkin {
public:
    explicit RecordingSkin(std::unique_ptr<strip::StripSkin> inner) : inner_(std::move(inner)) {}
    std::vector<std::string> Calls;

    void StartSkin() override { inner_->StartSkin(); }
    void SkinStrip(HWND hwnd, const strip::FirstRowControls& firstRow) override { inner_->SkinStrip(hwnd, firstRow); }
    void SkinRow(int element) override {
        Calls.push_back("SkinRow " + std::to_string(element));
        inner_->SkinRow(element);
    }
    void DropRowSkins(int element) override {
        Calls.push_back("DropRowSkins " + std::to_string(element));
        inner_->DropRowSkins(element);
    }
    void PlaceRowControl(int element, HWND control, int top) override { inner_->PlaceRowControl(element, control, top); }
    void ResizeStrip(int width, int height) override { inner_->ResizeStrip(width, height); }
    void SetStripBackground(int rows) override {
        Calls.push_back("SetStripBackground " + std::to_string(rows));
        inner_->SetStripBackground(rows);
    }
    void ShowRowFrame(int row, strip::FrameLook look) override { inner_->ShowRowFrame(row, look); }
    void ShowRowReminder(int row, bool on) override {
        Calls.push_back("ShowRowReminder " + std::to_string(row) + (on ? " on" : " off"));
        inner_->ShowRowReminder(row, on);
    }
    void ShowRowTextColor(int row, int32_t color) override {
        Calls.push_back("ShowRowTextColor " + std::to_string(row) + " " + std::to_string(color));
        inner_->ShowRowTextColor(row, color);
    }
    void RefreshStrip() override { inner_->RefreshStrip(); }

private:
    std::unique_ptr<strip::StripSkin> inner_;
};

inline const std::string kGbkHeader = "[各项配置]\r\n";

// "条目内容=" + the given stored list, as one line of the file.
inline std::string EntriesLine(const std::string& gbkStored) { return "条目内容=" + gbkStored + "\r\n"; }

// A stored entry line of the new-row form with the given text.
inline std::string StoredEntry(const std::string& gbkText, const char* reminderOn = "假", int32_t color = 16777215) {
    return gbkText + "&" + reminderOn + "&2011-01-01-12:00:00&假&" + std::to_string(color) + "\\";
}

class StripTest : public testing::Test {
public:
    testing_support::TempFolder folder;
    std::unique_ptr<strip::StripState> strip;
    RecordingSkin* skin = nullptr;
    HWND hwnd = nullptr;

    void TearDown() override { Close(); }

    std::string ConfigPath() const { return folder.File("配置.dpk"); }
    void StoreFile(const std::string& gbkBody) {
        ASSERT_TRUE(testing_support::WriteFileBytes(ConfigPath(), kGbkHeader + gbkBody));
    }
    std::string Stored(const char* gbkKey) const { return memo::ConfigFile(folder.GbkPath()).ReadKey(gbkKey); }

    void Start() {
        strip = std::make_unique<strip::StripState>();
        strip->Config = memo::ConfigFile(folder.GbkPath());
        auto recording = std::make_unique<RecordingSkin>(MakePlainStripSkin(*strip));
        skin = recording.get();
        strip->Skin = std::move(recording);
        strip->Skin->StartSkin();
        hwnd = strip::CreateStripWindow(*strip, GetModuleHandleA(nullptr));
        ASSERT_NE(hwnd, nullptr);
        testing_support::PumpPending();
    }

    void Close() {
        if (strip && strip->StripHwnd) {
            DestroyWindow(strip->StripHwnd);
        }
        testing_support::PumpPending();
        strip.reset();
        hwnd = nullptr;
    }

    // A control's place in the strip's client pixels.
    static RECT Place(HWND control) {
        RECT place{};
        GetWindowRect(control, &place);
        MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&place), 2);
        return place;
    }
    RECT StripRect() const {
        RECT place{};
        GetWindowRect(hwnd, &place);
        return place;
    }
    static std::string Text(HWND control) {
        char text[256] = {};
        GetWindowTextA(control, text, sizeof text);
        return text;
    }
    // Typing: one WM_CHAR per UTF-16 unit, as the keyboard sends them.
    static void Type(HWND editBox, const std::wstring& text) {
        for (wchar_t c : text) {
            SendMessageW(editBox, WM_CHAR, c, 1);
        }
    }
    void Click(HWND button) {
        SendMessageA(hwnd, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(button), BN_CLICKED), reinterpret_cast<LPARAM>(button));
        testing_support::PumpPending();
    }
    // Deletes the row of this delete button and waits until it is gone.
    void ClickDelete(HWND deleteButton) {
        const int rows = strip->RowCount;
        Click(deleteButton);
        ASSERT_TRUE(testing_support::PumpUntil([&] { return strip->RowCount == rows - 1; }));
    }
};

}  // namespace strip_testing
