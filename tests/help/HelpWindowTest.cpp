// The help window over the real strip: its composed picture, its buttons, the
// status from a loopback server, and the default text colour chosen in the
// real colour dialog.
#include <windows.h>

#include <objidl.h>

#include <gdiplus.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "help/Help.h"
#include "resources/Pictures.h"
#include "skin/core/SkinCore.h"
#include "tests/help/StatusServer.h"
#include "strip/Strip.h"
#include "tests/support/WineTest.h"

namespace {

using help_testing::ServerMode;
using help_testing::StatusServer;
using resources::Picture;
using testing_support::PumpUntil;

constexpr uint32_t kContact = 12345;
constexpr POINT kContactButton{344, 240};

std::string OnlineAnswer() {
    std::string body(13, 'G');
    body += "\xB9\xE2";
    return body + std::string(8, ';');
}

uint32_t PixelOf(Gdiplus::GpImage* picture, int x, int y) {
    Gdiplus::ARGB color = 0;
    Gdiplus::DllExports::GdipBitmapGetPixel(static_cast<Gdiplus::GpBitmap*>(picture), x, y, &color);
    return color;
}

int Distance(uint32_t a, uint32_t b) {
    int sum = 0;
    for (int shift = 0; shift < 32; shift += 8) {
        sum += std::abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF));
    }
    return sum;
}

// Where the chat and the leave-a-message pictures differ most among pixels
// opaque in both: the composed window there shows which one is on.
struct TellingPixel {
    POINT at{};
    uint32_t chat = 0;
    uint32_t message = 0;
};

TellingPixel FindTellingPixel() {
    Gdiplus::GpImage* chat = skin::SharedImageFromBytes(resources::PictureBytes(Picture::ChatNormal));
    Gdiplus::GpImage* message = skin::SharedImageFromBytes(resources::PictureBytes(Picture::MessageNormal));
    TellingPixel best;
    int bestDistance = -1;
    for (int y = 0; y < 25; ++y) {
        for (int x = 0; x < 78; ++x) {
            uint32_t c = PixelOf(chat, x, y);
            uint32_t m = PixelOf(message, x, y);
            if ((c >> 24) == 0xFF && (m >> 24) == 0xFF && Distance(c, m) > bestDistance) {
                bestDistance = Distance(c, m);
                best = {{x, y}, c, m};
            }
        }
    }
    return best;
}

enum class ContactLook { Chat, Message, Neither };

ContactLook ContactLookOf(HWND helpWindow) {
    static const TellingPixel telling = FindTellingPixel();
    skin::Frame frame = skin::ComposeWindow(helpWindow, true);
    Gdiplus::ARGB shown = 0;
    Gdiplus::DllExports::GdipBitmapGetPixel(frame.get(), kContactButton.x + telling.at.x,
                                            kContactButton.y + telling.at.y, &shown);
    if (Distance(shown, telling.chat) <= 8) {
        return ContactLook::Chat;
    }
    return Distance(shown, telling.message) <= 8 ? ContactLook::Message : ContactLook::Neither;
}

// Records the strip skin operations and draws nothing: the strip's own logic
// runs for real around it.
class RecordingSkin : public strip::StripSkin {
public:
    std::vector<std::string> Calls;

    void StartSkin() override {}
    void SkinStrip(HWND, const strip::FirstRowControls&) override {}
    void SkinRow(int) override {}
    void DropRowSkins(int) override {}
    void PlaceRowControl(int, HWND, int) override {}
    void ResizeStrip(int, int) override {}
    void SetStripBackground(int) override {}
    void ShowRowFrame(int, strip::FrameLook) override {}
    void ShowRowReminder(int, bool) override {}
    void ShowRowTextColor(int row, int32_t color) override {
        Calls.push_back("ShowRowTextColor " + std::to_string(row) + " " + std::to_string(color));
    }
    void RefreshStrip() override { Calls.push_back("RefreshStrip"); }
};

// A stored entry line of the new-row form with the given text and colour.
std::string StoredEntry(const std::string& gbkText, int32_t color) {
    return gbkText + "&假&2011-01-01-12:00:00&假&" + std::to_string(color) + "\\";
}

// The real strip window over a "配置.dpk" in a fresh folder.
class StripTest : public testing::Test {
public:
    testing_support::TempFolder folder;
    std::unique_ptr<strip::StripState> strip;
    RecordingSkin* skin = nullptr;

    void TearDown() override {
        if (strip && strip->StripHwnd) {
            DestroyWindow(strip->StripHwnd);
        }
        testing_support::PumpPending();
        strip.reset();
    }

    std::string ConfigPath() const { return folder.File("配置.dpk"); }
    void StoreFile(const std::string& gbkBody) {
        ASSERT_TRUE(testing_support::WriteFileBytes(ConfigPath(), "[各项配置]\r\n" + gbkBody));
    }
    std::string Stored(const char* gbkKey) const { return memo::ConfigFile(folder.GbkPath()).ReadKey(gbkKey); }

    void Start() {
        strip = std::make_unique<strip::StripState>();
        strip->Config = memo::ConfigFile(folder.GbkPath());
        auto recording = std::make_unique<RecordingSkin>();
        skin = recording.get();
        strip->Skin = std::move(recording);
        ASSERT_NE(strip::CreateStripWindow(*strip, GetModuleHandleA(nullptr)), nullptr);
        testing_support::PumpPending();
    }
};

class HelpWindowTest : public StripTest {
public:
    std::vector<std::string> opened;
    std::vector<bool> statusShown;
    HWND help = nullptr;

    static void SetUpTestSuite() {
        static bool started = false;
        if (!started) {
            skin::StartSkinModule();
            started = true;
        }
    }

    void TearDown() override {
        CloseHelp();
        StripTest::TearDown();
    }

    help::HelpSettings Settings(uint16_t statusPort, DWORD timeoutMs = 3000) {
        help::HelpSettings settings;
        settings.Status = {"127.0.0.1", statusPort};
        settings.ContactNumber = kContact;
        settings.StatusTimeoutMs = timeoutMs;
        settings.OpenAddress = [this](const std::string& gbkAddress) { opened.push_back(gbkAddress); };
        settings.StatusShown = [this](bool online) { statusShown.push_back(online); };
        return settings;
    }

    void Open(const help::HelpSettings& settings) {
        help = help::OpenHelpWindow(*strip, settings);
        ASSERT_NE(help, nullptr);
    }

    void CloseHelp() {
        if (help && IsWindow(help)) {
            PostMessageA(help, WM_CLOSE, 0, 0);
            EXPECT_TRUE(PumpUntil([&] { return !IsWindow(help); }));
        }
        help = nullptr;
    }

    HWND Button(int index) const {
        HWND button = GetWindow(help, GW_CHILD);
        for (int i = 0; i < index && button; ++i) {
            button = GetWindow(button, GW_HWNDNEXT);
        }
        return button;
    }
    // In creation order: close, product centre, palette, contact.
    HWND CloseButton() const { return Button(0); }
    HWND ProductButton() const { return Button(1); }
    HWND PaletteButton() const { return Button(2); }
    HWND ContactButton() const { return Button(3); }
};

TEST_F(HelpWindowTest, ContactPicturesFollowTheStatus) {
    struct Case {
        const char* name;
        ServerMode mode;
        std::string body;
        bool refuse;
        ContactLook look;
    } cases[] = {
        {"online answer", ServerMode::Answer, OnlineAnswer(), false, ContactLook::Chat},
        {"other answer", ServerMode::Answer, std::string(20, 'x'), false, ContactLook::Message},
        {"short answer", ServerMode::Answer, OnlineAnswer().substr(0, 14), false, ContactLook::Message},
        {"server never answers", ServerMode::Silent, "", false, ContactLook::Message},
        {"connection refused", ServerMode::Answer, "", true, ContactLook::Message},
    };
    Start();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        StatusServer server(c.mode, c.body);
        ASSERT_TRUE(server.IsListening());
        statusShown.clear();
        Open(Settings(c.refuse ? StatusServer::RefusingPort() : server.Port(), 500));
        // The window is up before the answer: the strip never waits on it.
        EXPECT_TRUE(IsWindowVisible(help));
        EXPECT_EQ(ContactLookOf(help), ContactLook::Message);
        ASSERT_TRUE(PumpUntil([&] { return !statusShown.empty(); }, 8000));
        EXPECT_EQ(statusShown.front(), c.look == ContactLook::Chat);
        EXPECT_EQ(ContactLookOf(help), c.look);
        CloseHelp();
    }
}

TEST_F(HelpWindowTest, CentredLayeredToolWindowDraggedByItsSurface) {
    Start();
    Open(Settings(StatusServer::RefusingPort()));
    RECT place{};
    GetWindowRect(help, &place);
    EXPECT_EQ(place.right - place.left, 427);
    EXPECT_EQ(place.bottom - place.top, 284);
    EXPECT_EQ(place.left, (GetSystemMetrics(SM_CXSCREEN) - 427) / 2);
    EXPECT_EQ(place.top, (GetSystemMetrics(SM_CYSCREEN) - 284) / 2);
    LONG_PTR exStyle = GetWindowLongPtrA(help, GWL_EXSTYLE);
    EXPECT_TRUE(exStyle & WS_EX_LAYERED);
    EXPECT_TRUE(exStyle & WS_EX_TOOLWINDOW) << "no taskbar button";
    EXPECT_EQ(GetWindow(help, GW_OWNER), nullptr);
    EXPECT_EQ(SendMessageA(help, WM_NCHITTEST, 0, MAKELPARAM(place.left + 100, place.top + 150)), HTCAPTION);
    // Every place a user clicks is opaque enough to take the click.
    skin::Frame frame = skin::ComposeWindow(help, true);
    for (POINT at : {POINT{100, 150}, POINT{210, 245}, POINT{380, 250}, POINT{200, 213}}) {
        Gdiplus::ARGB pixel = 0;
        Gdiplus::DllExports::GdipBitmapGetPixel(frame.get(), at.x, at.y, &pixel);
        EXPECT_GT(pixel >> 24, 0u) << at.x << "," << at.y;
    }
}

TEST_F(HelpWindowTest, ButtonsOpenTheirAddressesAndEscStillCloses) {
    Start();
    Open(Settings(StatusServer::RefusingPort()));
    SendMessageA(ProductButton(), BM_CLICK, 0, 0);
    SendMessageA(ContactButton(), BM_CLICK, 0, 0);
    EXPECT_EQ(opened, (std::vector<std::string>{"http://www.quillo.example/pinpai", "tencent://message/?uin=12345"}));
    // The clicks leave the keyboard with the window, so Esc reaches it.
    ASSERT_EQ(GetFocus(), help);
    PostMessageA(GetFocus(), WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_TRUE(PumpUntil([&] { return !IsWindow(help); }));
}

TEST_F(HelpWindowTest, OneWindowBroughtForwardAndFetchedAnewWhenReopened) {
    Start();
    StatusServer server(ServerMode::Answer, OnlineAnswer());
    ASSERT_TRUE(server.IsListening());
    Open(Settings(server.Port()));
    ASSERT_TRUE(PumpUntil([&] { return statusShown.size() == 1; }));
    HWND first = help;
    Open(Settings(server.Port()));
    EXPECT_EQ(help, first);
    EXPECT_EQ(help::FindHelpWindow(), first);
    EXPECT_EQ(server.RequestCount(), 1);

    SendMessageA(CloseButton(), BM_CLICK, 0, 0);
    ASSERT_TRUE(PumpUntil([&] { return !IsWindow(first); }));
    EXPECT_EQ(help::FindHelpWindow(), nullptr);
    Open(Settings(server.Port()));
    ASSERT_TRUE(PumpUntil([&] { return statusShown.size() == 2; }));
    EXPECT_EQ(server.RequestCount(), 2);
    EXPECT_EQ(ContactLookOf(help), ContactLook::Chat);
}

TEST_F(HelpWindowTest, ReopeningDecodesNoPicturesAgain) {
    Start();
    Open(Settings(StatusServer::RefusingPort()));
    ASSERT_TRUE(PumpUntil([&] { return statusShown.size() == 1; }));
    CloseHelp();
    const long held = skin::CountSkinHandles().gdiplusObjects;
    for (int i = 0; i < 20; ++i) {
        Open(Settings(StatusServer::RefusingPort()));
        ASSERT_TRUE(PumpUntil([&] { return statusShown.size() == static_cast<size_t>(i) + 2; }));
        CloseHelp();
    }
    EXPECT_EQ(skin::CountSkinHandles().gdiplusObjects, held);
}

TEST_F(HelpWindowTest, HelpButtonAsksBeforeTheWindowOpens) {
    Start();
    const std::string base = "Software\\QuilloTest\\HelpButton-" + std::to_string(GetCurrentProcessId());
    help::HelpSettings settings = Settings(StatusServer::RefusingPort());
    settings.Autostart = {.Machine = {HKEY_CURRENT_USER, base + "\\Machine\\Run"},
                          .User = {HKEY_CURRENT_USER, base + "\\User\\Run"},
                          .GbkValueName = "notestrip",
                          .GbkProgramPath = "C:\\Quillo\\Quillo.exe"};
    std::vector<bool> windowOpenWhenAsked;
    settings.AskAutostart = [&] {
        windowOpenWhenAsked.push_back(help::FindHelpWindow() != nullptr);
        return false;
    };
    help::OnHelpButton(*strip, settings);
    help = help::FindHelpWindow();
    EXPECT_NE(help, nullptr);
    // No keeps asking at every click, also with the window already open.
    help::OnHelpButton(*strip, settings);
    EXPECT_EQ(windowOpenWhenAsked, (std::vector<bool>{false, true}));
    RegDeleteTreeA(HKEY_CURRENT_USER, base.c_str());
}

// The colour dialog, answered by a timer of this thread: it checks the
// colour the dialog opened with, then sets red, green and blue and presses
// OK or Cancel.
struct ColorAnswer {
    bool found = false;
    int openedRed = -1;
    int button = IDOK;
};
ColorAnswer gColorAnswer;

constexpr int kRedEdit = 706;  // the colour dialog's own field ids
constexpr int kGreenEdit = 707;
constexpr int kBlueEdit = 708;

BOOL CALLBACK FindColorDialog(HWND hwnd, LPARAM found) noexcept {
    if (IsWindowVisible(hwnd) && GetDlgItem(hwnd, kRedEdit)) {
        *reinterpret_cast<HWND*>(found) = hwnd;
        return FALSE;
    }
    return TRUE;
}

void CALLBACK AnswerColorDialog(HWND, UINT, UINT_PTR timer, DWORD) noexcept {
    HWND dialog = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), FindColorDialog, reinterpret_cast<LPARAM>(&dialog));
    if (!dialog) {
        return;
    }
    KillTimer(nullptr, timer);
    gColorAnswer.found = true;
    gColorAnswer.openedRed = static_cast<int>(GetDlgItemInt(dialog, kRedEdit, nullptr, FALSE));
    SetDlgItemTextA(dialog, kRedEdit, "10");
    SetDlgItemTextA(dialog, kGreenEdit, "20");
    SetDlgItemTextA(dialog, kBlueEdit, "30");
    SendMessageA(GetDlgItem(dialog, gColorAnswer.button), BM_CLICK, 0, 0);
}

class StripColorTest : public HelpWindowTest {
public:
    const std::vector<int32_t> ownColors = {255, 65280, 16777215};

    void StartWithOwnColors() {
        StoreFile("条目内容=" + StoredEntry("一", ownColors[0]) + StoredEntry("二", ownColors[1]) +
                  StoredEntry("三", ownColors[2]) + "\r\n文本颜色=200\r\n");
        Start();
        ASSERT_EQ(strip->Entries.size(), 3u);
        Open(Settings(StatusServer::RefusingPort()));
        skin->Calls.clear();
    }

    void ClickPaletteAnswering(int button) {
        gColorAnswer = ColorAnswer{};
        gColorAnswer.button = button;
        UINT_PTR timer = SetTimer(nullptr, 0, 20, AnswerColorDialog);
        SendMessageA(PaletteButton(), BM_CLICK, 0, 0);
        KillTimer(nullptr, timer);
        ASSERT_TRUE(gColorAnswer.found);
    }

    std::vector<std::string> ColorCalls() const {
        std::vector<std::string> calls;
        for (const std::string& call : skin->Calls) {
            if (call.rfind("ShowRowTextColor", 0) == 0 || call == "RefreshStrip") {
                calls.push_back(call);
            }
        }
        return calls;
    }
};

TEST_F(StripColorTest, OkGivesTheColourToEveryRowAndToNewRows) {
    StartWithOwnColors();
    ClickPaletteAnswering(IDOK);
    EXPECT_EQ(gColorAnswer.openedRed, 200) << "the dialog opens at the strip's colour";
    const int32_t chosen = RGB(10, 20, 30);
    EXPECT_EQ(strip->StripTextColor, chosen);
    EXPECT_EQ(Stored("文本颜色"), std::to_string(chosen));
    for (const memo::MemoEntry& entry : strip->Entries) {
        EXPECT_EQ(entry.TextColor, chosen);
    }
    const std::string color = std::to_string(chosen);
    EXPECT_EQ(ColorCalls(), (std::vector<std::string>{"ShowRowTextColor 1 " + color, "ShowRowTextColor 2 " + color,
                                                      "ShowRowTextColor 3 " + color, "RefreshStrip"}));
    ASSERT_TRUE(strip::AddRow(*strip));
    EXPECT_EQ(strip->Entries.back().TextColor, chosen);
    EXPECT_EQ(GetFocus(), help);
}

TEST_F(StripColorTest, CancelChangesNothing) {
    StartWithOwnColors();
    const std::string fileBefore = testing_support::ReadFileBytes(ConfigPath());
    ClickPaletteAnswering(IDCANCEL);
    EXPECT_EQ(strip->StripTextColor, 200);
    EXPECT_EQ(testing_support::ReadFileBytes(ConfigPath()), fileBefore);
    for (size_t i = 0; i < ownColors.size(); ++i) {
        EXPECT_EQ(strip->Entries[i].TextColor, ownColors[i]) << "row " << i + 1;
    }
    EXPECT_TRUE(ColorCalls().empty());
    EXPECT_TRUE(IsWindow(help));
}

}  // namespace
