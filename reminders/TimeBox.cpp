// 时间编辑框: the key table, the swallowed mouse moves and the spinner's steps.
#include "reminders/TimeBox.h"

#include <commctrl.h>

#include <string>

#include "reminders/ReminderCore.h"

namespace reminders {

namespace {

constexpr UINT_PTR kSubclassId = 1;
constexpr int kSpinnerWidthPx = 17;

std::string WindowText(HWND hwnd) {
    std::string text(static_cast<size_t>(GetWindowTextLengthA(hwnd)) + 1, '\0');
    text.resize(static_cast<size_t>(GetWindowTextA(hwnd, text.data(), static_cast<int>(text.size()))));
    return text;
}

TextSelection BoxSelection(HWND box) {
    DWORD start = 0;
    DWORD end = 0;
    SendMessageA(box, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    return TextSelection{static_cast<int>(start), static_cast<int>(end - start)};
}

void SelectInBox(HWND box, TextSelection selection) {
    SendMessageA(box, EM_SETSEL, static_cast<WPARAM>(selection.Start),
                 static_cast<LPARAM>(selection.Start + selection.Length));
}

int CurrentYear() {
    SYSTEMTIME now;
    GetLocalTime(&now);
    return now.wYear;
}

bool ModifierHeld() {
    return GetKeyState(VK_SHIFT) < 0 || GetKeyState(VK_CONTROL) < 0 || GetKeyState(VK_MENU) < 0;
}

// True when the key was handled here and must not reach the box.
bool OnKeyDown(HWND box, HWND label, WPARAM key) {
    if (ModifierHeld()) {
        return true;
    }
    switch (key) {
    case VK_BACK:
    case VK_DELETE:
        return true;
    case VK_UP:
        StepTimeBox(box, label, +1);
        return true;
    case VK_DOWN:
        StepTimeBox(box, label, -1);
        return true;
    case VK_RIGHT:
        SelectInBox(box, SelectionAfterRight(BoxSelection(box).Start, GetWindowTextLengthA(box)));
        return true;
    case VK_LEFT:
        SelectInBox(box, SelectionAfterLeft(BoxSelection(box).Start));
        return true;
    default:
        return false;
    }
}

LRESULT CALLBACK TimeBoxProc(HWND box, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR labelData) noexcept {
    switch (msg) {
    case WM_MOUSEMOVE:
        // The box never sees the pointer move, so a drag cannot select across fields.
        return 0;
    case WM_LBUTTONUP:
        SelectInBox(box, SnapSelectionToField(BoxSelection(box)));
        break;
    case WM_KEYDOWN:
        if (OnKeyDown(box, reinterpret_cast<HWND>(labelData), wParam)) {
            return 0;
        }
        break;
    case WM_NCDESTROY:
        RemoveWindowSubclass(box, TimeBoxProc, kSubclassId);
        break;
    default:
        break;
    }
    return DefSubclassProc(box, msg, wParam, lParam);
}

}  // namespace

HWND CreateTimeBox(HWND dialog, int boxId, int spinnerId, const RECT& place, HWND label) {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_UPDOWN_CLASS};
    InitCommonControlsEx(&controls);
    HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(dialog, GWLP_HINSTANCE));
    HWND box = CreateWindowExA(WS_EX_CLIENTEDGE, "EDIT", "",
                               WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_READONLY | ES_CENTER | ES_NOHIDESEL |
                                   ES_AUTOHSCROLL,
                               place.left, place.top, place.right - place.left, place.bottom - place.top, dialog,
                               reinterpret_cast<HMENU>(static_cast<INT_PTR>(boxId)), instance, nullptr);
    if (!box) {
        return nullptr;
    }
    SendMessageA(box, EM_LIMITTEXT, kTimeTextLength, 0);
    SetWindowSubclass(box, TimeBoxProc, kSubclassId, reinterpret_cast<DWORD_PTR>(label));
    // The spinner only reports presses: no buddy integer, no arrow keys of its
    // own, and its position never moves (the dialog refuses every change).
    HWND spinner = CreateWindowExA(0, UPDOWN_CLASSA, "", WS_CHILD | WS_VISIBLE, place.right, place.top,
                                   kSpinnerWidthPx, place.bottom - place.top, dialog,
                                   reinterpret_cast<HMENU>(static_cast<INT_PTR>(spinnerId)), instance, nullptr);
    if (spinner) {
        SendMessageA(spinner, UDM_SETRANGE32, 0, 100);
        SendMessageA(spinner, UDM_SETPOS32, 0, 50);
    }
    return box;
}

void StepTimeBox(HWND box, HWND label, int step) {
    std::string text = WindowText(box);
    SteppedText stepped = StepSelectedField(text, BoxSelection(box), step, YearRangeFor(CurrentYear()));
    if (stepped.Text != text) {
        SetWindowTextA(box, stepped.Text.c_str());
    }
    SelectInBox(box, stepped.Selection);
    SetWindowTextA(label, DateCheckText(stepped.Text).c_str());
}

}  // namespace reminders
