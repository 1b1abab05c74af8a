// The layered skin window and its caret blink.
#include "skin/controls/SkinControls.h"
#include "skin/core/SkinInternal.h"

namespace skin {

namespace {

constexpr UINT kCaretBlinkMs = 500;
constexpr int kCaretHeightPx = 12;

// Children stop painting themselves: from now on the window's composition
// draws them, so their own procedures and snapshots are of no more use.
void EnterChildMode(HWND child) {
    if (LONG_PTR ordinary = GetSkinProp(child, kPropWndProc)) {
        SetWindowLongPtrA(child, GWLP_WNDPROC, ordinary);
        RemovePropA(child, kPropWndProc);
        DeleteCacheBitmap(child);
    }
    if (GetSkinProp(child, kPropChildWndProc) != 0) {
        return;
    }
    WNDPROC childProcedure = nullptr;
    switch (GetSkinProp(child, kPropType)) {
        case kTypeButton:
            childProcedure = ButtonChildWndProc;
            break;
        case kTypeEditBox:
            childProcedure = EditChildWndProc;
            break;
        default:
            return;
    }
    LONG_PTR previous = SetWindowLongPtrA(child, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(childProcedure));
    SetSkinProp(child, kPropChildWndProc, previous);
}

void RefreshHere(HWND window) {
    for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (GetSkinProp(child, kPropType) != 0) {
            EnterChildMode(child);
        }
    }
    ComposeWindow(window, false);
}

}  // namespace

bool SkinWindow::Attach(HWND window) {
    if (!IsWindow(window)) {
        return false;
    }
    hwnd_ = window;
    // Set, not added: a layered window presented by UpdateLayeredWindow only.
    SetWindowLongPtrA(window, GWL_EXSTYLE, WS_EX_LAYERED);
    CreateCaret(window, nullptr, 1, kCaretHeightPx);
    if (GetSkinProp(window, kPropTimer) == 0) {
        SetTimer(window, kCaretTimerId, kCaretBlinkMs, CaretBlinkTimer);
        SetSkinProp(window, kPropTimer, static_cast<intptr_t>(kCaretTimerId));
    }
    // The parent procedure also answers requests carried over from other
    // threads, which lets Refresh be called from anywhere.
    SubclassOnce(window, ParentWndProc);
    return true;
}

bool SkinWindow::SetBackImage(SkinImage picture) {
    if (!IsWindow(hwnd_) || !picture) {
        return false;
    }
    SetSkinProp(hwnd_, kPropBackImage, reinterpret_cast<intptr_t>(picture));
    ComposeWindow(hwnd_, false);
    return true;
}

bool SkinWindow::SetBackImageFromBytes(Bytes pngBytes) { return SetBackImage(SharedImageFromBytes(pngBytes)); }

void SkinWindow::Refresh() {
    if (!IsWindow(hwnd_)) {
        return;
    }
    HWND window = hwnd_;
    auto work = [window] { RefreshHere(window); };
    detail::RunOnWindowThread(window, work);
}

void SkinWindow::Move(const Placement& placement, bool noRedraw) {
    RECT rect{};
    GetWindowRect(hwnd_, &rect);
    detail::MoveKeeping(hwnd_, {rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top}, placement,
                        noRedraw);
}

bool SkinWindow::IsValid() const { return IsWindow(hwnd_) == TRUE; }

LRESULT SkinWindow::SendMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    return ::SendMessageA(hwnd_, message, wParam, lParam);
}

void CALLBACK CaretBlinkTimer(HWND window, UINT, UINT_PTR timerId, DWORD) noexcept {
    CaretState& caret = Caret();
    if (timerId != kCaretTimerId || window != caret.FocusedEditParent || !caret.FocusedEdit || !caret.LastFrame) {
        return;
    }
    // Only the stored frame goes up again: a blink never composes.
    caret.CaretShown ^= 1;
    PresentLayered(window, caret.LastFrame.get(), caret.CaretShown == 1);
}

}  // namespace skin
