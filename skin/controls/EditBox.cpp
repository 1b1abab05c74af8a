// The see-through edit box.
#include <algorithm>

#include "skin/controls/SkinControls.h"
#include "skin/core/SkinInternal.h"

namespace skin {

namespace {

namespace gp = detail::gp;

constexpr int32_t kDefaultBackColor = 0xFFFFFF;
constexpr int32_t kDefaultOrderColor = 0x7B8084;
constexpr float kSizeSlack = 1e-7f;

int32_t ColorProp(HWND window, const char* name) { return static_cast<int32_t>(GetSkinProp(window, name)); }

void InvalidateClient(HWND window, bool erase) { InvalidateRect(window, nullptr, erase ? TRUE : FALSE); }

void DrawBackImage(HWND window, HDC hdc, SkinImage picture, int width, int height) {
    detail::Graphics graphics = detail::GraphicsOnDc(hdc);
    Gdiplus::RectF destination = detail::BackImageDestination(window, picture, width, height);
    if (destination.Width - width > kSizeSlack || destination.Height - height > kSizeSlack) {
        gp::GdipDrawImagePointRect(graphics.Get(), picture, destination.X, destination.Y, 0, 0,
                                   static_cast<float>(width), static_cast<float>(height), Gdiplus::UnitPixel);
        return;
    }
    gp::GdipDrawImageRect(graphics.Get(), picture, destination.X, destination.Y, destination.Width,
                          destination.Height);
}

// Background, picture and border go into the non-client DC; the part under
// the client area is kept, so every erase can put it back without redrawing.
void PaintFrame(HWND window) {
    RECT windowRect{};
    GetWindowRect(window, &windowRect);
    RECT frame{0, 0, windowRect.right - windowRect.left, windowRect.bottom - windowRect.top};
    RECT client{};
    GetClientRect(window, &client);
    // Taken as centred, even when the borders differ.
    int clientX = (frame.right - client.right) / 2;
    int clientY = (frame.bottom - client.bottom) / 2;

    detail::WindowDc dc = detail::WindowDc::Whole(window);
    int32_t backColor = ColorProp(window, kPropBackColor);
    if (backColor != kNoColor) {
        detail::GdiObject<HBRUSH> brush(CreateSolidBrush(static_cast<COLORREF>(backColor)));
        FillRect(dc.Get(), &frame, brush.Get());
    }
    if (auto picture = reinterpret_cast<SkinImage>(GetSkinProp(window, kPropBackImage))) {
        DrawBackImage(window, dc.Get(), picture, frame.right, frame.bottom);
    }
    int32_t orderColor = ColorProp(window, kPropOrderColor);
    if (orderColor != kNoColor) {
        detail::GdiObject<HBRUSH> brush(CreateSolidBrush(static_cast<COLORREF>(orderColor)));
        FrameRect(dc.Get(), &frame, brush.Get());
    }

    DeleteCacheBitmap(window);
    detail::MemoryDc memory(dc.Get());
    detail::GdiObject<HBITMAP> cache(CreateCompatibleBitmap(dc.Get(), client.right, client.bottom));
    {
        detail::SelectGuard select(memory.Get(), cache.Get());
        BitBlt(memory.Get(), 0, 0, client.right, client.bottom, dc.Get(), clientX, clientY, SRCCOPY);
    }
    SetSkinProp(window, kPropCacheBitmap, reinterpret_cast<intptr_t>(cache.Release()));
}

}  // namespace

LRESULT CALLBACK EditFrameWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
    switch (message) {
        case WM_NCPAINT:
            PaintFrame(window);
            return 1;
        case WM_ERASEBKGND: {
            if (auto cache = reinterpret_cast<HBITMAP>(GetSkinProp(window, kPropCacheBitmap))) {
                RECT client{};
                GetClientRect(window, &client);
                auto hdc = reinterpret_cast<HDC>(wParam);
                detail::MemoryDc cacheDc(hdc);
                detail::SelectGuard select(cacheDc.Get(), cache);
                BitBlt(hdc, 0, 0, client.right, client.bottom, cacheDc.Get(), 0, 0, SRCCOPY);
            }
            InvalidateClient(window, false);
            return 1;
        }
        case WM_GETDLGCODE:
        case WM_KEYDOWN:
        case WM_HSCROLL:
        case WM_VSCROLL:
        case WM_LBUTTONDOWN:
        case WM_CUT:
        case WM_PASTE:
            InvalidateClient(window, true);
            break;
        case WM_NCDESTROY:
            DeleteCacheBitmap(window);
            break;
    }
    return CallPreviousWndProc(window, message, wParam, lParam);
}

void SkinEditBox::Attach(HWND window) {
    if (!Bind(window)) {
        return;
    }
    intptr_t parentType = GetSkinProp(GetParent(window), kPropType);
    SetSkinProp(window, kPropType, kTypeEditBox);
    SetSkinProp(window, kPropBackColor, parentType == kTypeComposingParent ? kNoColor : kDefaultBackColor);
    SetSkinProp(window, kPropBackAlpha, 255);
    SetSkinProp(window, kPropOrderColor, kDefaultOrderColor);
    SetSkinProp(window, kPropOrderAlpha, 255);
    SetSkinProp(window, kPropTextColor, 0);
    // Before subclassing, so the edit's own procedure lays out its new frame.
    SetWindowPos(window, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_FRAMECHANGED);
    if (parentType == kTypeComposingParent) {
        if (GetSkinProp(window, kPropChildWndProc) == 0) {
            LONG_PTR previous =
                SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(EditChildWndProc));
            SetSkinProp(window, kPropChildWndProc, previous);
        }
        return;
    }
    SubclassOnce(window, EditFrameWndProc);
    InvalidateWithParentArea(window);
}

void SkinEditBox::SetBackColor(int32_t color, std::optional<int> alpha) {
    SetSkinProp(hwnd_, kPropBackColor, color);
    if (alpha) {
        SetSkinProp(hwnd_, kPropBackAlpha, std::clamp(*alpha, 0, 255));
    }
    ::SendMessageA(hwnd_, WM_NCPAINT, 0, 0);
    InvalidateClient(hwnd_, true);
}

void SkinEditBox::SetOrderColor(int32_t color, std::optional<int> alpha) {
    SetSkinProp(hwnd_, kPropOrderColor, color);
    if (alpha) {
        SetSkinProp(hwnd_, kPropOrderAlpha, std::clamp(*alpha, 0, 255));
    }
    ::SendMessageA(hwnd_, WM_NCPAINT, 0, 0);
    InvalidateClient(hwnd_, true);
}

void SkinEditBox::SetTextColor(int32_t color) {
    SetSkinProp(hwnd_, kPropTextColor, color);
    InvalidateClient(hwnd_, true);
}

void SkinEditBox::SetBackImage(SkinImage picture) {
    SetSkinProp(hwnd_, kPropBackImage, reinterpret_cast<intptr_t>(picture));
    ::SendMessageA(hwnd_, WM_NCPAINT, 0, 0);
    InvalidateWithParentArea(hwnd_);
}

void SkinEditBox::SetBackImageFromBytes(Bytes pngBytes) { SetBackImage(SharedImageFromBytes(pngBytes)); }

void SkinEditBox::SetBackType(intptr_t mode) {
    SetSkinProp(hwnd_, kPropBackType, mode);
    InvalidateClient(hwnd_, true);
}

std::string SkinEditBox::GetText() const {
    int length = GetWindowTextLengthA(hwnd_);
    std::string gbkText(static_cast<size_t>(length) + 1, '\0');
    gbkText.resize(static_cast<size_t>(GetWindowTextA(hwnd_, gbkText.data(), length + 1)));
    return gbkText;
}

}  // namespace skin
