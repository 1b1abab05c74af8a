// The `HelpWindow`: a layered skin window drawn from its background picture,
// with four picture buttons. The contact's online status comes from a worker,
// so the strip never waits on the network.
#include "help/Help.h"

#include <shellapi.h>

#include <algorithm>
#include <iterator>
#include <memory>
#include <new>
#include <thread>

#include "app/AppMessages.h"
#include "resources/Pictures.h"
#include "skin/controls/SkinControls.h"
#include "strip/Strip.h"

namespace help {

namespace {

using resources::Picture;

constexpr const char* kHelpClassName = "QuilloHelp";
constexpr int kWidthPx = 427;
constexpr int kHeightPx = 284;

enum ControlId : int {
    kIdClose = 101,  // 帮助关闭按钮
    kIdProduct,      // 产品中心按钮
    kIdPalette,      // 调色按钮
    kIdContact,      // 在线按钮
};

struct ButtonDefinition {
    ControlId id;
    const char* gbkCaption;
    RECT place;  // left, top, right, bottom in the window
};

constexpr ButtonDefinition kButtons[] = {
    {kIdClose, "", {367, -5, 367 + 61, -5 + 35}},
    {kIdProduct, "产品中心", {52, 204, 52 + 322, 204 + 20}},
    {kIdPalette, "", {206, 238, 206 + 16, 238 + 16}},
    {kIdContact, "", {344, 240, 344 + 78, 240 + 25}},
};

// The status a worker fetched, posted to the window and adopted there.
struct StatusResult {
    bool online = false;
};

skin::ButtonImageBytes ButtonPictures(Picture normal, Picture hover, Picture pressed) {
    return {.normal = resources::PictureBytes(normal),
            .hover = resources::PictureBytes(hover),
            .pressed = resources::PictureBytes(pressed)};
}

skin::ButtonImageBytes ContactPictures(bool online) {
    return online ? ButtonPictures(Picture::ChatNormal, Picture::ChatHover, Picture::ChatPressed)
                  : ButtonPictures(Picture::MessageNormal, Picture::MessageHover, Picture::MessagePressed);
}

class HelpWindow {
public:
    HelpWindow(strip::StripState& strip, const HelpSettings& settings) : strip_(strip), settings_(settings) {}

    static LRESULT CALLBACK WndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
        if (message == WM_NCCREATE) {
            auto* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
            auto* owner = static_cast<std::unique_ptr<HelpWindow>*>(create->lpCreateParams);
            HelpWindow* self = owner->release();
            self->hwnd_ = hwnd;
            SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        }
        auto* self = reinterpret_cast<HelpWindow*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
        if (!self) {
            return DefWindowProcA(hwnd, message, wParam, lParam);
        }
        if (message == WM_NCDESTROY) {
            SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
            delete self;
            return DefWindowProcA(hwnd, message, wParam, lParam);
        }
        return self->HandleMessage(message, wParam, lParam);
    }

private:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
        switch (message) {
        case WM_CREATE:
            return OnCreate() ? 0 : -1;
        case WM_COMMAND:
            if (HIWORD(wParam) == BN_CLICKED) {
                OnButtonClicked(LOWORD(wParam));
            }
            return 0;
        case WM_APP_WORK_DONE:
            OnStatusFetched(std::unique_ptr<StatusResult>(reinterpret_cast<StatusResult*>(lParam)));
            return 0;
        case WM_KEYDOWN:
            if (wParam == VK_ESCAPE) {
                PostMessageA(hwnd_, WM_CLOSE, 0, 0);
                return 0;
            }
            break;
        case WM_NCHITTEST: {
            // A press on the window's own surface drags it like a title bar.
            LRESULT hit = DefWindowProcA(hwnd_, message, wParam, lParam);
            return hit == HTCLIENT ? HTCAPTION : hit;
        }
        case WM_CLOSE:
            DestroyWindow(hwnd_);
            return 0;
        case WM_DESTROY:
            DropUndeliveredResults();
            return 0;
        default:
            break;
        }
        return DefWindowProcA(hwnd_, message, wParam, lParam);
    }

    bool OnCreate() {
        HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(hwnd_, GWLP_HINSTANCE));
        HWND buttons[std::size(kButtons)] = {};
        for (size_t i = 0; i < std::size(kButtons); ++i) {
            const ButtonDefinition& button = kButtons[i];
            buttons[i] = CreateWindowExA(0, "BUTTON", button.gbkCaption, WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON,
                                         button.place.left, button.place.top, button.place.right - button.place.left,
                                         button.place.bottom - button.place.top, hwnd_,
                                         reinterpret_cast<HMENU>(static_cast<INT_PTR>(button.id)), instance, nullptr);
            if (!buttons[i]) {
                return false;
            }
        }
        windowSkin_.Attach(hwnd_);
        // Attaching leaves the layered style as the only extended one; a tool
        // window gets no taskbar button, which is decided when it first shows.
        SetWindowLongPtrA(hwnd_, GWL_EXSTYLE, GetWindowLongPtrA(hwnd_, GWL_EXSTYLE) | WS_EX_TOOLWINDOW);
        // Pictures from bytes come from the module's shared store, decoded once
        // for the process: opening the window again decodes nothing more.
        windowSkin_.SetBackImageFromBytes(resources::PictureBytes(Picture::HelpBackground));
        closeSkin_.Attach(buttons[0]);
        closeSkin_.SetImagesFromBytes(
            ButtonPictures(Picture::HelpCloseNormal, Picture::HelpCloseHover, Picture::HelpClosePressed));
        productSkin_.Attach(buttons[1]);
        productSkin_.SetImagesFromBytes(
            ButtonPictures(Picture::ProductNormal, Picture::ProductHover, Picture::ProductPressed));
        paletteSkin_.Attach(buttons[2]);
        paletteSkin_.SetImagesFromBytes(
            ButtonPictures(Picture::PaletteNormal, Picture::PaletteHover, Picture::PalettePressed));
        contactSkin_.Attach(buttons[3]);
        contactSkin_.SetImagesFromBytes(ContactPictures(false));
        windowSkin_.Refresh();
        StartStatusFetch();
        return true;
    }

    // The worker gets everything by value; it may outlive the window, and
    // then its post fails and it frees the result itself.
    void StartStatusFetch() {
        HWND hwnd = hwnd_;
        StatusServer server = settings_.Status;
        uint32_t contactNumber = settings_.ContactNumber;
        DWORD timeoutMs = settings_.StatusTimeoutMs;
        try {
            std::thread([hwnd, server, contactNumber, timeoutMs]() noexcept {
                try {
                    auto result = std::make_unique<StatusResult>();
                    result->online = FetchContactStatus(contactNumber, server, timeoutMs);
                    if (PostMessageA(hwnd, WM_APP_WORK_DONE, 0, reinterpret_cast<LPARAM>(result.get()))) {
                        result.release();
                    }
                } catch (...) {
                    // No memory for the result: the contact stays shown offline.
                }
            }).detach();
        } catch (...) {
            // No thread: the contact stays shown offline.
        }
    }

    void OnStatusFetched(std::unique_ptr<StatusResult> result) {
        if (!result) {
            return;
        }
        if (result->online) {
            contactSkin_.SetImagesFromBytes(ContactPictures(true));
            windowSkin_.Refresh();
        }
        if (settings_.StatusShown) {
            settings_.StatusShown(result->online);
        }
    }

    // Results that arrive after the window is gone would never be adopted.
    void DropUndeliveredResults() {
        MSG message;
        while (PeekMessageA(&message, hwnd_, WM_APP_WORK_DONE, WM_APP_WORK_DONE, PM_REMOVE)) {
            delete reinterpret_cast<StatusResult*>(message.lParam);
        }
    }

    void OnButtonClicked(int id) {
        HWND hwnd = hwnd_;
        switch (id) {
        case kIdClose:
            // Not destroyed inside the button's own click.
            PostMessageA(hwnd, WM_CLOSE, 0, 0);
            return;
        case kIdProduct:
            OpenAddress(ProductPageAddress());
            break;
        case kIdContact:
            OpenAddress(ChatAddress(settings_.ContactNumber));
            break;
        case kIdPalette:
            if (!ChooseDefaultColor()) {
                return;
            }
            break;
        default:
            return;
        }
        // The click left the focus on the button, which ignores Esc.
        SetFocus(hwnd);
    }

    void OpenAddress(const std::string& gbkAddress) {
        if (settings_.OpenAddress) {
            settings_.OpenAddress(gbkAddress);
        }
    }

    // The dialog runs its own message loop, in which this window may be
    // destroyed: it works on copies and looks the window up again after.
    // False when the window is gone.
    bool ChooseDefaultColor() {
        HWND hwnd = hwnd_;
        COLORREF customColors[16];
        std::copy(std::begin(customColors_), std::end(customColors_), customColors);
        ChooseStripTextColor(strip_, hwnd, customColors);
        auto* self = IsWindow(hwnd) ? reinterpret_cast<HelpWindow*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA)) : nullptr;
        if (self != this) {
            return false;
        }
        std::copy(std::begin(customColors), std::end(customColors), customColors_);
        return true;
    }

    strip::StripState& strip_;
    HelpSettings settings_;
    HWND hwnd_ = nullptr;
    skin::SkinWindow windowSkin_;
    skin::SkinButton closeSkin_;
    skin::SkinButton productSkin_;
    skin::SkinButton paletteSkin_;
    skin::SkinButton contactSkin_;
    COLORREF customColors_[16] = {};
};

bool RegisterHelpClass(HINSTANCE instance) {
    WNDCLASSA windowClass{};
    if (GetClassInfoA(instance, kHelpClassName, &windowClass)) {
        return true;
    }
    windowClass.lpfnWndProc = HelpWindow::WndProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
    windowClass.lpszClassName = kHelpClassName;
    return RegisterClassA(&windowClass) != 0;
}

BOOL CALLBACK FindHelpClass(HWND hwnd, LPARAM found) noexcept {
    char className[32] = {};
    GetClassNameA(hwnd, className, static_cast<int>(std::size(className)));
    if (lstrcmpA(className, kHelpClassName) != 0) {
        return TRUE;
    }
    *reinterpret_cast<HWND*>(found) = hwnd;
    return FALSE;
}

void BringToFront(HWND hwnd) {
    ShowWindow(hwnd, SW_SHOW);
    SetWindowPos(hwnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    SetForegroundWindow(hwnd);
}

}  // namespace

std::string ProductPageAddress() { return std::string("http://") + kBrandHost + "/pinpai"; }

std::string ChatAddress(uint32_t contactNumber) {
    return "tencent://message/?uin=" + std::to_string(contactNumber);
}

void OpenWithSystem(const std::string& gbkAddress) {
    SHELLEXECUTEINFOA execute{};
    execute.cbSize = sizeof execute;
    // No "cannot open" box when no program handles the scheme.
    execute.fMask = SEE_MASK_FLAG_NO_UI;
    execute.lpVerb = "open";
    execute.lpFile = gbkAddress.c_str();
    execute.nShow = SW_SHOWNORMAL;
    ShellExecuteExA(&execute);
}

HWND FindHelpWindow() {
    HWND found = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), FindHelpClass, reinterpret_cast<LPARAM>(&found));
    return found;
}

HWND OpenHelpWindow(strip::StripState& strip, const HelpSettings& settings) {
    if (HWND open = FindHelpWindow()) {
        BringToFront(open);
        return open;
    }
    HINSTANCE instance = GetModuleHandleA(nullptr);
    if (!RegisterHelpClass(instance)) {
        return nullptr;
    }
    std::unique_ptr<HelpWindow> window;
    try {
        window = std::make_unique<HelpWindow>(strip, settings);
    } catch (...) {
        return nullptr;
    }
    const int left = (GetSystemMetrics(SM_CXSCREEN) - kWidthPx) / 2;
    const int top = (GetSystemMetrics(SM_CYSCREEN) - kHeightPx) / 2;
    // The window takes the object at WM_NCCREATE; one never created is freed here.
    HWND hwnd = CreateWindowExA(WS_EX_TOOLWINDOW, kHelpClassName, "", WS_POPUP, left, top, kWidthPx, kHeightPx,
                                nullptr, nullptr, instance, &window);
    if (hwnd) {
        BringToFront(hwnd);
    }
    return hwnd;
}

void OnHelpButton(strip::StripState& strip, const HelpSettings& settings) {
    OfferAutostart(settings.Autostart, settings.AskAutostart);
    OpenHelpWindow(strip, settings);
}

void OnHelpButton(strip::StripState& strip) { OnHelpButton(strip, HelpSettings{}); }

}  // namespace help
