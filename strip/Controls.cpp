// Copying a control of the strip at run time, and the edit boxes' font and
// their limit in GBK bytes.
#include "strip/StripInternal.h"

#include "memo/Memo.h"

#include <vector>

namespace strip {

namespace {

// The byte limit and the procedure it subclasses live on the edit box itself,
// so a copy of the box can take them over.
constexpr const char* kPropLimitBytes = "QuilloLimitBytes";
constexpr const char* kPropNextProc = "QuilloLimitNextProc";

std::wstring WindowTextWide(HWND hwnd) {
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(hwnd)) + 1, L'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(hwnd, text.data(), static_cast<int>(text.size()))));
    return text;
}

std::string GbkFromWide(std::wstring_view wide) {
    if (wide.empty()) {
        return std::string();
    }
    int length = WideCharToMultiByte(936, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
    std::string gbk(static_cast<size_t>(length), '\0');
    WideCharToMultiByte(936, 0, wide.data(), static_cast<int>(wide.size()), gbk.data(), length, nullptr, nullptr);
    return gbk;
}

std::wstring WideFromGbk(std::string_view gbk) {
    if (gbk.empty()) {
        return std::wstring();
    }
    int length = MultiByteToWideChar(936, 0, gbk.data(), static_cast<int>(gbk.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(936, 0, gbk.data(), static_cast<int>(gbk.size()), wide.data(), length);
    return wide;
}

size_t LimitBytes(HWND editBox) { return reinterpret_cast<size_t>(GetPropA(editBox, kPropLimitBytes)); }

// GBK bytes still free once the selection is replaced.
size_t FreeBytes(HWND editBox) {
    std::wstring text = WindowTextWide(editBox);
    DWORD selStart = 0;
    DWORD selEnd = 0;
    SendMessageW(editBox, EM_GETSEL, reinterpret_cast<WPARAM>(&selStart), reinterpret_cast<LPARAM>(&selEnd));
    selEnd = (std::min<DWORD>)(selEnd, static_cast<DWORD>(text.size()));
    selStart = (std::min<DWORD>)(selStart, selEnd);
    size_t kept = GbkFromWide(text).size() - GbkFromWide(std::wstring_view(text).substr(selStart, selEnd - selStart)).size();
    size_t limit = LimitBytes(editBox);
    return kept >= limit ? 0 : limit - kept;
}

// Whatever slipped past the checks below (an input method, an undo) is cut
// back at the end, on a character boundary.
void TrimToLimit(HWND editBox) {
    std::string gbkText = WindowTextGbk(editBox);
    size_t limit = LimitBytes(editBox);
    if (gbkText.size() <= limit) {
        return;
    }
    std::wstring kept = WideFromGbk(memo::TruncateGbk(gbkText, limit));
    SetWindowTextW(editBox, kept.c_str());
    SendMessageW(editBox, EM_SETSEL, kept.size(), kept.size());
}

// Pastes as much of the clipboard's text as fits. A single-line box would
// keep line breaks that break the stored line, so they become blanks.
void PasteWithinLimit(HWND editBox) {
    if (!OpenClipboard(editBox)) {
        return;
    }
    std::wstring pasted;
    if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
        if (const auto* text = static_cast<const wchar_t*>(GlobalLock(data))) {
            pasted = text;
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
    for (wchar_t& c : pasted) {
        if (c == L'\r' || c == L'\n') {
            c = L' ';
        }
    }
    std::wstring fitting = WideFromGbk(memo::TruncateGbk(GbkFromWide(pasted), FreeBytes(editBox)));
    if (!fitting.empty()) {
        SendMessageW(editBox, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(fitting.c_str()));
    }
}

// A Unicode procedure, so a Chinese character arrives as one WM_CHAR and not
// as two GBK bytes.
LRESULT CALLBACK ByteLimitProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
    auto next = reinterpret_cast<WNDPROC>(GetPropA(hwnd, kPropNextProc));
    switch (message) {
    case WM_CHAR:
        if (wParam >= 0x20 && GbkFromWide(std::wstring(1, static_cast<wchar_t>(wParam))).size() > FreeBytes(hwnd)) {
            MessageBeep(MB_OK);
            return 0;
        }
        break;
    case WM_PASTE:
        PasteWithinLimit(hwnd);
        return 0;
    case WM_NCDESTROY:
        SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(next));
        RemovePropA(hwnd, kPropNextProc);
        RemovePropA(hwnd, kPropLimitBytes);
        return CallWindowProcW(next, hwnd, message, wParam, lParam);
    default:
        break;
    }
    LRESULT result = CallWindowProcW(next, hwnd, message, wParam, lParam);
    if (message == WM_CHAR || message == WM_IME_CHAR || message == WM_IME_COMPOSITION || message == WM_UNDO ||
        message == EM_UNDO) {
        TrimToLimit(hwnd);
    }
    return result;
}

int CALLBACK NoteFace(const LOGFONTA* logFont, const TEXTMETRICA*, DWORD, LPARAM found) {
    // A substituted face is enumerated under its real name, which GDI+ would
    // not find under the asked one: only the exact name counts.
    auto* wanted = reinterpret_cast<std::pair<const char*, bool>*>(found);
    if (lstrcmpiA(logFont->lfFaceName, wanted->first) == 0) {
        wanted->second = true;
        return 0;
    }
    return 1;
}

}  // namespace

std::string WindowTextGbk(HWND hwnd) {
    std::string text(static_cast<size_t>(GetWindowTextLengthA(hwnd)) + 1, '\0');
    text.resize(static_cast<size_t>(GetWindowTextA(hwnd, text.data(), static_cast<int>(text.size()))));
    return text;
}

std::string ChooseEditFontFace() {
    // Faces GDI+ can load as well, since the skin draws the same text with it.
    static constexpr const char* kFaces[] = {"宋体", "Microsoft YaHei", "WenQuanYi Micro Hei"};
    HDC screen = GetDC(nullptr);
    std::string chosen = kFaces[std::size(kFaces) - 1];
    for (const char* face : kFaces) {
        LOGFONTA query{};
        query.lfCharSet = DEFAULT_CHARSET;
        lstrcpynA(query.lfFaceName, face, LF_FACESIZE);
        std::pair<const char*, bool> wanted{face, false};
        EnumFontFamiliesExA(screen, &query, NoteFace, reinterpret_cast<LPARAM>(&wanted), 0);
        if (wanted.second) {
            chosen = face;
            break;
        }
    }
    ReleaseDC(nullptr, screen);
    return chosen;
}

void SetUpEditBox(HWND editBox, HFONT font, int limitBytes) {
    if (font) {
        SendMessageA(editBox, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    }
    // The edit control counts its own limit in characters; it still stops
    // 26 plain letters, and the subclass below counts the bytes.
    SendMessageA(editBox, EM_LIMITTEXT, static_cast<WPARAM>(limitBytes), 0);
    if (GetPropA(editBox, kPropNextProc)) {
        SetPropA(editBox, kPropLimitBytes, reinterpret_cast<HANDLE>(static_cast<INT_PTR>(limitBytes)));
        return;
    }
    SetPropA(editBox, kPropLimitBytes, reinterpret_cast<HANDLE>(static_cast<INT_PTR>(limitBytes)));
    LONG_PTR next = SetWindowLongPtrW(editBox, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(ByteLimitProc));
    SetPropA(editBox, kPropNextProc, reinterpret_cast<HANDLE>(next));
}

HWND CopyControl(HWND source) {
    char className[64] = {};
    if (!GetClassNameA(source, className, sizeof className)) {
        return nullptr;
    }
    HWND parent = GetParent(source);
    RECT place{};
    GetWindowRect(source, &place);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&place), 2);
    const DWORD style = static_cast<DWORD>(GetWindowLongA(source, GWL_STYLE)) & ~WS_VISIBLE;
    const DWORD exStyle = static_cast<DWORD>(GetWindowLongA(source, GWL_EXSTYLE));
    HMENU id = reinterpret_cast<HMENU>(static_cast<INT_PTR>(GetDlgCtrlID(source)));
    HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(source, GWLP_HINSTANCE));
    HWND copy = CreateWindowExA(exStyle, className, WindowTextGbk(source).c_str(), style, place.left, place.top,
                                place.right - place.left, place.bottom - place.top, parent, id, instance, nullptr);
    if (!copy) {
        return nullptr;
    }
    auto font = reinterpret_cast<HFONT>(SendMessageA(source, WM_GETFONT, 0, 0));
    if (size_t limitBytes = LimitBytes(source)) {
        SetUpEditBox(copy, font, static_cast<int>(limitBytes));
    } else {
        if (font) {
            SendMessageA(copy, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        }
        if (lstrcmpiA(className, "Edit") == 0) {
            SendMessageA(copy, EM_LIMITTEXT, SendMessageA(source, EM_GETLIMITTEXT, 0, 0), 0);
        }
    }
    return copy;
}

}  // namespace strip
