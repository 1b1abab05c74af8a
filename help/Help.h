// The help window (default text colour, product page, contact link with the
// contact's online status) and the start-with-Windows prompt that comes
// before it. Everything here runs on the window thread, except
// FetchContactStatus, which blocks and belongs on a worker.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "help/HelpConfig.h"

namespace strip {
struct StripState;
}

namespace help {

// ---- Start with Windows ----

// One Run key: a root and the path of the key under it (GBK).
struct RunKey {
    HKEY Root = nullptr;
    std::string GbkKeyPath;
};

// Where the program registers itself. The machine-wide key is written first;
// when that write is refused (an account without administrator rights) the
// user's own Run key takes the value instead.
struct AutostartPlaces {
    RunKey Machine;
    RunKey User;
    std::string GbkValueName;
    std::string GbkProgramPath;  // the running exe's full path
};

// HKLM and HKCU "SOFTWARE\Microsoft\Windows\CurrentVersion\Run", value
// `notestrip`, and the path of the running exe.
AutostartPlaces DefaultAutostartPlaces();

// The text a Run value gets for a program path: quoted when the path holds a
// blank, so Windows cannot take a shorter prefix of it for the program.
std::string RunValueText(std::string_view gbkProgramPath);

// "是否将备忘条设置为开机启动？" in a task-modal message box; true for Yes.
bool AskAutostartQuestion();

// `OfferAutostart`: does nothing when a Run value in either place names this
// program (the path as it is or quoted). Otherwise asks; Yes registers the
// program, No deletes any value that names another place.
void OfferAutostart(const AutostartPlaces& places, const std::function<bool()>& askYes);

// ---- Contact status ----

struct StatusServer {
    std::string Host;
    uint16_t Port = 0;
};

// A status answer means online when its 14th and 15th bytes are 0xB9 0xE2.
bool IsOnlineAnswer(std::span<const unsigned char> body);

// `FetchContactStatus`: one HTTP GET of "/pa?p=2:<number>:41" from the status
// server. Offline when the request fails, the answer is not the online one,
// or the answer has not come within timeoutMs. Each step gets only what is
// left of timeoutMs, except that resolving, connecting and sending are one
// WinHTTP call in which each may use all of it. Blocks: call it off the
// window thread.
bool FetchContactStatus(uint32_t contactNumber, const StatusServer& server, DWORD timeoutMs);

// ---- Default text colour ----

// `ApplyStripTextColor`: every row shows `StripTextColor` and every entry
// takes it as its `TextColor`; then the strip is refreshed. "条目内容" is
// written at the strip's next save.
void ApplyStripTextColor(strip::StripState& strip);

// The colour dialog (owned by `owner`, opening at `StripTextColor`). OK makes
// the chosen colour the strip's default: it is written as "文本颜色" and given
// to every row. Cancel changes nothing. The custom colours the user kept in
// the dialog are read from and left in `customColors`. True after OK.
bool ChooseStripTextColor(strip::StripState& strip, HWND owner, COLORREF (&customColors)[16]);

// ---- The help window ----

// The product page, "http://" + the brand's web host + "/pinpai".
std::string ProductPageAddress();
// "tencent://message/?uin=" + the contact number in decimal.
std::string ChatAddress(uint32_t contactNumber);
// Opens an address with the system's handler for its scheme; a missing
// handler is ignored without any message.
void OpenWithSystem(const std::string& gbkAddress);

// What the help window and the prompt before it use; the defaults are the
// program's own. A test points them at its own registry keys, server and
// recorder.
struct HelpSettings {
    AutostartPlaces Autostart = DefaultAutostartPlaces();
    std::function<bool()> AskAutostart = AskAutostartQuestion;
    StatusServer Status{kStatusHost, kStatusPort};
    uint32_t ContactNumber = kContactNumber;
    DWORD StatusTimeoutMs = kStatusTimeoutMs;
    std::function<void(const std::string& gbkAddress)> OpenAddress = OpenWithSystem;
    // Told on the window thread once a fetched status is on show.
    std::function<void(bool online)> StatusShown;
};

// Opens the help window centred on the screen, or brings the open one to the
// front. It shows the leave-a-message pictures on its contact button until a
// worker's status fetch reports the contact online. The strip must outlive
// it. Returns the window, nullptr when it could not be made.
HWND OpenHelpWindow(strip::StripState& strip, const HelpSettings& settings);
// The help window open on this thread, nullptr when there is none.
HWND FindHelpWindow();

// The handler of 帮助按钮: `OfferAutostart` to its end, then the help window.
void OnHelpButton(strip::StripState& strip, const HelpSettings& settings);
void OnHelpButton(strip::StripState& strip);

}  // namespace help
