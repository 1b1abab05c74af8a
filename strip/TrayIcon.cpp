// The strip's icon in the notification area.
#include "strip/StripInternal.h"

#include <shellapi.h>

#include "app/AppMessages.h"

namespace strip {

namespace {

constexpr UINT kTrayIconId = 1;
// The icon group of resources/Quillo.rc.
constexpr WORD kIconResourceId = 1;
constexpr const char* kGbkTrayTip = "Quillo备忘条v2.0";

}  // namespace

UINT TaskbarCreatedMessage() {
    // Explorer broadcasts it after a restart; its tray then knows no icons.
    static const UINT message = RegisterWindowMessageA("TaskbarCreated");
    return message;
}

void AddTrayIcon(HWND strip) {
    NOTIFYICONDATAA data{};
    data.cbSize = sizeof data;
    data.hWnd = strip;
    data.uID = kTrayIconId;
    data.uFlags = NIF_ICON | NIF_MESSAGE | NIF_TIP;
    data.uCallbackMessage = WM_APP_TRAY;
    // The small size the tray draws, picked from the icon's images.
    data.hIcon = static_cast<HICON>(LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(kIconResourceId),
                                               IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                                               GetSystemMetrics(SM_CYSMICON), LR_DEFAULTCOLOR));
    const bool ownIcon = data.hIcon != nullptr;
    if (!ownIcon) {
        data.hIcon = LoadIconA(nullptr, MAKEINTRESOURCEA(32512));  // IDI_APPLICATION
    }
    lstrcpynA(data.szTip, kGbkTrayTip, sizeof data.szTip);
    Shell_NotifyIconA(NIM_ADD, &data);
    // The shell keeps its own copy of the icon.
    if (ownIcon) {
        DestroyIcon(data.hIcon);
    }
}

void RemoveTrayIcon(HWND strip) {
    NOTIFYICONDATAA data{};
    data.cbSize = sizeof data;
    data.hWnd = strip;
    data.uID = kTrayIconId;
    Shell_NotifyIconA(NIM_DELETE, &data);
}

}  // namespace strip
