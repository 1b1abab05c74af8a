// The `StripWindow`: its fixed definition, its window procedure and
// `BuildStrip`/`RebuildRows`, which turn the stored notes into rows.
#include "strip/Strip.h"

#include <windowsx.h>

#include <cstdlib>

#include "app/AppMessages.h"
#include "strip/StripInternal.h"

namespace strip {

namespace {

// One named control of the definition; places are client pixels of the strip.
struct ControlDefinition {
    const char* gbkName;
    const char* className;
    DWORD style;
    int left, top, width, height;
    const char* gbkText;
    ControlId id;
    HWND FirstRowControls::*slot;
};

// Overlapping siblings (the row frame lies under its edit box and clock)
// need WS_CLIPSIBLINGS to paint in their stacking order.
constexpr DWORD kChild = WS_CHILD | WS_CLIPSIBLINGS;
constexpr DWORD kVisibleButton = kChild | WS_VISIBLE | BS_PUSHBUTTON;

// 气球提示框1 of the definition belongs to the reminder watcher, which makes its own.
constexpr ControlDefinition kStripControls[] = {
    {"添加按钮", "BUTTON", kVisibleButton, 144, 1, 32, 15, "", kIdAddButton, &FirstRowControls::AddButton},
    {"帮助按钮", "BUTTON", kVisibleButton, 173, -2, 20, 20, "", kIdHelpButton, &FirstRowControls::HelpButton},
    {"关闭按钮", "BUTTON", kVisibleButton, 189, 0, 20, 20, "", kIdCloseButton, &FirstRowControls::CloseButton},
    // Without ES_NOHIDESEL the selection hides while the box has no focus.
    {"编辑框1", "EDIT", kChild | WS_VISIBLE | ES_LEFT | ES_AUTOHSCROLL, 6, 27, 170, 20, "请输入...", kIdEditBox,
     &FirstRowControls::EditBox},
    {"时钟按钮", "BUTTON", kVisibleButton, 171, 27, 18, 18, "", kIdClockButton, &FirstRowControls::ClockButton},
    // Invisible, and nothing ever shows it: the first row cannot be deleted.
    {"删除按钮", "BUTTON", kChild | BS_PUSHBUTTON, 189, 28, 16, 16, "", kIdDeleteButton,
     &FirstRowControls::DeleteButton},
    {"底条按钮", "BUTTON", kVisibleButton, 0, 26, 208, 20, "", kIdFrame, &FirstRowControls::Frame},
};

StripState* StateOf(HWND hwnd) { return reinterpret_cast<StripState*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA)); }

bool CreateDefinedControls(StripState& strip, HWND hwnd) {
    HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(hwnd, GWLP_HINSTANCE));
    for (const ControlDefinition& definition : kStripControls) {
        HWND control = CreateWindowExA(0, definition.className, definition.gbkText, definition.style, definition.left,
                                       definition.top, definition.width, definition.height, hwnd,
                                       reinterpret_cast<HMENU>(static_cast<INT_PTR>(definition.id)), instance, nullptr);
        if (!control) {
            return false;
        }
        strip.FirstRow.*definition.slot = control;
    }
    std::string face = ChooseEditFontFace();
    LOGFONTA logFont{};
    logFont.lfHeight = -12;
    logFont.lfWeight = FW_NORMAL;
    logFont.lfCharSet = GB2312_CHARSET;
    lstrcpynA(logFont.lfFaceName, face.c_str(), LF_FACESIZE);
    strip.EditFont.reset(CreateFontIndirectA(&logFont));
    SetUpEditBox(strip.FirstRow.EditBox, strip.EditFont.get(), kEditLimitBytes);
    return true;
}

void ShowStoredRow(StripState& strip, int row) {
    const memo::MemoEntry& entry = strip.Entries[static_cast<size_t>(row - 1)];
    strip.Skin->ShowRowTextColor(row, entry.TextColor);
    if (memo::IsTrueFlag(entry.ReminderOn)) {
        strip.Skin->ShowRowReminder(row, true);
    }
    SetWindowTextA(strip.RowEditBox(row), entry.Text.c_str());
}

// `RebuildRows`. The strip is not on the screen yet, so it takes its size,
// its background and a refresh once, after the last row: a background for
// every row count on the way costs a picture decoded and composed each time
// (seconds for 41 rows) and shows nothing.
void RebuildRows(StripState& strip) {
    const int rows = static_cast<int>(strip.Entries.size());
    if (rows <= 1) {
        return;
    }
    for (int row = 2; row <= rows; ++row) {
        // A row that cannot be made stops here; the entries without a row
        // stay in the list and are saved with it, so no note is lost.
        if (!AppendRowControls(strip)) {
            break;
        }
        ShowStoredRow(strip, row);
    }
    ShowRowCount(strip);
    strip.Skin->RefreshStrip();
}

void OnCommand(StripState& strip, HWND hwnd, int id, int code, HWND control) {
    switch (id) {
    case kIdAddButton:
        // The skin draws its buttons itself, and such a button reports the
        // second of two quick clicks as a double click: each click on add is
        // one more row all the same. Delete keeps to single clicks, so a
        // double click out of habit never takes two notes.
        if (code == BN_CLICKED || code == BN_DOUBLECLICKED) {
            AddRow(strip);
        }
        break;
    case kIdHelpButton:
        if (code == BN_CLICKED && strip.Hooks.HelpClicked) {
            strip.Hooks.HelpClicked(strip);
        }
        break;
    case kIdCloseButton:
        if (code == BN_CLICKED) {
            PostMessageA(hwnd, WM_CLOSE, 0, 0);
        }
        break;
    case kIdClockButton:
        if (code == BN_CLICKED && strip.Hooks.ClockClicked) {
            strip.Hooks.ClockClicked(strip, control);
        }
        break;
    case kIdDeleteButton:
        if (code == BN_CLICKED && control == strip.SecondHalfOfDoubleClick) {
            strip.SecondHalfOfDoubleClick = nullptr;
        } else if (code == BN_CLICKED) {
            PostMessageA(hwnd, WM_APP_DELETE_ROW, 0, reinterpret_cast<LPARAM>(control));
        }
        break;
    case kIdEditBox:
        if (code == EN_KILLFOCUS) {
            TakeEditText(strip, control);
        }
        break;
    default:
        break;
    }
}

// A double click on a delete button is one delete. The first click takes its
// row away and the next row's button moves up under the pointer, so the
// system sees the second press as a single click on another button, and a
// habit double click would take two notes. Presses reach the strip before
// the button sees them; one that comes within the double-click time and
// place of the last press on another delete button marks its click to be
// dropped.
void NotePress(StripState& strip, HWND hwnd, POINT point) {
    HWND pressed = nullptr;
    for (HWND button : strip.RowControls.DeleteButtons) {
        RECT place{};
        GetWindowRect(button, &place);
        MapWindowPoints(nullptr, hwnd, reinterpret_cast<POINT*>(&place), 2);
        if (IsWindowVisible(button) && PtInRect(&place, point)) {
            pressed = button;
            break;
        }
    }
    const DWORD tick = GetTickCount();
    const StripState::DeletePress& last = strip.LastDeletePress;
    const bool secondHalf = pressed != nullptr && last.Button != nullptr && last.Button != pressed &&
                            tick - last.Tick <= GetDoubleClickTime() &&
                            std::abs(point.x - last.Point.x) <= GetSystemMetrics(SM_CXDOUBLECLK) / 2 &&
                            std::abs(point.y - last.Point.y) <= GetSystemMetrics(SM_CYDOUBLECLK) / 2;
    strip.SecondHalfOfDoubleClick = secondHalf ? pressed : nullptr;
    strip.LastDeletePress = pressed != nullptr ? StripState::DeletePress{pressed, tick, point} : StripState::DeletePress{};
}

// Whatever was typed since the last deactivation reaches the file before
// the strip goes away.
void SaveEverything(StripState& strip) {
    SaveEntries(strip);
    if (strip.PositionSavePending) {
        SavePosition(strip);
    }
}

LRESULT HandleMessage(StripState& strip, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE:
        if (!CreateDefinedControls(strip, hwnd)) {
            return -1;
        }
        BuildStrip(strip, hwnd);
        return 0;
    case WM_COMMAND:
        OnCommand(strip, hwnd, LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam));
        return 0;
    case WM_APP_DELETE_ROW:
        DeleteRow(strip, reinterpret_cast<HWND>(lParam));
        return 0;
    case WM_PARENTNOTIFY:
        if (LOWORD(wParam) == WM_LBUTTONDOWN) {
            NotePress(strip, hwnd, POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
        }
        return 0;
    case WM_ACTIVATE:
        if (LOWORD(wParam) == WA_INACTIVE) {
            SaveEntries(strip);
        }
        break;
    case WM_MOVE:
        if (!strip.Building) {
            SavePosition(strip);
        }
        return 0;
    case WM_NCHITTEST: {
        // A press on the strip's own surface drags it like a title bar.
        LRESULT hit = DefWindowProcA(hwnd, message, wParam, lParam);
        return hit == HTCLIENT ? HTCAPTION : hit;
    }
    case WM_CLOSE:
        SaveEverything(strip);
        DestroyWindow(hwnd);
        return 0;
    case WM_QUERYENDSESSION:
        SaveEverything(strip);
        return TRUE;
    case WM_ENDSESSION:
        if (wParam) {
            SaveEverything(strip);
        }
        return 0;
    case WM_APP_TRAY:
        if (lParam == WM_LBUTTONDBLCLK) {
            BringStripToFront(strip);
        }
        return 0;
    case WM_APP_SHOW_STRIP:
        BringStripToFront(strip);
        SetForegroundWindow(hwnd);
        return 0;
    case WM_DISPLAYCHANGE:
        RescueOffScreenStrip(strip);
        break;
    case WM_SETTINGCHANGE:
        if (wParam == SPI_SETWORKAREA) {
            RescueOffScreenStrip(strip);
        }
        break;
    case WM_DESTROY:
        RemoveTrayIcon(hwnd);
        PostQuitMessage(0);
        return 0;
    case WM_NCDESTROY:
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
        strip.StripHwnd = nullptr;
        strip.FirstRow = FirstRowControls{};
        strip.RowControls = RowControlLists{};
        break;
    default:
        if (message == TaskbarCreatedMessage() && message != 0) {
            AddTrayIcon(hwnd);
            return 0;
        }
        break;
    }
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

LRESULT CALLBACK StripWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
    if (message == WM_NCCREATE) {
        auto* strip = static_cast<StripState*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(strip));
        strip->StripHwnd = hwnd;
    }
    StripState* strip = StateOf(hwnd);
    if (!strip) {
        return DefWindowProcA(hwnd, message, wParam, lParam);
    }
    try {
        return HandleMessage(*strip, hwnd, message, wParam, lParam);
    } catch (...) {
        // Out of memory inside a handler: the strip keeps what it had.
        return message == WM_CREATE ? -1 : DefWindowProcA(hwnd, message, wParam, lParam);
    }
}

bool RegisterStripClass(HINSTANCE instance) {
    WNDCLASSEXA windowClass{};
    if (GetClassInfoExA(instance, kStripClassName, &windowClass)) {
        return true;
    }
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = StripWindowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = kStripClassName;
    return RegisterClassExA(&windowClass) != 0;
}

}  // namespace

void BuildStrip(StripState& strip, HWND stripHwnd) {
    AddTrayIcon(stripHwnd);
    strip.StripTextColor = strip.Config.ReadStripTextColor();
    strip.RowCount = 1;
    strip.StripHeight = kFirstRowHeight;
    const int left = strip.Config.ReadNumber(memo::kGbkKeyLeft);
    const int top = strip.Config.ReadNumber(memo::kGbkKeyTop);
    SetWindowPos(stripHwnd, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    strip.GbkStoredText = strip.Config.ReadKey(memo::kGbkKeyEntries);
    strip.GbkStoredLines = memo::SplitText(strip.GbkStoredText, memo::kEntrySeparator);
    strip.Skin->SkinStrip(stripHwnd, strip.FirstRow);
    strip.Entries = memo::ReadStoredList(strip.GbkStoredText, strip.StripTextColor);
    ShowStoredRow(strip, 1);
    strip.Skin->RefreshStrip();
    RebuildRows(strip);
    RescueOffScreenStrip(strip);
    if (strip.Hooks.StartWatcher) {
        strip.Hooks.StartWatcher(strip);
    }
}

HWND CreateStripWindow(StripState& strip, HINSTANCE instance) {
    if (!RegisterStripClass(instance)) {
        return nullptr;
    }
    const int left = (GetSystemMetrics(SM_CXSCREEN) - kStripWidth) / 2;
    const int top = (GetSystemMetrics(SM_CYSCREEN) - kFirstRowHeight) / 2;
    // The first show reports a move too; neither it nor the placing while
    // building is a move by the user.
    strip.Building = true;
    // A tool window gets no taskbar button; no title text, no border.
    HWND hwnd = CreateWindowExA(WS_EX_TOOLWINDOW, kStripClassName, "", WS_POPUP | WS_CLIPCHILDREN, left, top,
                                kStripWidth, kFirstRowHeight, nullptr, nullptr, instance, &strip);
    if (hwnd) {
        ShowWindow(hwnd, SW_SHOW);
        UpdateWindow(hwnd);
    }
    strip.Building = false;
    return hwnd;
}

bool PreTranslateStripMessage(StripState& strip, const MSG& msg) {
    HWND hwnd = strip.StripHwnd;
    if (msg.message != WM_KEYDOWN || msg.wParam != VK_ESCAPE || !hwnd || GetActiveWindow() != hwnd ||
        (msg.hwnd != hwnd && !IsChild(hwnd, msg.hwnd))) {
        return false;
    }
    if (msg.hwnd != hwnd) {
        MSG copy = msg;
        LRESULT code = SendMessageA(msg.hwnd, WM_GETDLGCODE, msg.wParam, reinterpret_cast<LPARAM>(&copy));
        if (code & (DLGC_WANTALLKEYS | DLGC_WANTMESSAGE)) {
            return false;
        }
    }
    PostMessageA(hwnd, WM_CLOSE, 0, 0);
    return true;
}

}  // namespace strip
