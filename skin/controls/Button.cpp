// The picture button: normal, hover, pressed and disabled pictures.
#include "skin/controls/SkinControls.h"
#include "skin/core/SkinInternal.h"

namespace skin {

namespace {

int DrawStateOf(HWND button) { return static_cast<int>(GetSkinProp(button, kPropDrawState)); }

void RepaintFromCache(HWND button) { PaintFromCache(button, nullptr, SelectStateImage(button, DrawStateOf(button))); }

// Asks for one WM_MOUSELEAVE when the pointer leaves the button.
void TrackLeave(HWND button) {
    TRACKMOUSEEVENT track{};
    track.cbSize = sizeof track;
    track.dwFlags = TME_LEAVE;
    track.hwndTrack = button;
    TrackMouseEvent(&track);
}

void StoreImage(HWND button, const char* name, const std::optional<SkinImage>& picture) {
    if (picture) {
        SetSkinProp(button, name, reinterpret_cast<intptr_t>(*picture));
    }
}

}  // namespace

void SetDrawState(HWND button, int state, bool force) {
    if (state != DrawStateOf(button)) {
        SetSkinProp(button, kPropDrawState, state);
    } else if (!force) {
        return;
    }
    RepaintFromCache(button);
}

LRESULT CALLBACK ButtonWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
    switch (message) {
        case WM_PAINT: {
            PAINTSTRUCT paint;
            HDC hdc = BeginPaint(window, &paint);
            SnapshotBackground(window, hdc);
            PaintFromCache(window, hdc, SelectStateImage(window, DrawStateOf(window)));
            EndPaint(window, &paint);
            return 0;
        }
        case WM_ERASEBKGND:
            return 1;
        case WM_NCPAINT:
            return 0;
        case WM_SETFOCUS:
            SetSkinProp(window, kPropIsFocus, 1);
            if (DrawStateOf(window) == kStatePressed) {
                SetDrawState(window, kStateHover, true);
            }
            return 0;
        case WM_KILLFOCUS:
            SetSkinProp(window, kPropIsFocus, 0);
            if (DrawStateOf(window) == kStateHover) {
                SetDrawState(window, kStateNormal, true);
            }
            return 0;
        case WM_NCDESTROY:
            DeleteCacheBitmap(window);
            break;
        case WM_ENABLE:
        case BM_SETSTATE:
        case WM_MOUSEMOVE:
        case WM_LBUTTONDOWN:
        case WM_LBUTTONUP:
        case WM_MOUSELEAVE: {
            // The state before the button's own handling, which may send BM_SETSTATE itself.
            int before = DrawStateOf(window);
            LRESULT result = CallPreviousWndProc(window, message, wParam, lParam);
            switch (message) {
                case WM_ENABLE:
                    SetDrawState(window, wParam ? kStateNormal : kStateDisabled, true);
                    break;
                case BM_SETSTATE:
                    SetDrawState(window,
                                 wParam == 1                             ? kStatePressed
                                 : GetSkinProp(window, kPropIsFocus) != 0 ? kStateHover
                                                                          : kStateNormal,
                                 false);
                    RepaintFromCache(window);
                    break;
                case WM_MOUSEMOVE:
                    if (before != kStateHover && before != kStatePressed) {
                        TrackLeave(window);
                        SetDrawState(window, kStateHover, true);
                    }
                    break;
                case WM_LBUTTONDOWN:
                    SetDrawState(window, kStatePressed, true);
                    break;
                case WM_LBUTTONUP:
                    SetDrawState(window, before == kStatePressed ? kStateHover : kStateNormal, true);
                    break;
                case WM_MOUSELEAVE:
                    SetDrawState(window, kStateNormal, true);
                    break;
            }
            return result;
        }
    }
    return CallPreviousWndProc(window, message, wParam, lParam);
}

LRESULT CALLBACK ButtonChildWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
    int state = DrawStateOf(window);
    int newState = -1;
    switch (message) {
        case WM_MOUSEMOVE:
            if (state != kStateHover && state != kStatePressed) {
                TrackLeave(window);
                newState = kStateHover;
            }
            break;
        case WM_MOUSELEAVE:
            newState = kStateNormal;
            break;
        case WM_LBUTTONDOWN:
            newState = kStatePressed;
            break;
        case WM_LBUTTONUP:
            newState = state == kStatePressed ? kStateHover : kStateNormal;
            break;
        case WM_ENABLE:
            newState = wParam ? kStateNormal : kStateDisabled;
            break;
    }
    if (newState >= 0) {
        SetSkinProp(window, kPropDrawState, newState);
        ComposeWindow(GetParent(window), false);
    }
    auto previous = reinterpret_cast<WNDPROC>(GetSkinProp(window, kPropChildWndProc));
    return CallWindowProcA(previous, window, message, wParam, lParam);
}

HWND SkinButton::Create(HWND parent, int left, int top, int width, int height, const std::string& gbkCaption) {
    HWND window = CreateWindowExA(WS_EX_TRANSPARENT, "Button", gbkCaption.c_str(), WS_CHILD | WS_VISIBLE, left, top,
                                  width, height, parent, nullptr, nullptr, nullptr);
    Attach(window);
    return window;
}

void SkinButton::Attach(HWND window, SkinImage normal) {
    if (!Bind(window)) {
        return;
    }
    SetSkinProp(window, kPropType, kTypeButton);
    if (normal) {
        SetSkinProp(window, kPropNormalImage, reinterpret_cast<intptr_t>(normal));
    }
    ChangeStyle(window, 0, BS_OWNERDRAW);
    SubclassOnce(window, ButtonWndProc);
    InvalidateWithParentArea(window);
}

void SkinButton::SetImages(const ButtonImages& images) {
    StoreImage(hwnd_, kPropNormalImage, images.normal);
    StoreImage(hwnd_, kPropOverImage, images.hover);
    StoreImage(hwnd_, kPropDownImage, images.pressed);
    StoreImage(hwnd_, kPropDisableImage, images.disabled);
}

void SkinButton::SetImagesFromBytes(const ButtonImageBytes& images) {
    auto decode = [](const std::optional<Bytes>& bytes) -> std::optional<SkinImage> {
        if (!bytes) {
            return std::nullopt;
        }
        return SharedImageFromBytes(*bytes);
    };
    SetImages({decode(images.normal), decode(images.hover), decode(images.pressed), decode(images.disabled)});
}

void SkinButton::SetBackType(intptr_t mode) { SetSkinProp(hwnd_, kPropBackType, mode); }

}  // namespace skin
