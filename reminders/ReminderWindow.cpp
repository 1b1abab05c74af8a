// "定时提醒设定": the modal window that edits one row's reminder. Switching on or
// off, the blink colour and the text colour apply at once; the time is taken
// from the time box and every entry written to the config file on closing.
#include "reminders/Reminders.h"

#include <commctrl.h>

#include <optional>
#include <string>
#include <vector>

#include "reminders/ColorPicker.h"
#include "reminders/ReminderCore.h"
#include "reminders/TimeBox.h"
#include "strip/Strip.h"

namespace reminders {

namespace {

constexpr int kWidthPx = 380;
constexpr int kHeightPx = 250;

enum ControlId : int {
    kIdEnable = 101,  // 启用定时
    kIdTimeBox,       // 时间编辑框
    kIdSpinner,
    kIdLabel3,        // 标签3
    kIdGroup,         // 分组框1
    kIdRed,           // 红框单选框
    kIdYellow,        // 黄框单选框
    kIdLabel2,        // 标签2
    kIdColorPicker,   // 颜色选择器1
};

std::wstring WideFromGbk(const char* gbkText) {
    int length = MultiByteToWideChar(936, 0, gbkText, -1, nullptr, 0);
    std::wstring wide(static_cast<size_t>(length > 0 ? length : 1), L'\0');
    MultiByteToWideChar(936, 0, gbkText, -1, wide.data(), length);
    return wide;
}

// A dialog template without controls (they are made in pixels when the
// dialog starts); DialogBoxIndirect wants it DWORD-aligned.
std::vector<DWORD> DialogTemplate() {
    std::vector<WORD> words(sizeof(DLGTEMPLATE) / sizeof(WORD));
    auto* dialog = reinterpret_cast<DLGTEMPLATE*>(words.data());
    dialog->style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT;
    dialog->dwExtendedStyle = WS_EX_APPWINDOW;  // a taskbar button while open
    dialog->cx = 250;
    dialog->cy = 150;
    words.push_back(0);  // no menu
    words.push_back(0);  // the standard dialog class
    for (wchar_t c : WideFromGbk("定时提醒设定")) {
        words.push_back(static_cast<WORD>(c));
    }
    words.push_back(9);  // point size, then the face
    for (wchar_t c : std::wstring(L"MS Shell Dlg") + L'\0') {
        words.push_back(static_cast<WORD>(c));
    }
    std::vector<DWORD> aligned((words.size() + 1) / 2);
    memcpy(aligned.data(), words.data(), words.size() * sizeof(WORD));
    return aligned;
}

DateTime LocalNow() {
    SYSTEMTIME now;
    GetLocalTime(&now);
    return DateTime{now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond};
}

class ReminderWindow {
public:
    ReminderWindow(strip::StripState& strip, int editedRow) : strip_(strip), editedRow_(editedRow) {}

    void Run() {
        std::vector<DWORD> dialogTemplate = DialogTemplate();
        HINSTANCE instance = GetModuleHandleA(nullptr);
        DialogBoxIndirectParamA(instance, reinterpret_cast<const DLGTEMPLATE*>(dialogTemplate.data()),
                                strip_.StripHwnd, DialogProc, reinterpret_cast<LPARAM>(this));
    }

private:
    static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) noexcept {
        if (msg == WM_INITDIALOG) {
            SetWindowLongPtrA(hwnd, DWLP_USER, lParam);
            reinterpret_cast<ReminderWindow*>(lParam)->hwnd_ = hwnd;
        }
        auto* self = reinterpret_cast<ReminderWindow*>(GetWindowLongPtrA(hwnd, DWLP_USER));
        return self ? self->HandleMessage(msg, wParam, lParam) : FALSE;
    }

    INT_PTR HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
        switch (msg) {
        case WM_INITDIALOG:
            CreateControls();
            OnCreated();
            return TRUE;
        case WM_COMMAND:
            return OnCommand(LOWORD(wParam), HIWORD(wParam));
        case WM_NOTIFY:
            return OnNotify(*reinterpret_cast<const NMHDR*>(lParam), lParam);
        case WM_CTLCOLORSTATIC:
            // A read-only edit paints like a label; the time box stays black on white.
            if (reinterpret_cast<HWND>(lParam) == timeBox_) {
                SetTextColor(reinterpret_cast<HDC>(wParam), RGB(0, 0, 0));
                SetBkColor(reinterpret_cast<HDC>(wParam), RGB(255, 255, 255));
                return reinterpret_cast<INT_PTR>(GetStockObject(WHITE_BRUSH));
            }
            return FALSE;
        case WM_DESTROY:
            OnDestroy();
            return FALSE;
        default:
            return FALSE;
        }
    }

    HWND AddControl(const char* className, const char* gbkText, DWORD style, int id, int x, int y, int width,
                    int height) {
        HWND control = CreateWindowExA(0, className, gbkText, WS_CHILD | WS_VISIBLE | style, x, y, width, height,
                                       hwnd_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                       GetModuleHandleA(nullptr), nullptr);
        SendMessageA(control, WM_SETFONT, SendMessageA(hwnd_, WM_GETFONT, 0, 0), FALSE);
        return control;
    }

    void CreateControls() {
        SetWindowPos(hwnd_, nullptr, 0, 0, kWidthPx, kHeightPx, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        enable_ = AddControl("BUTTON", "启动此条定时提醒(请设定时间)", BS_AUTOCHECKBOX | WS_TABSTOP, kIdEnable, 18, 20,
                             191, 24);
        label3_ = AddControl("STATIC", "", SS_LEFT | SS_CENTERIMAGE, kIdLabel3, 181, 40, 168, 24);
        timeBox_ = CreateTimeBox(hwnd_, kIdTimeBox, kIdSpinner, RECT{16, 53, 16 + 128, 53 + 24}, label3_);
        SendMessageA(timeBox_, WM_SETFONT, SendMessageA(hwnd_, WM_GETFONT, 0, 0), FALSE);
        // The radio buttons lie inside 分组框1 (at 63,24 and 197,24 of it);
        // they are its siblings so their clicks reach this window.
        AddControl("BUTTON", " 提醒方式设定 ", BS_GROUPBOX, kIdGroup, 16, 92, 344, 60);
        red_ = AddControl("BUTTON", "红色外框闪烁", BS_AUTORADIOBUTTON | WS_GROUP | WS_TABSTOP, kIdRed, 16 + 63, 92 + 24,
                          92, 24);
        yellow_ = AddControl("BUTTON", "黄色外框闪烁", BS_AUTORADIOBUTTON, kIdYellow, 16 + 197, 92 + 24, 92, 24);
        AddControl("STATIC", "单独修改此条文字显示颜色：", SS_LEFT | SS_CENTERIMAGE, kIdLabel2, 137, 190, 154, 24);
        picker_ = CreateColorPicker(hwnd_, kIdColorPicker, RECT{296, 189, 296 + 67, 189 + 24});
        SendMessageA(red_, BM_SETCHECK, BST_CHECKED, 0);
    }

    // Entry `EditedRow`; nullptr if that row no longer exists.
    memo::MemoEntry* Entry() {
        if (editedRow_ < 1 || static_cast<size_t>(editedRow_) > strip_.Entries.size()) {
            return nullptr;
        }
        return &strip_.Entries[static_cast<size_t>(editedRow_) - 1];
    }

    void OnCreated() {
        POINT pointer{};
        GetCursorPos(&pointer);
        MONITORINFO monitor{};
        monitor.cbSize = sizeof monitor;
        GetMonitorInfoA(MonitorFromPoint(pointer, MONITOR_DEFAULTTONEAREST), &monitor);
        const RECT& work = monitor.rcWork;
        ScreenPoint place = PlaceBelowLeft(ScreenPoint{pointer.x, pointer.y}, kWidthPx, kHeightPx,
                                           ScreenRect{work.left, work.top, work.right, work.bottom});
        SetWindowPos(hwnd_, nullptr, place.X, place.Y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);

        const memo::MemoEntry* entry = Entry();
        if (!entry) {
            return;
        }
        SetPickerColor(picker_, entry->TextColor);
        if (!memo::IsTrueFlag(entry->ReminderOn)) {
            // Blink colour controls keep red even when the entry holds yellow:
            // the stored choice only changes when a radio button is clicked.
            SetWindowTextA(timeBox_, FormatReminderTime(LocalNow()).c_str());
            return;
        }
        SendMessageA(enable_, BM_SETCHECK, BST_CHECKED, 0);
        // A time written with short fields ("2011-5-6-9:3:7") is shown in the
        // box's layout, whose field places the stepping relies on; a text
        // naming no date is shown as stored, for the user to mend.
        std::optional<DateTime> stored = ReadReminderTime(entry->ReminderTime);
        SetWindowTextA(timeBox_, stored ? FormatReminderTime(*stored).c_str() : entry->ReminderTime.c_str());
        if (memo::IsTrueFlag(entry->YellowFrame)) {
            SendMessageA(yellow_, BM_SETCHECK, BST_CHECKED, 0);
            SendMessageA(red_, BM_SETCHECK, BST_UNCHECKED, 0);
        }
    }

    INT_PTR OnCommand(int id, int code) {
        switch (id) {
        case kIdEnable:
            if (code == BN_CLICKED) {
                OnEnableClicked();
            }
            return TRUE;
        case kIdRed:
        case kIdYellow:
            if (code == BN_CLICKED) {
                OnBlinkColorClicked(id);
            }
            return TRUE;
        case kIdColorPicker:
            if (code == kColorPickerChanged) {
                OnColorChanged();
            }
            return TRUE;
        case IDCANCEL:  // the title bar's close button and Esc
            EndDialog(hwnd_, 0);
            return TRUE;
        default:
            return FALSE;
        }
    }

    INT_PTR OnNotify(const NMHDR& header, LPARAM lParam) {
        if (header.idFrom != kIdSpinner || header.code != UDN_DELTAPOS) {
            return FALSE;
        }
        const auto* change = reinterpret_cast<const NMUPDOWN*>(lParam);
        StepTimeBox(timeBox_, label3_, change->iDelta > 0 ? +1 : -1);
        SetWindowLongPtrA(hwnd_, DWLP_MSGRESULT, TRUE);  // the spinner's own position stays
        return TRUE;
    }

    void OnEnableClicked() {
        memo::MemoEntry* entry = Entry();
        if (!entry) {
            return;
        }
        const bool on = SendMessageA(enable_, BM_GETCHECK, 0, 0) == BST_CHECKED;
        entry->ReminderOn = memo::FlagText(on);
        if (strip_.Skin) {
            strip_.Skin->ShowRowReminder(editedRow_, on);
            if (!on) {
                // Ends a coloured phase the watcher left on this row.
                strip_.Skin->ShowRowFrame(editedRow_, strip::FrameLook::Normal);
            }
            strip_.Skin->RefreshStrip();
        }
    }

    void OnBlinkColorClicked(int id) {
        memo::MemoEntry* entry = Entry();
        HWND radio = id == kIdYellow ? yellow_ : red_;
        if (entry && SendMessageA(radio, BM_GETCHECK, 0, 0) == BST_CHECKED) {
            entry->YellowFrame = memo::FlagText(id == kIdYellow);
        }
    }

    void OnColorChanged() {
        memo::MemoEntry* entry = Entry();
        if (!entry) {
            return;
        }
        const int32_t color = PickerColor(picker_);
        if (strip_.Skin) {
            strip_.Skin->ShowRowTextColor(editedRow_, color);
        }
        entry->TextColor = color;
        if (strip_.Skin) {
            strip_.Skin->RefreshStrip();
        }
    }

    void OnDestroy() {
        if (memo::MemoEntry* entry = Entry()) {
            char text[64] = {};
            GetWindowTextA(timeBox_, text, sizeof text);
            // The box is read-only, but a time loaded from an edited file could
            // hold anything; "&" or "\" would shift every field after it.
            entry->ReminderTime = memo::MakeStorableText(text);
        }
        strip_.Config.WriteKey(memo::kGbkKeyEntries, memo::SerializeEntries(strip_.Entries));
    }

    strip::StripState& strip_;
    int editedRow_;  // `EditedRow`
    HWND hwnd_ = nullptr;
    HWND enable_ = nullptr;
    HWND timeBox_ = nullptr;
    HWND label3_ = nullptr;
    HWND red_ = nullptr;
    HWND yellow_ = nullptr;
    HWND picker_ = nullptr;
};

// The clock button's row: 1 for 时钟按钮, else its place among the copies + 1.
int RowOfClock(const strip::StripState& strip, HWND clockButton) {
    if (clockButton && clockButton == strip.FirstRow.ClockButton) {
        return 1;
    }
    const std::vector<HWND>& clocks = strip.RowControls.ClockButtons;
    for (size_t i = 0; i < clocks.size(); ++i) {
        if (clocks[i] == clockButton) {
            return static_cast<int>(i) + 2;
        }
    }
    return 0;
}

}  // namespace

void OpenReminderWindow(strip::StripState& strip, HWND clockButton) {
    const int row = RowOfClock(strip, clockButton);
    if (row == 0) {
        return;
    }
    ReminderWindow window(strip, row);
    window.Run();
}

}  // namespace reminders
