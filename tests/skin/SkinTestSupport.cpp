#include "tests/skin/SkinTestSupport.h"

#include <objidl.h>

#include <gdiplus.h>
#include <gtest/gtest.h>

#include <deque>
#include <map>

namespace skin_test {

namespace gp = Gdiplus::DllExports;

namespace {

// StartSkinModule once for the whole test exe, as the program does at start.
class SkinModuleEnvironment : public testing::Environment {
public:
    void SetUp() override { skin::StartSkinModule(); }
};
[[maybe_unused]] testing::Environment* const gEnvironment =
    testing::AddGlobalTestEnvironment(new SkinModuleEnvironment);

const CLSID kPngEncoder = {0x557CF406, 0x1A04, 0x11D3, {0x9A, 0x73, 0x00, 0x00, 0xF8, 0x1E, 0xF3, 0x2E}};
const char* const kHostClass = "SkinTestHost";

struct HostState {
    bool gradient = false;
    int paints = 0;
};
std::map<HWND, HostState> gHosts;

LRESULT CALLBACK HostWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
    if (message == WM_PAINT) {
        PAINTSTRUCT paint;
        HDC hdc = BeginPaint(hwnd, &paint);
        auto found = gHosts.find(hwnd);
        if (found != gHosts.end()) {
            ++found->second.paints;
            RECT client;
            GetClientRect(hwnd, &client);
            if (!found->second.gradient) {
                FillRect(hdc, &client, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
            }
            for (int x = 0; found->second.gradient && x < client.right; ++x) {
                HBRUSH brush = CreateSolidBrush(GradientColorAt(x));
                RECT column{x, 0, x + 1, client.bottom};
                FillRect(hdc, &column, brush);
                DeleteObject(brush);
            }
        }
        EndPaint(hwnd, &paint);
        return 0;
    }
    if (message == WM_ERASEBKGND) {
        return 1;
    }
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

void RegisterHostClass() {
    static bool registered = false;
    if (registered) {
        return;
    }
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = HostWndProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
    windowClass.lpszClassName = kHostClass;
    RegisterClassA(&windowClass);
    registered = true;
}

}  // namespace

COLORREF GradientColorAt(int x) {
    int level = 40 + (x * 3) % 180;
    return RGB(level, level, level);
}

const std::vector<unsigned char>& MakePng(int width, int height, const PixelFunction& pixel) {
    static std::deque<std::vector<unsigned char>> kept;
    Gdiplus::GpBitmap* bitmap = nullptr;
    EXPECT_EQ(gp::GdipCreateBitmapFromScan0(width, height, 0, PixelFormat32bppARGB, nullptr, &bitmap), Gdiplus::Ok);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            gp::GdipBitmapSetPixel(bitmap, x, y, pixel(x, y));
        }
    }
    IStream* stream = nullptr;
    CreateStreamOnHGlobal(nullptr, TRUE, &stream);
    EXPECT_EQ(gp::GdipSaveImageToStream(bitmap, stream, &kPngEncoder, nullptr), Gdiplus::Ok);
    gp::GdipDisposeImage(bitmap);
    STATSTG stat{};
    stream->Stat(&stat, STATFLAG_NONAME);
    std::vector<unsigned char> bytes(static_cast<size_t>(stat.cbSize.QuadPart));
    LARGE_INTEGER start{};
    stream->Seek(start, STREAM_SEEK_SET, nullptr);
    ULONG read = 0;
    stream->Read(bytes.data(), static_cast<ULONG>(bytes.size()), &read);
    stream->Release();
    kept.push_back(std::move(bytes));
    return kept.back();
}

const std::vector<unsigned char>& MakeSolidPng(int width, int height, uint32_t argb) {
    return MakePng(width, height, [argb](int, int) { return argb; });
}

skin::SkinImage SolidPicture(int width, int height, uint32_t argb) {
    return skin::LoadImageFromBytes(MakeSolidPng(width, height, argb));
}

uint32_t FramePixel(const skin::Frame& frame, int x, int y) {
    Gdiplus::ARGB color = 0;
    gp::GdipBitmapGetPixel(frame.get(), x, y, &color);
    return color;
}

uint32_t ScreenPixel(int x, int y) {
    HDC screen = GetDC(nullptr);
    COLORREF color = GetPixel(screen, x, y);
    ReleaseDC(nullptr, screen);
    return (GetRValue(color) << 16) | (GetGValue(color) << 8) | GetBValue(color);
}

HostWindow::HostWindow(int left, int top, int width, int height, bool gradient) {
    RegisterHostClass();
    hwnd_ = CreateWindowExA(WS_EX_TOOLWINDOW, kHostClass, "host", WS_POPUP, left, top, width, height, nullptr,
                            nullptr, GetModuleHandleA(nullptr), nullptr);
    gHosts[hwnd_] = HostState{gradient, 0};
    ShowWindow(hwnd_, SW_SHOWNA);
}

HostWindow::~HostWindow() {
    DestroyWindow(hwnd_);
    gHosts.erase(hwnd_);
}

int HostWindow::PaintCount() const {
    auto found = gHosts.find(hwnd_);
    return found == gHosts.end() ? 0 : found->second.paints;
}

HWND MakeChild(HWND parent, const char* className, DWORD style, int left, int top, int width, int height,
               const char* gbkText) {
    return CreateWindowExA(0, className, gbkText, WS_CHILD | WS_VISIBLE | style, left, top, width, height, parent,
                           nullptr, GetModuleHandleA(nullptr), nullptr);
}

}  // namespace skin_test
