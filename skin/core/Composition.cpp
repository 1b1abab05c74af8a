// Layered windows: every skinned child composed into one ARGB frame, which
// UpdateLayeredWindow shows (Windows draws no children of such a window).
#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "skin/controls/SkinControls.h"
#include "skin/core/SkinInternal.h"

namespace skin {

namespace {

namespace gp = detail::gp;

constexpr float kSizeSlack = 1e-7f;
constexpr int kCaretHeightPx = 12;
constexpr int kCaretGapPx = 5;
constexpr int kTextInsetPx = 2;
// StringFormatFlagsNoWrap | StringFormatFlagsNoFitBlackBox
constexpr int kTextFormatFlags = 0x1004;

Frame MakeFrame(int width, int height) {
    Gdiplus::GpBitmap* bitmap = nullptr;
    if (width <= 0 || height <= 0 ||
        gp::GdipCreateBitmapFromScan0(width, height, 0, PixelFormat32bppARGB, nullptr, &bitmap) != Gdiplus::Ok) {
        return nullptr;
    }
    detail::CountUp(detail::Counter::Gdiplus);
    return Frame(bitmap);
}

detail::Graphics GraphicsOnFrame(Gdiplus::GpImage* image) {
    Gdiplus::GpGraphics* graphics = nullptr;
    detail::Graphics owner;
    if (gp::GdipGetImageGraphicsContext(image, &graphics) == Gdiplus::Ok) {
        owner.Reset(graphics);
    }
    return owner;
}

void DrawEditText(HWND child, Gdiplus::GpGraphics* graphics, const detail::ChildPlace& place) {
    int length = GetWindowTextLengthA(child);
    std::string gbkText(static_cast<size_t>(length) + 1, '\0');
    gbkText.resize(static_cast<size_t>(GetWindowTextA(child, gbkText.data(), length + 1)));
    if (gbkText.empty()) {
        return;
    }
    std::vector<unsigned char> wideText = ToWideText(gbkText);
    Gdiplus::RectF layout(static_cast<float>(place.x + kTextInsetPx), static_cast<float>(place.y + kTextInsetPx),
                          static_cast<float>(place.width - 2 * kTextInsetPx),
                          static_cast<float>(place.height - 2 * kTextInsetPx));
    SkinFont font;
    font.CreateFromWindow(child);
    SkinStringFormat format;
    format.Create(kTextFormatFlags, 0);
    format.SetAlignment(Gdiplus::StringAlignmentNear, Gdiplus::StringAlignmentCenter);
    detail::Brush brush =
        detail::SolidBrush(ToArgb(static_cast<int32_t>(GetSkinProp(child, kPropTextColor)), 255));
    int units = static_cast<int>(wideText.size() / 2) - 1;
    gp::GdipDrawString(graphics, reinterpret_cast<const WCHAR*>(wideText.data()), units, font.GetHandle(), &layout,
                       format.GetHandle(), brush.Get());
}

// A background exactly the frame's size lands on the still transparent frame
// unchanged, so its pixels are copied instead of drawn: GDI+ would take
// several milliseconds to blend a whole strip of them.
bool CopyBackground(Gdiplus::GpBitmap* frame, SkinImage back, int width, int height) {
    UINT backWidth = 0;
    UINT backHeight = 0;
    gp::GdipGetImageWidth(back, &backWidth);
    gp::GdipGetImageHeight(back, &backHeight);
    Gdiplus::ImageType type = Gdiplus::ImageTypeUnknown;
    gp::GdipGetImageType(back, &type);
    if (type != Gdiplus::ImageTypeBitmap || backWidth != static_cast<UINT>(width) ||
        backHeight != static_cast<UINT>(height)) {
        return false;
    }
    auto* backBitmap = static_cast<Gdiplus::GpBitmap*>(back);
    Gdiplus::GpRect area(0, 0, width, height);
    Gdiplus::BitmapData source{};
    if (gp::GdipBitmapLockBits(backBitmap, &area, Gdiplus::ImageLockModeRead, PixelFormat32bppARGB, &source) !=
        Gdiplus::Ok) {
        return false;
    }
    Gdiplus::BitmapData target{};
    bool copied = gp::GdipBitmapLockBits(frame, &area, Gdiplus::ImageLockModeWrite, PixelFormat32bppARGB, &target) ==
                  Gdiplus::Ok;
    if (copied) {
        for (int row = 0; row < height; ++row) {
            std::memcpy(static_cast<unsigned char*>(target.Scan0) + static_cast<ptrdiff_t>(row) * target.Stride,
                        static_cast<const unsigned char*>(source.Scan0) + static_cast<ptrdiff_t>(row) * source.Stride,
                        static_cast<size_t>(width) * 4);
        }
        gp::GdipBitmapUnlockBits(frame, &target);
    }
    gp::GdipBitmapUnlockBits(backBitmap, &source);
    return copied;
}

Frame ComposeHere(HWND window, bool returnOnly) {
    RECT rect{};
    GetWindowRect(window, &rect);
    int width = rect.right - rect.left;
    int height = rect.bottom - rect.top;
    Frame frame = MakeFrame(width, height);
    if (!frame) {
        return nullptr;
    }
    auto back = reinterpret_cast<SkinImage>(GetSkinProp(window, kPropBackImage));
    bool backDone = !back || CopyBackground(frame.get(), back, width, height);
    {
        detail::Graphics graphics = GraphicsOnFrame(frame.get());
        if (!backDone) {
            gp::GdipDrawImageRectI(graphics.Get(), back, 0, 0, width, height);
        }
        // Top of the Z order first, so a child lower down ends up on top.
        for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
            if (GetSkinProp(child, kPropType) != 0) {
                DrawSkinChild(window, child, graphics.Get());
            }
        }
    }
    if (returnOnly) {
        return frame;
    }
    PresentLayered(window, frame.get(), false);
    CaretState& caret = Caret();
    if (window == caret.FocusedEditParent) {
        caret.LastFrame = std::move(frame);
    }
    return nullptr;
}

void PresentHere(HWND window, Gdiplus::GpBitmap* frame, bool withCaret) {
    RECT rect{};
    GetWindowRect(window, &rect);
    int width = rect.right - rect.left;
    int height = rect.bottom - rect.top;
    if (width <= 0 || height <= 0) {
        return;
    }
    detail::WindowDc windowDc = detail::WindowDc::Whole(window);
    detail::MemoryDc memory(windowDc.Get());
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top-down, row for row as the frame
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    detail::GdiObject<HBITMAP> dib(CreateDIBSection(memory.Get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!dib.Get() || !bits) {
        return;
    }
    detail::SelectGuard select(memory.Get(), dib.Get());

    // The layered window wants premultiplied alpha: GDI+ converts as it
    // copies the frame out, far cheaper than drawing it through a graphics.
    UINT frameWidth = 0;
    UINT frameHeight = 0;
    gp::GdipGetImageWidth(frame, &frameWidth);
    gp::GdipGetImageHeight(frame, &frameHeight);
    Gdiplus::GpRect copied(0, 0, (std::min)(width, static_cast<int>(frameWidth)),
                           (std::min)(height, static_cast<int>(frameHeight)));
    Gdiplus::BitmapData data{};
    if (copied.Width > 0 && copied.Height > 0 &&
        gp::GdipBitmapLockBits(frame, &copied, Gdiplus::ImageLockModeRead, PixelFormat32bppPARGB, &data) ==
            Gdiplus::Ok) {
        for (int row = 0; row < copied.Height; ++row) {
            std::memcpy(static_cast<unsigned char*>(bits) + static_cast<size_t>(row) * width * 4,
                        static_cast<const unsigned char*>(data.Scan0) + static_cast<ptrdiff_t>(row) * data.Stride,
                        static_cast<size_t>(copied.Width) * 4);
        }
        gp::GdipBitmapUnlockBits(frame, &data);
    }
    if (withCaret) {
        Gdiplus::GpBitmap* canvas = nullptr;
        if (gp::GdipCreateBitmapFromScan0(width, height, width * 4, PixelFormat32bppPARGB,
                                          static_cast<BYTE*>(bits), &canvas) == Gdiplus::Ok) {
            detail::CountUp(detail::Counter::Gdiplus);
            Frame canvasOwner(canvas);
            detail::Graphics graphics = GraphicsOnFrame(canvas);
            DrawCaret(window, Caret().FocusedEdit, graphics.Get());
        }
    }

    SIZE size{width, height};
    POINT source{0, 0};
    BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    UpdateLayeredWindow(window, windowDc.Get(), nullptr, &size, memory.Get(), &source, 0, &blend, ULW_ALPHA);
}

}  // namespace

void FrameDisposer::operator()(Gdiplus::GpBitmap* frame) const {
    gp::GdipDisposeImage(frame);
    detail::CountDown(detail::Counter::Gdiplus);
}

CaretState& Caret() {
    static CaretState state;
    return state;
}

Frame ComposeWindow(HWND window, bool returnOnly) {
    Frame result;
    auto work = [&] { result = ComposeHere(window, returnOnly); };
    detail::RunOnWindowThread(window, work);
    return result;
}

void PresentLayered(HWND window, Gdiplus::GpBitmap* frame, bool withCaret) {
    if (!IsWindow(window) || !frame) {
        return;
    }
    auto work = [&] { PresentHere(window, frame, withCaret); };
    detail::RunOnWindowThread(window, work);
}

void DrawSkinChild(HWND window, HWND child, Gdiplus::GpGraphics* graphics) {
    detail::ChildPlace place = detail::PlaceIn(window, child);
    intptr_t type = GetSkinProp(child, kPropType);
    intptr_t mode = GetSkinProp(child, kPropBackType);

    SkinImage picture = nullptr;
    if (type == kTypePictureBox) {
        picture = reinterpret_cast<SkinImage>(GetSkinProp(child, kPropBackImage));
    } else if (type == kTypeButton) {
        picture = SelectStateImage(child, static_cast<int>(GetSkinProp(child, kPropDrawState)));
    } else if (type == kTypeEditBox) {
        picture = reinterpret_cast<SkinImage>(GetSkinProp(child, kPropBackImage));
        auto backColor = static_cast<int32_t>(GetSkinProp(child, kPropBackColor));
        if (backColor != kNoColor) {
            detail::Brush fill =
                detail::SolidBrush(ToArgb(backColor, static_cast<int>(GetSkinProp(child, kPropBackAlpha))));
            gp::GdipFillRectangleI(graphics, fill.Get(), place.x, place.y, place.width, place.height);
        }
    }

    if (picture) {
        Gdiplus::SizeF size = detail::PictureSize(picture);
        Gdiplus::RectF destination(static_cast<float>(place.x), static_cast<float>(place.y), size.Width, size.Height);
        if (mode == kBackStretched) {
            destination.Width = static_cast<float>(place.width);
            destination.Height = static_cast<float>(place.height);
        } else if (mode == kBackFitted) {
            SIZE fitted = FitSize(static_cast<int>(size.Width), static_cast<int>(size.Height), place.width,
                                  place.height);
            destination = Gdiplus::RectF(static_cast<float>(place.x + (place.width - fitted.cx) / 2),
                                         static_cast<float>(place.y + (place.height - fitted.cy) / 2),
                                         static_cast<float>(fitted.cx), static_cast<float>(fitted.cy));
        } else if (size.Width - place.width > kSizeSlack || size.Height - place.height > kSizeSlack) {
            // Only the part that fits, and nothing more for this child: an
            // edit box with an oversized picture shows neither border nor text.
            gp::GdipDrawImagePointRect(graphics, picture, static_cast<float>(place.x), static_cast<float>(place.y), 0,
                                       0, static_cast<float>(place.width), static_cast<float>(place.height),
                                       Gdiplus::UnitPixel);
            return;
        }
        gp::GdipDrawImageRect(graphics, picture, destination.X, destination.Y, destination.Width,
                              destination.Height);
    }

    if (type != kTypeEditBox) {
        return;
    }
    auto orderColor = static_cast<int32_t>(GetSkinProp(child, kPropOrderColor));
    if (orderColor != kNoColor) {
        Gdiplus::GpPen* pen = nullptr;
        detail::Pen penOwner;
        if (gp::GdipCreatePen1(ToArgb(orderColor, static_cast<int>(GetSkinProp(child, kPropOrderAlpha))), 1.0f,
                               Gdiplus::UnitWorld, &pen) == Gdiplus::Ok) {
            penOwner.Reset(pen);
        }
        gp::GdipDrawRectangleI(graphics, penOwner.Get(), place.x, place.y, place.width, place.height);
    }
    DrawEditText(child, graphics, place);
}

void DrawCaret(HWND window, HWND editBox, Gdiplus::GpGraphics* graphics) {
    if (!editBox) {
        return;
    }
    detail::ChildPlace place = detail::PlaceIn(window, editBox);
    POINT caret{};
    GetCaretPos(&caret);
    int x = place.x + caret.x + kCaretGapPx;
    int y = place.y + (place.height - kCaretHeightPx) / 2;
    // A filled 1-pixel column: a line's end point would make it 13 pixels tall.
    detail::Brush black = detail::SolidBrush(ToArgb(0, 255));
    gp::GdipFillRectangleI(graphics, black.Get(), x, y, 1, kCaretHeightPx);
}

LRESULT CALLBACK EditChildWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
    auto previous = reinterpret_cast<WNDPROC>(GetSkinProp(window, kPropChildWndProc));
    CaretState& caret = Caret();
    switch (message) {
        case WM_SETFOCUS:
            caret.CaretShown = 0;
            caret.FocusedEditParent = GetParent(window);
            caret.FocusedEdit = window;
            break;
        case WM_KILLFOCUS:
            caret.FocusedEdit = nullptr;
            caret.FocusedEditParent = nullptr;
            break;
        case WM_CHAR:
        case WM_IME_CHAR:
        case WM_SETTEXT:
        case WM_CUT:
        case WM_PASTE:
        case WM_KEYDOWN:
        case WM_LBUTTONUP:
            break;
        default:
            return CallWindowProcA(previous, window, message, wParam, lParam);
    }
    LRESULT result = CallWindowProcA(previous, window, message, wParam, lParam);
    // Shows the new text at once; the caret comes back with the next blink.
    ComposeWindow(GetParent(window), false);
    return result;
}

}  // namespace skin
