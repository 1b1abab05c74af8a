// Inside the skin module only: the owners of every GDI and GDI+ handle the
// module makes (each one counted, so tests can see leaks Wine's counters
// miss) and the hop to a window's own thread.
#pragma once

#include <windows.h>

// gdiplus.h needs the OLE types that WIN32_LEAN_AND_MEAN leaves out.
#include <objidl.h>

#include <gdiplus.h>

#include <type_traits>
#include <utility>

#include "skin/core/SkinCore.h"

namespace skin::detail {

namespace gp = Gdiplus::DllExports;

enum class Counter { Gdi, Gdiplus, Stream };
void CountUp(Counter counter);
void CountDown(Counter counter);

// GetDC or GetWindowDC, released with ReleaseDC.
class WindowDc {
public:
    static WindowDc Client(HWND window) { return WindowDc(window, GetDC(window)); }
    static WindowDc Whole(HWND window) { return WindowDc(window, GetWindowDC(window)); }
    WindowDc(WindowDc&& other) noexcept
        : window_(other.window_), hdc_(std::exchange(other.hdc_, nullptr)) {}
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;
    ~WindowDc() {
        if (hdc_) {
            ReleaseDC(window_, hdc_);
            CountDown(Counter::Gdi);
        }
    }
    HDC Get() const { return hdc_; }

private:
    WindowDc(HWND window, HDC hdc) : window_(window), hdc_(hdc) {
        if (hdc_) {
            CountUp(Counter::Gdi);
        }
    }
    HWND window_;
    HDC hdc_;
};

// CreateCompatibleDC, deleted with DeleteDC.
class MemoryDc {
public:
    explicit MemoryDc(HDC compatibleWith) : hdc_(CreateCompatibleDC(compatibleWith)) {
        if (hdc_) {
            CountUp(Counter::Gdi);
        }
    }
    MemoryDc(const MemoryDc&) = delete;
    MemoryDc& operator=(const MemoryDc&) = delete;
    ~MemoryDc() {
        if (hdc_) {
            DeleteDC(hdc_);
            CountDown(Counter::Gdi);
        }
    }
    HDC Get() const { return hdc_; }

private:
    HDC hdc_;
};

// Any GDI object deleted with DeleteObject; Release hands it on (still counted
// until DeleteHeldObject deletes it).
template <typename T>
class GdiObject {
public:
    explicit GdiObject(T handle = nullptr) : handle_(handle) {
        if (handle_) {
            CountUp(Counter::Gdi);
        }
    }
    GdiObject(GdiObject&& other) noexcept : handle_(std::exchange(other.handle_, nullptr)) {}
    GdiObject(const GdiObject&) = delete;
    GdiObject& operator=(const GdiObject&) = delete;
    ~GdiObject() {
        if (handle_) {
            DeleteObject(handle_);
            CountDown(Counter::Gdi);
        }
    }
    T Get() const { return handle_; }
    T Release() { return std::exchange(handle_, nullptr); }

private:
    T handle_;
};

// Deletes a GDI object that an earlier GdiObject::Release handed on.
inline void DeleteHeldObject(HGDIOBJ handle) {
    if (handle) {
        DeleteObject(handle);
        CountDown(Counter::Gdi);
    }
}

// Selects an object and puts the previous one back before either dies.
class SelectGuard {
public:
    SelectGuard(HDC hdc, HGDIOBJ object) : hdc_(hdc), previous_(SelectObject(hdc, object)) {}
    SelectGuard(const SelectGuard&) = delete;
    SelectGuard& operator=(const SelectGuard&) = delete;
    ~SelectGuard() { SelectObject(hdc_, previous_); }

private:
    HDC hdc_;
    HGDIOBJ previous_;
};

// One GDI+ handle released by `Delete` (a flat API deleter).
template <typename T, Gdiplus::GpStatus (*Delete)(T*)>
class GdipHandle {
public:
    GdipHandle() = default;
    GdipHandle(GdipHandle&& other) noexcept : handle_(std::exchange(other.handle_, nullptr)) {}
    GdipHandle(const GdipHandle&) = delete;
    GdipHandle& operator=(const GdipHandle&) = delete;
    ~GdipHandle() { Reset(); }
    T* Get() const { return handle_; }
    // Adopts a handle made elsewhere (nullptr leaves the owner empty).
    void Reset(T* handle = nullptr) {
        if (handle_) {
            Delete(handle_);
            CountDown(Counter::Gdiplus);
        }
        handle_ = handle;
        if (handle_) {
            CountUp(Counter::Gdiplus);
        }
    }
    T* Release() {
        if (handle_) {
            CountDown(Counter::Gdiplus);
        }
        return std::exchange(handle_, nullptr);
    }

private:
    T* handle_ = nullptr;
};

inline Gdiplus::GpStatus DeleteImage(Gdiplus::GpImage* image) { return gp::GdipDisposeImage(image); }

using Graphics = GdipHandle<Gdiplus::GpGraphics, gp::GdipDeleteGraphics>;
using Brush = GdipHandle<Gdiplus::GpBrush, gp::GdipDeleteBrush>;
using Pen = GdipHandle<Gdiplus::GpPen, gp::GdipDeletePen>;
using Image = GdipHandle<Gdiplus::GpImage, DeleteImage>;

inline Graphics GraphicsOnDc(HDC hdc) {
    Gdiplus::GpGraphics* graphics = nullptr;
    Graphics owner;
    if (gp::GdipCreateFromHDC(hdc, &graphics) == Gdiplus::Ok) {
        owner.Reset(graphics);
    }
    return owner;
}

inline Brush SolidBrush(uint32_t argb) {
    Gdiplus::GpSolidFill* brush = nullptr;
    Brush owner;
    if (gp::GdipCreateSolidFill(argb, &brush) == Gdiplus::Ok) {
        owner.Reset(brush);
    }
    return owner;
}

// The window rectangle's size and its top-left corner in the parent's (or,
// for a top-level window, the screen's) coordinates.
struct ChildPlace {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};
ChildPlace PlaceInParent(HWND window);
// The child's place in `container`'s client coordinates.
ChildPlace PlaceIn(HWND container, HWND child);

// Natural size of a picture as GDI+ reports it.
Gdiplus::SizeF PictureSize(SkinImage picture);
// Where a control's background picture goes in a width x height box, by the
// control's background mode: natural size at the corner, stretched, or fitted and centred.
Gdiplus::RectF BackImageDestination(HWND window, SkinImage picture, int width, int height);
// SetWindowPos with only the given parts of `placement`; the rest stay as `current`.
void MoveKeeping(HWND window, const ChildPlace& current, const Placement& placement, bool noRedraw);

// Runs `work` on the thread that owns `window`: at once when the caller is
// that thread, otherwise carried there by a sent message that the parent
// procedure (installed by Bind and SkinWindow::Attach) answers. False when
// the window is gone or nobody there answered.
bool RunOnWindowThread(HWND window, void (*work)(void* context), void* context);

template <typename Work>
bool RunOnWindowThread(HWND window, Work& work) {
    return RunOnWindowThread(window, [](void* context) { (*static_cast<Work*>(context))(); }, &work);
}

}  // namespace skin::detail
