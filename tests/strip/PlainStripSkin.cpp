// A strip skin of plain controls for the strip's own tests: it keeps the
// strip usable and readable (captions on the buttons, coloured row frames and
// texts on a dark strip) without the skin module, so the tests show that the
// strip's logic relies on its skin only for what the skin operations promise.
#include "tests/strip/PlainStripSkin.h"

using strip::FirstRowControls;
using strip::FrameLook;
using strip::RowControlLists;
using strip::StripSkin;
using strip::StripState;

namespace strip_testing {

namespace {

constexpr const char* kPropSkin = "QuilloPlainSkin";
constexpr const char* kPropNextProc = "QuilloPlainNextProc";
constexpr const char* kPropTextColor = "QuilloPlainTextColor";
constexpr const char* kPropFrameLook = "QuilloPlainFrameLook";
constexpr COLORREF kBackColor = RGB(48, 52, 60);

COLORREF FrameColor(FrameLook look) {
    switch (look) {
    case FrameLook::Red:
        return RGB(230, 40, 40);
    case FrameLook::Yellow:
        return RGB(250, 210, 0);
    case FrameLook::Normal:
    default:
        return RGB(150, 150, 150);
    }
}

class PlainStripSkin;

void Subclass(HWND hwnd, WNDPROC proc, PlainStripSkin* skin) {
    SetPropA(hwnd, kPropSkin, skin);
    SetPropA(hwnd, kPropNextProc, reinterpret_cast<HANDLE>(GetWindowLongPtrA(hwnd, GWLP_WNDPROC)));
    SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(proc));
}

LRESULT CallNext(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    auto next = reinterpret_cast<WNDPROC>(GetPropA(hwnd, kPropNextProc));
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(next));
        RemovePropA(hwnd, kPropNextProc);
        RemovePropA(hwnd, kPropSkin);
        RemovePropA(hwnd, kPropTextColor);
        RemovePropA(hwnd, kPropFrameLook);
    }
    return CallWindowProcA(next, hwnd, message, wParam, lParam);
}

class PlainStripSkin final : public StripSkin {
public:
    explicit PlainStripSkin(StripState& strip) : strip_(strip), backBrush_(CreateSolidBrush(kBackColor)) {}
    ~PlainStripSkin() override { DeleteObject(backBrush_); }
    PlainStripSkin(const PlainStripSkin&) = delete;
    PlainStripSkin& operator=(const PlainStripSkin&) = delete;

    void StartSkin() override {}

    void SkinStrip(HWND stripHwnd, const FirstRowControls& firstRow) override {
        Subclass(stripHwnd, StripProc, this);
        SetWindowTextA(firstRow.AddButton, "+");
        SetWindowTextA(firstRow.HelpButton, "?");
        SetWindowTextA(firstRow.CloseButton, "×");
        SkinRowControls(firstRow.Frame, firstRow.EditBox, firstRow.DeleteButton, firstRow.ClockButton);
    }

    void SkinRow(int element) override {
        const size_t index = static_cast<size_t>(element - 1);
        const RowControlLists& rows = strip_.RowControls;
        SkinRowControls(rows.Frames[index], rows.EditBoxes[index], rows.DeleteButtons[index], rows.ClockButtons[index]);
        SetPropA(rows.EditBoxes[index], kPropTextColor, reinterpret_cast<HANDLE>(static_cast<INT_PTR>(strip_.StripTextColor)));
    }

    // The controls' own properties go with their windows.
    void DropRowSkins(int) override {}

    void PlaceRowControl(int, HWND control, int top) override {
        RECT place{};
        GetWindowRect(control, &place);
        MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&place), 2);
        SetWindowPos(control, nullptr, place.left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }

    void ResizeStrip(int widthOrZero, int heightOrZero) override {
        RECT place{};
        GetWindowRect(strip_.StripHwnd, &place);
        const int width = widthOrZero != 0 ? widthOrZero : place.right - place.left;
        const int height = heightOrZero != 0 ? heightOrZero : place.bottom - place.top;
        SetWindowPos(strip_.StripHwnd, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }

    // One plain background fits any number of rows.
    void SetStripBackground(int) override {}

    void ShowRowFrame(int row, FrameLook look) override {
        if (HWND frame = RowFrame(row)) {
            SetPropA(frame, kPropFrameLook, reinterpret_cast<HANDLE>(static_cast<INT_PTR>(look)));
            InvalidateRect(frame, nullptr, TRUE);
        }
    }

    void ShowRowReminder(int row, bool on) override {
        if (HWND clock = strip_.RowClockButton(row)) {
            SetWindowTextA(clock, on ? "◎" : "○");
        }
    }

    void ShowRowTextColor(int row, int32_t color) override {
        if (HWND editBox = strip_.RowEditBox(row)) {
            SetPropA(editBox, kPropTextColor, reinterpret_cast<HANDLE>(static_cast<INT_PTR>(color)));
            InvalidateRect(editBox, nullptr, TRUE);
        }
    }

    void RefreshStrip() override {
        if (strip_.StripHwnd) {
            RedrawWindow(strip_.StripHwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
        }
    }

private:
    HWND RowFrame(int row) const {
        if (row == 1) {
            return strip_.FirstRow.Frame;
        }
        const size_t element = static_cast<size_t>(row - 1);
        return row >= 2 && element <= strip_.RowControls.Frames.size() ? strip_.RowControls.Frames[element - 1]
                                                                         : nullptr;
    }

    void SkinRowControls(HWND frame, HWND editBox, HWND deleteButton, HWND clockButton) {
        Subclass(frame, FrameProc, this);
        // Under the row's edit box and buttons.
        SetWindowPos(frame, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        SetPropA(editBox, kPropTextColor, reinterpret_cast<HANDLE>(static_cast<INT_PTR>(strip_.StripTextColor)));
        SetWindowTextA(deleteButton, "×");
        SetWindowTextA(clockButton, "○");
    }

    static LRESULT CALLBACK StripProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
        auto* skin = static_cast<PlainStripSkin*>(GetPropA(hwnd, kPropSkin));
        switch (message) {
        case WM_ERASEBKGND: {
            RECT client{};
            GetClientRect(hwnd, &client);
            FillRect(reinterpret_cast<HDC>(wParam), &client, skin->backBrush_);
            return 1;
        }
        case WM_CTLCOLOREDIT: {
            auto dc = reinterpret_cast<HDC>(wParam);
            SetTextColor(dc, static_cast<COLORREF>(reinterpret_cast<INT_PTR>(
                                 GetPropA(reinterpret_cast<HWND>(lParam), kPropTextColor))));
            SetBkColor(dc, kBackColor);
            return reinterpret_cast<LRESULT>(skin->backBrush_);
        }
        default:
            return CallNext(hwnd, message, wParam, lParam);
        }
    }

    static LRESULT CALLBACK FrameProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
        auto* skin = static_cast<PlainStripSkin*>(GetPropA(hwnd, kPropSkin));
        switch (message) {
        case WM_NCHITTEST:
            // A press on a frame drags the strip, as on the strip itself.
            return HTTRANSPARENT;
        case WM_ERASEBKGND:
            return 1;
        case WM_PAINT: {
            PAINTSTRUCT paint;
            HDC dc = BeginPaint(hwnd, &paint);
            RECT client{};
            GetClientRect(hwnd, &client);
            FillRect(dc, &client, skin->backBrush_);
            auto look = static_cast<FrameLook>(reinterpret_cast<INT_PTR>(GetPropA(hwnd, kPropFrameLook)));
            HPEN pen = CreatePen(PS_SOLID, 1, FrameColor(look));
            HGDIOBJ oldPen = SelectObject(dc, pen);
            HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(NULL_BRUSH));
            RoundRect(dc, client.left + 1, client.top, client.right - 1, client.bottom, 6, 6);
            SelectObject(dc, oldBrush);
            SelectObject(dc, oldPen);
            DeleteObject(pen);
            EndPaint(hwnd, &paint);
            return 0;
        }
        default:
            return CallNext(hwnd, message, wParam, lParam);
        }
    }

    StripState& strip_;
    HBRUSH backBrush_;
};

}  // namespace

std::unique_ptr<StripSkin> MakePlainStripSkin(StripState& strip) { return std::make_unique<PlainStripSkin>(strip); }

}  // namespace strip_testing
