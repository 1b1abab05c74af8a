// Start routine. For now a plain window; the strip takes its place.
#include <windows.h>

namespace {

LRESULT CALLBACK PlainWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) noexcept {
    if (msg == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = PlainWndProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszClassName = "QuilloStrip";
    RegisterClassA(&windowClass);
    HWND hwnd = CreateWindowExA(WS_EX_TOOLWINDOW, "QuilloStrip", "Quillo备忘条v2.0", WS_POPUP | WS_VISIBLE, 0, 0, 207,
                                46, nullptr, nullptr, instance, nullptr);
    if (!hwnd) {
        return 1;
    }
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return 0;
}
