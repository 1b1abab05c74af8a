// 颜色选择器1: paints its colour, opens ChooseColor on a click or Space, and
// tells the parent when the user picked a different colour.
#include "reminders/ColorPicker.h"

#include <commdlg.h>

#include <algorithm>
#include <iterator>
#include <new>

namespace reminders {

namespace {

constexpr const char* kClassName = "QuilloColorPicker";

struct PickerState {
    COLORREF color = 0;
    COLORREF customColors[16] = {};  // the colour dialog's own row of saved colours
};

PickerState* StateOf(HWND picker) { return reinterpret_cast<PickerState*>(GetWindowLongPtrA(picker, GWLP_USERDATA)); }

void Paint(HWND picker) {
    PAINTSTRUCT paint;
    HDC hdc = BeginPaint(picker, &paint);
    RECT client;
    GetClientRect(picker, &client);
    FillRect(hdc, &client, GetSysColorBrush(COLOR_BTNFACE));
    RECT swatch = client;
    InflateRect(&swatch, -3, -3);
    if (HBRUSH fill = CreateSolidBrush(StateOf(picker)->color)) {
        FillRect(hdc, &swatch, fill);
        DeleteObject(fill);
    }
    FrameRect(hdc, &swatch, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    if (GetFocus() == picker) {
        RECT focus = client;
        InflateRect(&focus, -1, -1);
        DrawFocusRect(hdc, &focus);
    }
    EndPaint(picker, &paint);
}

LRESULT CALLBACK PickerProc(HWND picker, UINT msg, WPARAM wParam, LPARAM lParam) noexcept {
    switch (msg) {
    case WM_NCCREATE:
        SetWindowLongPtrA(picker, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(new (std::nothrow) PickerState));
        if (!StateOf(picker)) {
            return FALSE;
        }
        break;
    case WM_NCDESTROY:
        delete StateOf(picker);
        SetWindowLongPtrA(picker, GWLP_USERDATA, 0);
        break;
    case WM_PAINT:
        Paint(picker);
        return 0;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        InvalidateRect(picker, nullptr, TRUE);
        return 0;
    case WM_LBUTTONDOWN:
        SetFocus(picker);
        return 0;
    case WM_LBUTTONUP:
        OpenColorChoice(picker);
        return 0;
    case WM_GETDLGCODE:
        return DLGC_WANTCHARS;
    case WM_KEYDOWN:
        if (wParam == VK_SPACE) {
            OpenColorChoice(picker);
            return 0;
        }
        break;
    default:
        break;
    }
    return DefWindowProcA(picker, msg, wParam, lParam);
}

bool RegisterPickerClass(HINSTANCE instance) {
    WNDCLASSA windowClass{};
    if (GetClassInfoA(instance, kClassName, &windowClass)) {
        return true;
    }
    windowClass.lpfnWndProc = PickerProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursor(nullptr, IDC_HAND);
    windowClass.lpszClassName = kClassName;
    return RegisterClassA(&windowClass) != 0;
}

}  // namespace

HWND CreateColorPicker(HWND parent, int id, const RECT& place) {
    HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(parent, GWLP_HINSTANCE));
    if (!RegisterPickerClass(instance)) {
        return nullptr;
    }
    return CreateWindowExA(0, kClassName, "", WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_GROUP, place.left, place.top,
                           place.right - place.left, place.bottom - place.top, parent,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr);
}

void SetPickerColor(HWND picker, int32_t color) {
    if (PickerState* state = StateOf(picker)) {
        state->color = static_cast<COLORREF>(color) & 0x00FFFFFF;
        InvalidateRect(picker, nullptr, TRUE);
    }
}

int32_t PickerColor(HWND picker) {
    PickerState* state = StateOf(picker);
    return state ? static_cast<int32_t>(state->color) : 0;
}

void OpenColorChoice(HWND picker) {
    PickerState* state = StateOf(picker);
    if (!state) {
        return;
    }
    // The dialog runs a modal loop in which the picker may be destroyed: it
    // works on copies, and the picker is looked up again afterwards.
    COLORREF customColors[16];
    std::copy(std::begin(state->customColors), std::end(state->customColors), customColors);
    const COLORREF before = state->color;
    CHOOSECOLORA choice{};
    choice.lStructSize = sizeof choice;
    choice.hwndOwner = GetAncestor(picker, GA_ROOT);
    choice.rgbResult = before;
    choice.lpCustColors = customColors;
    choice.Flags = CC_RGBINIT | CC_FULLOPEN;
    const bool chosen = ChooseColorA(&choice);
    state = IsWindow(picker) ? StateOf(picker) : nullptr;
    if (!state) {
        return;
    }
    std::copy(std::begin(customColors), std::end(customColors), state->customColors);
    if (!chosen || choice.rgbResult == before) {
        return;
    }
    state->color = choice.rgbResult;
    InvalidateRect(picker, nullptr, TRUE);
    SendMessageA(GetParent(picker), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(picker), kColorPickerChanged),
                 reinterpret_cast<LPARAM>(picker));
}

}  // namespace reminders
