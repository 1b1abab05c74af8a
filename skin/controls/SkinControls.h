// The skin classes: picture button, see-through edit box, layered skin
// window, the GDI+ text owners and the memory stream pictures decode from.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "skin/core/SkinCore.h"

struct IStream;

namespace Gdiplus {
class GpFont;
class GpFontFamily;
class GpStringFormat;
}  // namespace Gdiplus

namespace skin {

// ---- Memory stream ----

// Bytes in global memory with a COM stream over them. Move-only: one owner
// per block. Opened with bytes, the block is a fixed copy that the stream
// leaves alone; opened without, the stream owns a growing block.
class MemoryStream {
public:
    MemoryStream() = default;
    MemoryStream(MemoryStream&& other) noexcept;
    MemoryStream& operator=(MemoryStream&& other) noexcept;
    MemoryStream(const MemoryStream&) = delete;
    MemoryStream& operator=(const MemoryStream&) = delete;
    ~MemoryStream() { Release(); }

    // Gives back the stream and the block (a block the stream owns goes with it).
    void Release();
    IStream* Open(std::optional<Bytes> bytes);
    IStream* GetStream() const { return stream_; }
    size_t GetSize() const;
    std::vector<unsigned char> GetBytes() const;

private:
    HGLOBAL CurrentBlock() const;
    HGLOBAL block_ = nullptr;
    IStream* stream_ = nullptr;
    bool streamOwnsBlock_ = false;
};

// ---- GDI+ text objects (move-only owners of one handle each) ----

class SkinFontFamily {
public:
    SkinFontFamily() = default;
    SkinFontFamily(const SkinFontFamily&) = delete;
    SkinFontFamily& operator=(const SkinFontFamily&) = delete;
    ~SkinFontFamily() { Release(); }
    void Release();
    int CreateFromName(const std::string& ansiName);  // GDI+ status
    Gdiplus::GpFontFamily* GetHandle() const { return handle_; }
    void SetHandle(Gdiplus::GpFontFamily* handle);

private:
    Gdiplus::GpFontFamily* handle_ = nullptr;
};

class SkinFont {
public:
    SkinFont() = default;
    SkinFont(const SkinFont&) = delete;
    SkinFont& operator=(const SkinFont&) = delete;
    ~SkinFont() { Release(); }
    void Release();
    // GDI+ status; an unknown family fails and leaves the font empty.
    int Create(const std::string& ansiFamily, float emSize, int style, int unit);
    int CreateFromDC(HDC hdc);
    Gdiplus::GpFont* CreateFromWindow(HWND window);
    // The GDI font's face, size (pixels) and style. A face GDI+ does not have
    // falls back to an installed family, so text drawn with it always shows.
    Gdiplus::GpFont* CreateFromHfont(HFONT font);
    Gdiplus::GpFont* GetHandle() const { return handle_; }
    void SetHandle(Gdiplus::GpFont* handle);
    int GetStyle(int& style) const;
    int GetSize(float& emSize) const;
    int GetUnit(int& unit) const;

private:
    Gdiplus::GpFont* handle_ = nullptr;
};

class SkinStringFormat {
public:
    SkinStringFormat() = default;
    SkinStringFormat(const SkinStringFormat&) = delete;
    SkinStringFormat& operator=(const SkinStringFormat&) = delete;
    ~SkinStringFormat() { Release(); }
    void Release();
    void Create(int flags = 0, LANGID language = 0);
    void SetAlign(int alignment);
    void SetLineAlign(int alignment);
    void SetAlignment(int alignment, int lineAlignment);
    void SetHandle(Gdiplus::GpStringFormat* handle);
    Gdiplus::GpStringFormat* GetHandle() const { return handle_; }

private:
    Gdiplus::GpStringFormat* handle_ = nullptr;
};

// ---- Button ----

// Four optional pictures; a given nullptr clears that picture.
struct ButtonImages {
    std::optional<SkinImage> normal, hover, pressed, disabled;
};
struct ButtonImageBytes {
    std::optional<Bytes> normal, hover, pressed, disabled;
};

class SkinButton : public SkinControl {
public:
    virtual HWND Create(HWND parent, int left, int top, int width, int height, const std::string& gbkCaption);
    virtual void Attach(HWND window, SkinImage normal = nullptr);
    virtual void SetImages(const ButtonImages& images);
    // Pictures come from the shared store: each embedded array is decoded once.
    virtual void SetImagesFromBytes(const ButtonImageBytes& images);
    virtual void SetBackType(intptr_t mode);
};

// Stores a button's draw state and repaints it when it changed (or when forced).
void SetDrawState(HWND button, int state, bool force);
LRESULT CALLBACK ButtonWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept;
LRESULT CALLBACK ButtonChildWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept;

// ---- Edit box ----

class SkinEditBox : public SkinControl {
public:
    virtual void Attach(HWND window);
    virtual void SetBackColor(int32_t color, std::optional<int> alpha = std::nullopt);
    virtual void SetOrderColor(int32_t color, std::optional<int> alpha = std::nullopt);
    virtual void SetTextColor(int32_t color);
    virtual void SetBackImage(SkinImage picture);
    virtual void SetBackImageFromBytes(Bytes pngBytes);
    virtual void SetBackType(intptr_t mode);
    virtual std::string GetText() const;  // GBK
};

LRESULT CALLBACK EditFrameWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept;

// ---- Skin window ----

// A top-level window presented as one composed per-pixel-alpha picture.
// Copyable handle. Attach runs on the window's thread (it makes the caret and
// the blink timer there); the other operations may come from any thread, as
// composing and presenting are always carried to the window's own thread.
class SkinWindow {
public:
    bool Attach(HWND window);
    bool SetBackImage(SkinImage picture);
    bool SetBackImageFromBytes(Bytes pngBytes);
    // Puts every skinned child into child mode, then composes and presents.
    void Refresh();
    void Move(const Placement& placement, bool noRedraw = false);
    HWND GetHandle() const { return hwnd_; }
    bool IsValid() const;
    LRESULT SendMessage(UINT message, WPARAM wParam, LPARAM lParam);

private:
    HWND hwnd_ = nullptr;
};

void CALLBACK CaretBlinkTimer(HWND window, UINT message, UINT_PTR timerId, DWORD time) noexcept;

}  // namespace skin
