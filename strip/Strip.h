// The strip's public header: its program-wide state and the strip skin
// operations through which the strip's logic hands every look to its skin
// layer. Everything here is used on the window thread only.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <type_traits>
#include <vector>

#include "memo/Memo.h"

namespace strip {

enum class FrameLook { Normal, Red, Yellow };

// `RowControls`: element k (0-based k here) belongs to row k + 2.
struct RowControlLists {
    std::vector<HWND> EditBoxes;
    std::vector<HWND> Frames;
    std::vector<HWND> DeleteButtons;
    std::vector<HWND> ClockButtons;
};

// The first row's controls, made from the window definition.
struct FirstRowControls {
    HWND EditBox = nullptr;       // 编辑框1
    HWND Frame = nullptr;         // 底条按钮
    HWND DeleteButton = nullptr;  // 删除按钮
    HWND ClockButton = nullptr;   // 时钟按钮
    HWND AddButton = nullptr;     // 添加按钮
    HWND HelpButton = nullptr;    // 帮助按钮
    HWND CloseButton = nullptr;   // 关闭按钮
};

// The eleven strip skin operations. Rows are numbered from 1 as entries are.
class StripSkin {
public:
    virtual ~StripSkin() = default;
    virtual void StartSkin() = 0;
    virtual void SkinStrip(HWND strip, const FirstRowControls& firstRow) = 0;
    virtual void SkinRow(int element) = 0;  // element k >= 1 of RowControls
    virtual void DropRowSkins(int element) = 0;
    virtual void PlaceRowControl(int element, HWND control, int top) = 0;
    virtual void ResizeStrip(int widthOrZero, int heightOrZero) = 0;
    virtual void SetStripBackground(int rowCount) = 0;
    virtual void ShowRowFrame(int row, FrameLook look) = 0;
    virtual void ShowRowReminder(int row, bool on) = 0;
    virtual void ShowRowTextColor(int row, int32_t color) = 0;
    virtual void RefreshStrip() = 0;
};

struct StripState;

// What the strip calls in other subsystems without depending on them; the
// start routine fills these in before the strip window is created. An empty
// hook does nothing.
struct StripHooks {
    // The last step of building the strip, once every row exists.
    std::function<void(StripState&)> StartWatcher;
    // A clock button of any row was clicked (the button that was clicked).
    std::function<void(StripState&, HWND)> ClockClicked;
    // 帮助按钮 was clicked.
    std::function<void(StripState&)> HelpClicked;
};

struct FontDeleter {
    void operator()(HFONT font) const { DeleteObject(font); }
};

// Program-wide state owned by the strip.
struct StripState {
    memo::EntryList Entries;  // `EntryList`, never empty once built
    std::string GbkStoredText;
    std::vector<std::string> GbkStoredLines;
    int32_t StripTextColor = memo::kWhite;
    int RowCount = 1;
    int StripHeight = 46;
    FirstRowControls FirstRow;
    RowControlLists RowControls;
    HWND StripHwnd = nullptr;
    HANDLE WatcherHandle = nullptr;
    memo::ConfigFile Config;
    std::unique_ptr<StripSkin> Skin;
    StripHooks Hooks;
    // The font of 编辑框1 and its copies, shared by them all.
    std::unique_ptr<std::remove_pointer_t<HFONT>, FontDeleter> EditFont;
    // The last write of "条目内容" failed; the list stays in memory and the
    // next save writes it whole again.
    bool EntriesSavePending = false;
    // Likewise for "启动X坐标" and "启动Y坐标".
    bool PositionSavePending = false;
    // Set while the strip window is made and first shown: placing it then is
    // no move by the user.
    bool Building = false;
    // The last press of the left button on a delete button, and the delete
    // button whose coming click is the second half of a double click.
    struct DeletePress {
        HWND Button = nullptr;
        DWORD Tick = 0;
        POINT Point{};
    };
    DeletePress LastDeletePress;
    HWND SecondHalfOfDoubleClick = nullptr;

    // Row r's controls (r >= 1); nullptr when there is no such row.
    HWND RowEditBox(int row) const;
    HWND RowClockButton(int row) const;
    // The row a clock button belongs to, 0 when none.
    int RowOfClockButton(HWND clockButton) const;
};

// `SaveEntries`: takes the focused box's text first, then writes the whole
// list to "条目内容". A failed write is kept pending and tried again.
void SaveEntries(StripState& strip);

// The window class of the strip; a second start of the program finds the
// running strip by it.
inline constexpr const char* kStripClassName = "QuilloStrip";
// The most GBK bytes an edit box of the strip takes from typing or pasting.
inline constexpr int kEditLimitBytes = 26;
inline constexpr int kStripWidth = 207;
inline constexpr int kFirstRowHeight = 46;
inline constexpr int kRowPitch = 20;
// The band at the top of the strip that holds its buttons.
inline constexpr int kTopBandHeight = 26;

// Creates the `StripWindow` from its definition and shows it; `BuildStrip`
// runs while it is created. nullptr when the window could not be made.
HWND CreateStripWindow(StripState& strip, HINSTANCE instance);

// The message loop shows each message here before dispatching it: Esc closes
// the strip unless the focused control takes the key. True when consumed.
bool PreTranslateStripMessage(StripState& strip, const MSG& msg);

// `AddRow`: appends a row with the defaults of a new entry. False (and
// nothing changed) when the row's controls could not be made.
bool AddRow(StripState& strip);
// `DeleteRow`: the row whose delete button this is; other windows are ignored.
void DeleteRow(StripState& strip, HWND deleteButton);
// `TakeEditText`: the box's text enters its row's entry in storable form, and
// the box shows what was stored.
void TakeEditText(StripState& strip, HWND editBox);
// `SavePosition`: writes the strip's left and top edges.
void SavePosition(StripState& strip);
// Moves the strip onto the nearest work area when its top band lies on no
// monitor, and saves the new place; true when it moved.
bool RescueOffScreenStrip(StripState& strip);
// Rescues the strip, then raises it above every window, leaving it not topmost.
void BringStripToFront(StripState& strip);

}  // namespace strip
