// Pieces shared by the strip's own files; users of the strip include Strip.h.
#pragma once

#include <windows.h>

#include <string>

namespace strip {

struct StripState;

// Control ids of the `StripWindow` definition. A copy keeps its source's id,
// so every row's controls raise the same events as the first row's.
enum ControlId : int {
    kIdAddButton = 101,
    kIdHelpButton,
    kIdCloseButton,
    kIdEditBox,
    kIdClockButton,
    kIdDeleteButton,
    kIdFrame,
};

// A new control in the same parent, invisible, with every setting of
// `source`: class, styles, extended styles, id, font, text limits, text,
// place and size. nullptr when it could not be made.
HWND CopyControl(HWND source);

// Gives an edit box the strip's font and its limit of `limitBytes` GBK bytes
// for whatever is typed or pasted.
void SetUpEditBox(HWND editBox, HFONT font, int limitBytes);
// The face of the first installed font of the strip's short list.
std::string ChooseEditFontFace();

// The GBK text of any window.
std::string WindowTextGbk(HWND hwnd);

// The row (1-based) whose edit box, delete button or clock button this is; 0 when none.
int RowOfEditBox(const StripState& strip, HWND editBox);
int ElementOfDeleteButton(const StripState& strip, HWND deleteButton);

// The tray icon of the strip, put and taken away with the strip window.
void AddTrayIcon(HWND strip);
void RemoveTrayIcon(HWND strip);
// The id of "TaskbarCreated", registered once.
UINT TaskbarCreatedMessage();

// Copies the first row's four controls into a new last row, counts it and
// has it skinned; the entries, the strip's size and its background are left
// alone. False, with nothing changed, when a control could not be made.
bool AppendRowControls(StripState& strip);
// Gives the strip the size and the background of its row count.
void ShowRowCount(StripState& strip);

// `BuildStrip`, the strip window's created event.
void BuildStrip(StripState& strip, HWND stripHwnd);

}  // namespace strip
