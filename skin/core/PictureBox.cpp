// The picture box and the cached-background painting it shares with buttons.
#include <optional>

#include "skin/core/SkinInternal.h"

namespace skin {

namespace {

// Every skinned picture box carries this window text.
constexpr const char* kGbkPictureBoxText = "棱镜真彩控件.图片框";

LRESULT CALLBACK PictureBoxWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
    switch (message) {
        case WM_PAINT: {
            PAINTSTRUCT paint;
            HDC hdc = BeginPaint(window, &paint);
            // The control is transparent and its parent does not clip it, so
            // the paint DC shows what the parent just painted underneath.
            SnapshotBackground(window, hdc);
            PaintFromCache(window, hdc, reinterpret_cast<SkinImage>(GetSkinProp(window, kPropBackImage)));
            EndPaint(window, &paint);
            return 0;
        }
        case WM_ERASEBKGND:
            return 1;
        case WM_NCDESTROY:
            DeleteCacheBitmap(window);
            break;
    }
    return CallPreviousWndProc(window, message, wParam, lParam);
}

}  // namespace

HWND SkinPictureBox::Create(HWND parent, int left, int top, int width, int height) {
    HWND window = CreateWindowExA(WS_EX_TRANSPARENT, "Static", kGbkPictureBoxText, WS_CHILD | WS_VISIBLE | SS_NOTIFY,
                                  left, top, width, height, parent, nullptr, nullptr, nullptr);
    Attach(window);
    return window;
}

void SkinPictureBox::Attach(HWND window, SkinImage picture) {
    if (!Bind(window)) {
        return;
    }
    SetSkinProp(window, kPropType, kTypePictureBox);
    SetWindowTextA(window, kGbkPictureBoxText);
    SubclassOnce(window, PictureBoxWndProc);
    if (picture) {
        SetBackImage(picture);
    }
}

void SkinPictureBox::SetBackImage(SkinImage picture) {
    SetSkinProp(hwnd_, kPropBackImage, reinterpret_cast<intptr_t>(picture));
    InvalidateWithParentArea(hwnd_);
}

void SkinPictureBox::SetBackImageFromBytes(Bytes pngBytes) { SetBackImage(SharedImageFromBytes(pngBytes)); }

void SkinPictureBox::SetBackType(intptr_t mode) { SetSkinProp(hwnd_, kPropBackType, mode); }

void DeleteCacheBitmap(HWND window) {
    detail::DeleteHeldObject(reinterpret_cast<HGDIOBJ>(GetSkinProp(window, kPropCacheBitmap)));
    RemovePropA(window, kPropCacheBitmap);
}

HBITMAP SnapshotBackground(HWND window, HDC hdc) {
    detail::ChildPlace place = detail::PlaceInParent(window);
    DeleteCacheBitmap(window);
    detail::MemoryDc memory(hdc);
    detail::GdiObject<HBITMAP> bitmap(CreateCompatibleBitmap(hdc, place.width, place.height));
    {
        detail::SelectGuard select(memory.Get(), bitmap.Get());
        BitBlt(memory.Get(), 0, 0, place.width, place.height, hdc, 0, 0, SRCCOPY);
    }
    HBITMAP cache = bitmap.Release();
    SetSkinProp(window, kPropCacheBitmap, reinterpret_cast<intptr_t>(cache));
    return cache;
}

void PaintFromCache(HWND window, HDC hdcOrNull, SkinImage picture) {
    auto cache = reinterpret_cast<HBITMAP>(GetSkinProp(window, kPropCacheBitmap));
    if (!cache) {
        return;
    }
    detail::ChildPlace place = detail::PlaceInParent(window);
    int width = place.width;
    int height = place.height;
    std::optional<detail::WindowDc> ownDc;
    HDC target = hdcOrNull;
    if (!target) {
        ownDc.emplace(detail::WindowDc::Whole(window));
        target = ownDc->Get();
    }
    detail::MemoryDc memory(target);
    detail::GdiObject<HBITMAP> canvas(CreateCompatibleBitmap(target, width, height));
    detail::SelectGuard selectCanvas(memory.Get(), canvas.Get());
    {
        detail::MemoryDc cacheDc(target);
        detail::SelectGuard selectCache(cacheDc.Get(), cache);
        BitBlt(memory.Get(), 0, 0, width, height, cacheDc.Get(), 0, 0, SRCCOPY);
    }
    if (picture) {
        // The graphics goes before the copy below: it may hold drawing back until deleted.
        detail::Graphics graphics = detail::GraphicsOnDc(memory.Get());
        Gdiplus::RectF destination = detail::BackImageDestination(window, picture, width, height);
        detail::gp::GdipDrawImageRect(graphics.Get(), picture, destination.X, destination.Y, destination.Width,
                                      destination.Height);
    }
    BitBlt(target, 0, 0, width, height, memory.Get(), 0, 0, SRCCOPY);
}

SkinImage SelectStateImage(HWND window, int drawState) {
    const char* name = nullptr;
    switch (drawState) {
        case kStateHover:
            name = kPropOverImage;
            break;
        case kStatePressed:
            name = kPropDownImage;
            break;
        case kStateDisabled:
            name = kPropDisableImage;
            break;
    }
    intptr_t picture = name ? GetSkinProp(window, name) : 0;
    if (picture == 0) {
        picture = GetSkinProp(window, kPropNormalImage);
    }
    return reinterpret_cast<SkinImage>(picture);
}

SIZE FitSize(int pictureWidth, int pictureHeight, int boxWidth, int boxHeight) {
    SIZE fitted{pictureWidth, pictureHeight};
    if (pictureWidth > boxWidth) {
        fitted.cx = boxWidth;
        fitted.cy = pictureWidth > 0 ? pictureHeight * boxWidth / pictureWidth : 0;
    }
    if (fitted.cy > boxHeight) {
        fitted.cx = fitted.cy > 0 ? fitted.cx * boxHeight / fitted.cy : 0;
        fitted.cy = boxHeight;
    }
    return fitted;
}

void InvalidateWithParentArea(HWND window) {
    // The parent first: the control's next snapshot must see the parent's
    // fresh painting, not the control's own last picture.
    detail::ChildPlace place = detail::PlaceInParent(window);
    if (HWND parent = GetParent(window)) {
        RECT area{place.x, place.y, place.x + place.width, place.y + place.height};
        InvalidateRect(parent, &area, FALSE);
    }
    InvalidateRect(window, nullptr, FALSE);
}

}  // namespace skin
