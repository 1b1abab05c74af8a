// The window-property model: SkinControl, subclassing, the parent procedure.
#include "skin/core/SkinInternal.h"

#include <commctrl.h>

#include "app/AppMessages.h"

namespace skin {

namespace {

HWND gSharedToolTip = nullptr;

// Marks a carried request, so a stray WM_APP_SKIN_REFRESH with other
// parameters is never taken for one.
constexpr WPARAM kCarriedWorkMark = 0x534B494E;
constexpr LRESULT kCarriedWorkDone = 0x444F4E45;

struct CarriedWork {
    void (*work)(void* context);
    void* context;
};

bool ChangeLong(HWND window, int index, LONG_PTR clear, LONG_PTR set, UINT extraFlags) {
    LONG_PTR old = GetWindowLongPtrA(window, index);
    LONG_PTR changed = (old & ~clear) | set;
    if (changed == old) {
        return false;
    }
    SetWindowLongPtrA(window, index, changed);
    if (extraFlags != 0) {
        SetWindowPos(window, nullptr, 0, 0, 0, 0,
                     SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | extraFlags);
    }
    return true;
}

HWND ParentOf(HWND window) {
    return (GetWindowLongPtrA(window, GWL_STYLE) & WS_CHILD) ? GetParent(window) : nullptr;
}

}  // namespace

intptr_t GetSkinProp(HWND window, const char* name) {
    return reinterpret_cast<intptr_t>(GetPropA(window, name));
}

void SetSkinProp(HWND window, const char* name, intptr_t value) {
    SetPropA(window, name, reinterpret_cast<HANDLE>(value));
}

namespace detail {

ChildPlace PlaceInParent(HWND window) {
    RECT rect{};
    GetWindowRect(window, &rect);
    POINT corner{rect.left, rect.top};
    if (HWND parent = ParentOf(window)) {
        ScreenToClient(parent, &corner);
    }
    return {corner.x, corner.y, rect.right - rect.left, rect.bottom - rect.top};
}

ChildPlace PlaceIn(HWND container, HWND child) {
    RECT rect{};
    GetWindowRect(child, &rect);
    POINT corner{rect.left, rect.top};
    ScreenToClient(container, &corner);
    return {corner.x, corner.y, rect.right - rect.left, rect.bottom - rect.top};
}

Gdiplus::SizeF PictureSize(SkinImage picture) {
    Gdiplus::REAL width = 0;
    Gdiplus::REAL height = 0;
    gp::GdipGetImageDimension(picture, &width, &height);
    return Gdiplus::SizeF(width, height);
}

Gdiplus::RectF BackImageDestination(HWND window, SkinImage picture, int width, int height) {
    Gdiplus::SizeF size = PictureSize(picture);
    intptr_t mode = GetSkinProp(window, kPropBackType);
    if (mode == kBackStretched) {
        return Gdiplus::RectF(0, 0, static_cast<float>(width), static_cast<float>(height));
    }
    if (mode == kBackFitted) {
        SIZE fitted = FitSize(static_cast<int>(size.Width), static_cast<int>(size.Height), width, height);
        return Gdiplus::RectF(static_cast<float>((width - fitted.cx) / 2), static_cast<float>((height - fitted.cy) / 2),
                              static_cast<float>(fitted.cx), static_cast<float>(fitted.cy));
    }
    return Gdiplus::RectF(0, 0, size.Width, size.Height);
}

void MoveKeeping(HWND window, const ChildPlace& current, const Placement& placement, bool noRedraw) {
    UINT flags = SWP_NOZORDER;
    if (noRedraw) {
        flags |= SWP_NOREDRAW;
    }
    if (!placement.left && !placement.top) {
        flags |= SWP_NOMOVE;
    }
    if (!placement.width && !placement.height) {
        flags |= SWP_NOSIZE;
    }
    SetWindowPos(window, nullptr, placement.left.value_or(current.x), placement.top.value_or(current.y),
                 placement.width.value_or(current.width), placement.height.value_or(current.height), flags);
}

bool RunOnWindowThread(HWND window, void (*work)(void* context), void* context) {
    DWORD owner = GetWindowThreadProcessId(window, nullptr);
    if (owner == 0) {
        return false;
    }
    if (owner == GetCurrentThreadId()) {
        work(context);
        return true;
    }
    // Sent, not posted: the caller's request is done, in order, when this returns.
    CarriedWork carried{work, context};
    return ::SendMessageA(window, WM_APP_SKIN_REFRESH, kCarriedWorkMark, reinterpret_cast<LPARAM>(&carried)) ==
           kCarriedWorkDone;
}

}  // namespace detail

bool SubclassOnce(HWND window, WNDPROC procedure) {
    if (GetSkinProp(window, kPropWndProc) != 0) {
        return false;
    }
    LONG_PTR previous = SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(procedure));
    SetSkinProp(window, kPropWndProc, previous);
    return previous != 0;
}

LRESULT CallPreviousWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto previous = reinterpret_cast<WNDPROC>(GetSkinProp(window, kPropWndProc));
    if (!previous) {
        return DefWindowProcA(window, message, wParam, lParam);
    }
    return CallWindowProcA(previous, window, message, wParam, lParam);
}

bool ChangeStyle(HWND window, LONG_PTR clear, LONG_PTR set, UINT extraFlags) {
    return ChangeLong(window, GWL_STYLE, clear, set, extraFlags);
}

bool ChangeExStyle(HWND window, LONG_PTR clear, LONG_PTR set, UINT extraFlags) {
    return ChangeLong(window, GWL_EXSTYLE, clear, set, extraFlags);
}

LRESULT CALLBACK ParentWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
    switch (message) {
        case WM_NOTIFY: {
            auto* header = reinterpret_cast<const NMHDR*>(lParam);
            if (header && GetSkinProp(header->hwndFrom, kPropType) == kTypeButton && header->code == NM_CUSTOMDRAW) {
                int state = static_cast<int>(GetSkinProp(header->hwndFrom, kPropDrawState));
                detail::WindowDc dc = detail::WindowDc::Whole(header->hwndFrom);
                PaintFromCache(header->hwndFrom, dc.Get(), SelectStateImage(header->hwndFrom, state));
            }
            break;
        }
        case WM_COMMAND: {
            auto control = reinterpret_cast<HWND>(lParam);
            WORD code = HIWORD(wParam);
            if (control && GetSkinProp(control, kPropType) == kTypeEditBox &&
                (code == EN_VSCROLL || code == EN_HSCROLL || code == EN_CHANGE)) {
                InvalidateRect(control, nullptr, TRUE);
            }
            break;
        }
        case WM_CTLCOLORMSGBOX:
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORLISTBOX:
        case WM_CTLCOLORBTN:
        case WM_CTLCOLORDLG:
        case WM_CTLCOLORSTATIC: {
            auto control = reinterpret_cast<HWND>(lParam);
            intptr_t type = GetSkinProp(control, kPropType);
            if (type == 0) {
                break;
            }
            auto hdc = reinterpret_cast<HDC>(wParam);
            if (type == kTypeEditBox) {
                SetTextColor(hdc, static_cast<COLORREF>(GetSkinProp(control, kPropTextColor)));
            }
            SetBkMode(hdc, TRANSPARENT);
            return reinterpret_cast<LRESULT>(GetStockObject(NULL_BRUSH));
        }
        case WM_APP_SKIN_REFRESH:
            if (wParam == kCarriedWorkMark) {
                auto* carried = reinterpret_cast<CarriedWork*>(lParam);
                carried->work(carried->context);
                return kCarriedWorkDone;
            }
            break;
    }
    return CallPreviousWndProc(window, message, wParam, lParam);
}

bool SkinControl::Bind(HWND window) {
    if (!IsWindow(window)) {
        return false;
    }
    HWND parent = GetParent(window);
    if (parent && GetSkinProp(parent, kPropType) == 0) {
        SubclassOnce(parent, ParentWndProc);
    }
    // Painted after what lies beneath, over a parent that does not clip it away.
    ChangeStyle(window, WS_CLIPSIBLINGS, 0);
    ChangeExStyle(window, 0, WS_EX_TRANSPARENT);
    if (parent) {
        ChangeStyle(parent, WS_CLIPCHILDREN, 0);
    }
    hwnd_ = window;
    return true;
}

void SkinControl::SetProperty(const char* name, intptr_t value) { SetSkinProp(hwnd_, name, value); }

intptr_t SkinControl::GetProperty(const char* name) const { return GetSkinProp(hwnd_, name); }

void SkinControl::SendMessageNoResult(UINT message, WPARAM wParam, LPARAM lParam) {
    ::SendMessageA(hwnd_, message, wParam, lParam);
}

HWND SharedToolTip() { return gSharedToolTip; }

void SkinControl::SetToolTip(const std::string& gbkText, bool atCursor) {
    if (!gSharedToolTip) {
        gSharedToolTip = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, "", 0, 0, 0, 0, 0, nullptr, nullptr,
                                         nullptr, nullptr);
        // Lets long tips wrap onto several lines.
        ::SendMessageA(gSharedToolTip, TTM_SETMAXTIPWIDTH, 0, 1024);
    }
    TTTOOLINFOA tool{};
    tool.cbSize = TTTOOLINFOA_V2_SIZE;
    tool.hwnd = hwnd_;
    tool.uId = 0;
    tool.lpszText = const_cast<char*>(gbkText.c_str());
    if (GetSkinProp(hwnd_, kPropToolTips) != 0) {
        ::SendMessageA(gSharedToolTip, TTM_UPDATETIPTEXTA, 0, reinterpret_cast<LPARAM>(&tool));
        return;
    }
    SetSkinProp(hwnd_, kPropToolTips, 1);
    tool.uFlags = TTF_SUBCLASS | (atCursor ? 0 : TTF_CENTERTIP);
    GetClientRect(hwnd_, &tool.rect);
    ::SendMessageA(gSharedToolTip, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
}

void SkinControl::Move(const Placement& placement, bool noRedraw) {
    detail::MoveKeeping(hwnd_, detail::PlaceInParent(hwnd_), placement, noRedraw);
}

bool SkinControl::IsValid() const { return IsWindow(hwnd_) == TRUE; }

void SkinControl::Invalidate() { InvalidateRect(hwnd_, nullptr, FALSE); }

LRESULT SkinControl::SendMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    return ::SendMessageA(hwnd_, message, wParam, lParam);
}

}  // namespace skin
