// Module start-up, the handle counters and the "PrismLoadDialog" class.
#include <windows.h>

#include <objbase.h>

#include <atomic>

#include "skin/core/SkinInternal.h"

namespace skin {

namespace {

ULONG_PTR gGdiplusToken = 0;
std::atomic<long> gGdiCount{0};
std::atomic<long> gGdiplusCount{0};
std::atomic<long> gStreamCount{0};

std::atomic<long>& CounterOf(detail::Counter counter) {
    switch (counter) {
        case detail::Counter::Gdi:
            return gGdiCount;
        case detail::Counter::Gdiplus:
            return gGdiplusCount;
        case detail::Counter::Stream:
            break;
    }
    return gStreamCount;
}

}  // namespace

// Read by the image loader to pick the first frame of an animation.
GUID gFrameDimensionTime{};

namespace detail {

void CountUp(Counter counter) { ++CounterOf(counter); }
void CountDown(Counter counter) { --CounterOf(counter); }

}  // namespace detail

SkinHandleCounts CountSkinHandles() { return {gGdiCount.load(), gGdiplusCount.load(), gStreamCount.load()}; }

std::vector<unsigned char> ToWideText(const std::string& ansiText) {
    int units = MultiByteToWideChar(CP_ACP, 0, ansiText.c_str(), -1, nullptr, 0);
    std::vector<unsigned char> wide(static_cast<size_t>(units) * 2);
    if (units > 0) {
        MultiByteToWideChar(CP_ACP, 0, ansiText.c_str(), -1, reinterpret_cast<wchar_t*>(wide.data()), units);
    }
    return wide;
}

void StartSkinModule() {
    Gdiplus::GdiplusStartupInput input{};
    input.GdiplusVersion = 1;
    Gdiplus::GdiplusStartup(&gGdiplusToken, &input, nullptr);

    std::vector<unsigned char> wideGuid = ToWideText("{6AEDBD6D-3FB5-418A-83A6-7F45229DC872}");
    gFrameDimensionTime = GUID{};
    CLSIDFromString(reinterpret_cast<LPCOLESTR>(wideGuid.data()), &gFrameDimensionTime);

    WNDCLASSEXA windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = LoadDialogWndProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = kLoadDialogClass;
    RegisterClassExA(&windowClass);
}

LRESULT CALLBACK LoadDialogWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
    switch (message) {
        case WM_DESTROY: {
            // Thread first: it may still be using the picture and its memory.
            if (HANDLE thread = reinterpret_cast<HANDLE>(GetSkinProp(window, kPropThread))) {
                TerminateThread(thread, 0);
                CloseHandle(thread);
            }
            if (SkinImage image = reinterpret_cast<SkinImage>(GetSkinProp(window, kPropImage))) {
                DisposeImage(image);
            }
            if (HGLOBAL block = reinterpret_cast<HGLOBAL>(GetSkinProp(window, kPropStream))) {
                GlobalFree(block);
            }
            return DefWindowProcA(window, message, wParam, lParam);
        }
        case WM_LBUTTONDOWN: {
            LRESULT result = DefWindowProcA(window, message, wParam, lParam);
            if (GetSkinProp(window, kPropHitMove) == 1) {
                // Lets the system's move loop take over, as if the caption were grabbed.
                ReleaseCapture();
                ::SendMessageA(window, WM_NCLBUTTONDOWN, HTCAPTION, 0);
            }
            return result;
        }
        default:
            return DefWindowProcA(window, message, wParam, lParam);
    }
}

}  // namespace skin
