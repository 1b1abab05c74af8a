// The skin module's core: start-up, pictures, the window-property control
// model, picture boxes and the composition of layered skin windows.
// Every setting of a skinned control lives in a named property of its own
// window; skin objects are thin handles that only remember the window.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace Gdiplus {
class GpImage;
class GpBitmap;
class GpGraphics;
}  // namespace Gdiplus

namespace skin {

// A decoded picture; nullptr means no picture. Pictures are shared between
// controls and never disposed by them.
using SkinImage = Gdiplus::GpImage*;
using Bytes = std::span<const unsigned char>;

// Property names.
inline constexpr const char* kPropType = "PngControl_Type";
inline constexpr const char* kPropWndProc = "PngControl_WndProc";
inline constexpr const char* kPropChildWndProc = "PngControl_ChildWndProc";
inline constexpr const char* kPropBackType = "PngControl_BackType";
inline constexpr const char* kPropBackImage = "PngControl_BackImage";
inline constexpr const char* kPropCacheBitmap = "PngControl_CacheBitmap";
inline constexpr const char* kPropBackColor = "PngControl_BackColor";
inline constexpr const char* kPropBackAlpha = "PngControl_BackAlpha";
inline constexpr const char* kPropOrderColor = "PngControl_OrderColor";
inline constexpr const char* kPropOrderAlpha = "PngControl_OrderAlpha";
inline constexpr const char* kPropTextColor = "PngControl_TextColor";
inline constexpr const char* kPropNormalImage = "PngControl_NormalImage";
inline constexpr const char* kPropOverImage = "PngControl_OverlImage";
inline constexpr const char* kPropDownImage = "PngControl_DownImage";
inline constexpr const char* kPropDisableImage = "PngControl_DisableImage";
inline constexpr const char* kPropDrawState = "Prism_DrawState";
inline constexpr const char* kPropIsFocus = "PngControl_IsFoucs";
inline constexpr const char* kPropTimer = "PngControl_Time";
inline constexpr const char* kPropToolTips = "Prism_ToolTips";
inline constexpr const char* kPropHitMove = "PrismHitMove";
inline constexpr const char* kPropThread = "Prism_Thread";
inline constexpr const char* kPropImage = "Prism_Image";
inline constexpr const char* kPropStream = "Prism_Stream";

// Control types ("PngControl_Type").
inline constexpr intptr_t kTypeComposingParent = 1;
inline constexpr intptr_t kTypePictureBox = 2;
inline constexpr intptr_t kTypeButton = 3;
inline constexpr intptr_t kTypeEditBox = 4;

// Background modes ("PngControl_BackType"); any other value acts as natural.
inline constexpr intptr_t kBackNatural = 0;
inline constexpr intptr_t kBackStretched = 1;
inline constexpr intptr_t kBackFitted = 2;

// Draw states ("Prism_DrawState").
inline constexpr int kStateNormal = 0;
inline constexpr int kStateHover = 1;
inline constexpr int kStatePressed = 2;
inline constexpr int kStateDisabled = 3;

inline constexpr int32_t kNoColor = -1;
inline constexpr UINT_PTR kCaretTimerId = 64;
inline constexpr const char* kLoadDialogClass = "PrismLoadDialog";

// A property never set reads 0.
intptr_t GetSkinProp(HWND window, const char* name);
void SetSkinProp(HWND window, const char* name, intptr_t value);

// ---- Start-up ----

// Starts GDI+ (never shut down) and registers "PrismLoadDialog". Once, on the
// window thread, before any skinned window exists.
void StartSkinModule();
// ANSI (code page 936) text to UTF-16 bytes with the terminating zero.
std::vector<unsigned char> ToWideText(const std::string& ansiText);
LRESULT CALLBACK LoadDialogWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept;

// ---- Pictures ----

// Decodes afresh at every call (the first frame of an animation); nullptr when
// nothing decodes. The caller owns the picture: DisposeImage frees it and the
// memory the decoder keeps reading from.
SkinImage LoadImageFromBytes(Bytes bytes);
void DisposeImage(SkinImage image);
// The picture of bytes that live for the whole process (embedded pictures),
// decoded once per distinct array and kept for the process's life.
SkinImage SharedImageFromBytes(Bytes bytes);

// Handles the module holds right now, counted by its own owners (Wine's
// GetGuiResources is a stub). Shared pictures count among the GDI+ objects.
struct SkinHandleCounts {
    long gdiObjects = 0;      // DCs, bitmaps, brushes
    long gdiplusObjects = 0;  // graphics, pictures, frames, brushes, pens, fonts, formats
    long streams = 0;         // memory blocks with their streams
};
SkinHandleCounts CountSkinHandles();

// ---- Control model ----

bool SubclassOnce(HWND window, WNDPROC procedure);
LRESULT CallPreviousWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
bool ChangeStyle(HWND window, LONG_PTR clear, LONG_PTR set, UINT extraFlags = 0);
bool ChangeExStyle(HWND window, LONG_PTR clear, LONG_PTR set, UINT extraFlags = 0);
LRESULT CALLBACK ParentWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept;

// A place and size of which only the given values change.
struct Placement {
    std::optional<int> left;
    std::optional<int> top;
    std::optional<int> width;
    std::optional<int> height;
};

// Base of the skinned controls: a handle on one window, copyable.
class SkinControl {
public:
    virtual ~SkinControl() = default;
    virtual bool Bind(HWND window);
    virtual HWND GetHandle() const { return hwnd_; }
    virtual void SetProperty(const char* name, intptr_t value);
    virtual intptr_t GetProperty(const char* name) const;
    virtual void SendMessageNoResult(UINT message, WPARAM wParam, LPARAM lParam);
    virtual void SetToolTip(const std::string& gbkText, bool atCursor = true);
    virtual void Move(const Placement& placement, bool noRedraw = false);
    virtual HWND GetWindowHandle() const { return hwnd_; }
    virtual bool IsValid() const;
    virtual void Invalidate();
    virtual LRESULT SendMessage(UINT message, WPARAM wParam, LPARAM lParam);

protected:
    HWND hwnd_ = nullptr;
};

// The process's one tooltip window, nullptr until the first SetToolTip.
HWND SharedToolTip();

// ---- Picture box and cached painting ----

class SkinPictureBox : public SkinControl {
public:
    virtual HWND Create(HWND parent, int left, int top, int width, int height);
    virtual void Attach(HWND window, SkinImage picture = nullptr);
    virtual void SetBackImage(SkinImage picture);
    virtual void SetBackImageFromBytes(Bytes pngBytes);
    virtual void SetBackType(intptr_t mode);
};

HBITMAP SnapshotBackground(HWND window, HDC hdc);
void PaintFromCache(HWND window, HDC hdcOrNull, SkinImage picture);
SkinImage SelectStateImage(HWND window, int drawState);
SIZE FitSize(int pictureWidth, int pictureHeight, int boxWidth, int boxHeight);
void InvalidateWithParentArea(HWND window);
// Drops the control's snapshot; a control that paints itself no more keeps none.
void DeleteCacheBitmap(HWND window);

// ---- Layered composition ----

struct FrameDisposer {
    void operator()(Gdiplus::GpBitmap* frame) const;
};
// A composed 32-bit ARGB picture of a whole window.
using Frame = std::unique_ptr<Gdiplus::GpBitmap, FrameDisposer>;

// Composes the window's background and skinned children. With returnOnly the
// frame is handed back and nothing is presented; otherwise it is presented
// and nullptr returned. Always runs on the window's thread: a call from any
// other thread is carried there and waits for it.
Frame ComposeWindow(HWND window, bool returnOnly);
void DrawSkinChild(HWND window, HWND child, Gdiplus::GpGraphics* graphics);
// Puts the frame on screen as the window's per-pixel-alpha content.
void PresentLayered(HWND window, Gdiplus::GpBitmap* frame, bool withCaret);
void DrawCaret(HWND window, HWND editBox, Gdiplus::GpGraphics* graphics);
// 0x00BBGGRR and an alpha to 0xAARRGGBB.
constexpr uint32_t ToArgb(int32_t color, int alpha) {
    uint32_t bgr = static_cast<uint32_t>(color);
    return (static_cast<uint32_t>(alpha & 0xFF) << 24) | ((bgr & 0xFF) << 16) | (bgr & 0xFF00) | ((bgr >> 16) & 0xFF);
}
LRESULT CALLBACK EditChildWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept;

// The one focused child-mode edit box of the process. Owned by the window
// thread: only window procedures, the blink timer and compositions (which
// always run there) touch it.
struct CaretState {
    HWND FocusedEdit = nullptr;
    HWND FocusedEditParent = nullptr;
    Frame LastFrame;
    int CaretShown = 0;
};
CaretState& Caret();

}  // namespace skin
