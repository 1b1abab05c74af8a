#include "tests/stripskin/TestStrip.h"

#include <objidl.h>

#include <gdiplus.h>

#include <array>
#include <cstring>

#include "strip/skinned/SkinnedStripSkin.h"

namespace stripskin_test {

namespace {

constexpr const char* kTestStripClass = "QuilloSkinTestStrip";
constexpr DWORD kChild = WS_CHILD | WS_CLIPSIBLINGS;
constexpr DWORD kVisibleButton = kChild | WS_VISIBLE | BS_PUSHBUTTON;

struct ControlDefinition {
    const char* className;
    DWORD style;
    int left, top, width, height;
    const char* gbkText;
    HWND strip::FirstRowControls::*slot;
};

// The `StripWindow` definition's controls, in the strip's order.
constexpr ControlDefinition kStripControls[] = {
    {"BUTTON", kVisibleButton, 144, 1, 32, 15, "", &strip::FirstRowControls::AddButton},
    {"BUTTON", kVisibleButton, 173, -2, 20, 20, "", &strip::FirstRowControls::HelpButton},
    {"BUTTON", kVisibleButton, 189, 0, 20, 20, "", &strip::FirstRowControls::CloseButton},
    {"EDIT", kChild | WS_VISIBLE | ES_LEFT | ES_AUTOHSCROLL, 6, 27, 170, 20, "", &strip::FirstRowControls::EditBox},
    {"BUTTON", kVisibleButton, 171, 27, 18, 18, "", &strip::FirstRowControls::ClockButton},
    {"BUTTON", kChild | BS_PUSHBUTTON, 189, 28, 16, 16, "", &strip::FirstRowControls::DeleteButton},
    {"BUTTON", kVisibleButton, 0, 26, 208, 20, "", &strip::FirstRowControls::Frame},
};

// A press on the strip's own surface drags it, as on the real strip.
LRESULT CALLBACK TestStripProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
    LRESULT result = DefWindowProcA(hwnd, message, wParam, lParam);
    return message == WM_NCHITTEST && result == HTCLIENT ? HTCAPTION : result;
}

void RegisterTestStripClass() {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = TestStripProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
    windowClass.lpszClassName = kTestStripClass;
    RegisterClassA(&windowClass);
}

std::string WindowText(HWND hwnd) {
    std::string text(static_cast<size_t>(GetWindowTextLengthA(hwnd)) + 1, '\0');
    text.resize(static_cast<size_t>(GetWindowTextA(hwnd, text.data(), static_cast<int>(text.size()))));
    return text;
}

// As the strip copies a control: every setting of the source, invisible.
HWND CopyControl(HWND source) {
    char className[64] = {};
    GetClassNameA(source, className, sizeof className);
    RECT place = PlaceInParent(source);
    HWND copy = CreateWindowExA(static_cast<DWORD>(GetWindowLongA(source, GWL_EXSTYLE)), className,
                                WindowText(source).c_str(),
                                static_cast<DWORD>(GetWindowLongA(source, GWL_STYLE)) & ~WS_VISIBLE, place.left,
                                place.top, place.right - place.left, place.bottom - place.top, GetParent(source),
                                reinterpret_cast<HMENU>(static_cast<INT_PTR>(GetDlgCtrlID(source))),
                                GetModuleHandleA(nullptr), nullptr);
    SendMessageA(copy, WM_SETFONT, SendMessageA(source, WM_GETFONT, 0, 0), FALSE);
    return copy;
}

void MoveToTop(HWND control, int top) {
    RECT place = PlaceInParent(control);
    SetWindowPos(control, nullptr, place.left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

HWND RowControl(const std::vector<HWND>& list, HWND firstRowControl, int row) {
    if (row == 1) {
        return firstRowControl;
    }
    return row >= 2 && static_cast<size_t>(row - 1) <= list.size() ? list[static_cast<size_t>(row - 2)] : nullptr;
}

Pixels ReadBitmap(Gdiplus::GpBitmap* bitmap) {
    namespace gp = Gdiplus::DllExports;
    Pixels pixels;
    UINT width = 0;
    UINT height = 0;
    gp::GdipGetImageWidth(bitmap, &width);
    gp::GdipGetImageHeight(bitmap, &height);
    Gdiplus::GpRect all(0, 0, static_cast<INT>(width), static_cast<INT>(height));
    Gdiplus::BitmapData data{};
    if (width == 0 || height == 0 ||
        gp::GdipBitmapLockBits(bitmap, &all, Gdiplus::ImageLockModeRead, PixelFormat32bppARGB, &data) !=
            Gdiplus::Ok) {
        return pixels;
    }
    pixels.width = static_cast<int>(width);
    pixels.height = static_cast<int>(height);
    pixels.argb.resize(static_cast<size_t>(width) * height);
    for (UINT y = 0; y < height; ++y) {
        std::memcpy(&pixels.argb[static_cast<size_t>(y) * width],
                    static_cast<const unsigned char*>(data.Scan0) + static_cast<ptrdiff_t>(y) * data.Stride,
                    static_cast<size_t>(width) * 4);
    }
    gp::GdipBitmapUnlockBits(bitmap, &data);
    return pixels;
}

}  // namespace

RECT PlaceInParent(HWND control) {
    RECT place{};
    GetWindowRect(control, &place);
    MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&place), 2);
    return place;
}

Pixels Pixels::Of(skin::SkinImage picture) { return ReadBitmap(reinterpret_cast<Gdiplus::GpBitmap*>(picture)); }

Pixels Pixels::Of(const skin::Frame& frame) { return ReadBitmap(frame.get()); }

Pixels Pixels::OnScreen(HWND window) {
    RECT place{};
    GetWindowRect(window, &place);
    Pixels pixels;
    pixels.width = place.right - place.left;
    pixels.height = place.bottom - place.top;
    pixels.argb.resize(static_cast<size_t>(pixels.width) * pixels.height);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = pixels.width;
    info.bmiHeader.biHeight = -pixels.height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP dib = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ previous = SelectObject(memory, dib);
    BitBlt(memory, 0, 0, pixels.width, pixels.height, screen, place.left, place.top, SRCCOPY);
    GdiFlush();
    std::memcpy(pixels.argb.data(), bits, pixels.argb.size() * 4);
    for (uint32_t& pixel : pixels.argb) {
        pixel |= 0xFF000000u;
    }
    SelectObject(memory, previous);
    DeleteObject(dib);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return pixels;
}

TestStrip::TestStrip(int left, int top) : state_(std::make_unique<strip::StripState>()) {
    strip::StripState& state = *state_;
    state.Skin = strip::MakeSkinnedStripSkin(state);
    state.Skin->StartSkin();
    RegisterTestStripClass();
    HWND hwnd = CreateWindowExA(WS_EX_TOOLWINDOW, kTestStripClass, "", WS_POPUP | WS_CLIPCHILDREN, left, top,
                                strip::kStripWidth, strip::kFirstRowHeight, nullptr, nullptr,
                                GetModuleHandleA(nullptr), nullptr);
    state.StripHwnd = hwnd;
    for (const ControlDefinition& definition : kStripControls) {
        state.FirstRow.*definition.slot =
            CreateWindowExA(0, definition.className, definition.gbkText, definition.style, definition.left,
                            definition.top, definition.width, definition.height, hwnd, nullptr,
                            GetModuleHandleA(nullptr), nullptr);
    }
    LOGFONTA logFont{};
    logFont.lfHeight = -12;
    logFont.lfWeight = FW_NORMAL;
    logFont.lfCharSet = GB2312_CHARSET;
    lstrcpynA(logFont.lfFaceName, "WenQuanYi Micro Hei", LF_FACESIZE);
    state.EditFont.reset(CreateFontIndirectA(&logFont));
    SendMessageA(state.FirstRow.EditBox, WM_SETFONT, reinterpret_cast<WPARAM>(state.EditFont.get()), FALSE);

    // `BuildStrip` with no config file.
    state.StripTextColor = kWhite;
    Skin().SkinStrip(hwnd, state.FirstRow);
    Skin().ShowRowTextColor(1, kWhite);
    SetWindowTextA(state.FirstRow.EditBox, kGbkSlogan);
    Skin().RefreshStrip();
    ShowWindow(hwnd, SW_SHOWNOACTIVATE);
}

TestStrip::~TestStrip() {
    if (IsWindow(state_->StripHwnd)) {
        DestroyWindow(state_->StripHwnd);
    }
    state_.reset();
}

void TestStrip::AddRow() {
    strip::StripState& state = *state_;
    const strip::FirstRowControls& first = state.FirstRow;
    const std::array<HWND, 4> copies = {CopyControl(first.Frame), CopyControl(first.EditBox),
                                        CopyControl(first.DeleteButton), CopyControl(first.ClockButton)};
    const auto [frame, editBox, deleteButton, clockButton] = copies;
    state.RowCount += 1;
    state.StripHeight += strip::kRowPitch;
    Skin().ResizeStrip(strip::kStripWidth, state.StripHeight);
    Skin().SetStripBackground(state.RowCount);
    MoveToTop(frame, state.StripHeight - strip::kRowPitch);
    for (HWND control : {editBox, deleteButton, clockButton}) {
        MoveToTop(control, state.StripHeight - strip::kRowPitch + 1);
    }
    for (HWND copy : copies) {
        ShowWindow(copy, SW_SHOWNA);
    }
    state.RowControls.Frames.push_back(frame);
    state.RowControls.EditBoxes.push_back(editBox);
    state.RowControls.DeleteButtons.push_back(deleteButton);
    state.RowControls.ClockButtons.push_back(clockButton);
    Skin().SkinRow(static_cast<int>(state.RowControls.Frames.size()));
    SetWindowTextA(editBox, kGbkNewRowText);
    Skin().RefreshStrip();
}

void TestStrip::DeleteRow(int row) {
    strip::StripState& state = *state_;
    strip::RowControlLists& lists = state.RowControls;
    const int element = row - 1;
    const auto index = static_cast<ptrdiff_t>(element - 1);
    for (std::vector<HWND>* list : {&lists.EditBoxes, &lists.Frames, &lists.DeleteButtons, &lists.ClockButtons}) {
        DestroyWindow((*list)[static_cast<size_t>(index)]);
        list->erase(list->begin() + index);
    }
    Skin().DropRowSkins(element);
    Skin().RefreshStrip();
    const int length = static_cast<int>(lists.Frames.size());
    for (int j = element; j <= length; ++j) {
        const size_t at = static_cast<size_t>(j - 1);
        for (HWND control : {lists.Frames[at], lists.EditBoxes[at], lists.DeleteButtons[at], lists.ClockButtons[at]}) {
            const int halfway = PlaceInParent(control).top - strip::kRowPitch / 2;
            MoveToTop(control, halfway);
            Skin().PlaceRowControl(j, control, halfway - strip::kRowPitch / 2);
        }
    }
    state.RowCount -= 1;
    state.StripHeight -= strip::kRowPitch;
    Skin().ResizeStrip(0, state.StripHeight);
    Skin().RefreshStrip();
    Skin().SetStripBackground(state.RowCount);
}

HWND TestStrip::Frame(int row) const { return RowControl(state_->RowControls.Frames, state_->FirstRow.Frame, row); }
HWND TestStrip::EditBox(int row) const {
    return RowControl(state_->RowControls.EditBoxes, state_->FirstRow.EditBox, row);
}
HWND TestStrip::ClockButton(int row) const {
    return RowControl(state_->RowControls.ClockButtons, state_->FirstRow.ClockButton, row);
}
HWND TestStrip::DeleteButton(int row) const {
    return RowControl(state_->RowControls.DeleteButtons, state_->FirstRow.DeleteButton, row);
}

skin::Frame TestStrip::Compose() const { return skin::ComposeWindow(state_->StripHwnd, true); }

}  // namespace stripskin_test
