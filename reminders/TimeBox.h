// 时间编辑框: a read-only box showing a reminder time that is changed only field
// by field, with an up-down spinner beside it. Window thread only.
#pragma once

#include <windows.h>

namespace reminders {

// Creates the box and its spinner in `dialog` (the box at `place`, the spinner
// just right of it). `label` shows the date check after every step. The
// spinner's presses reach `dialog` as UDN_DELTAPOS; hand them to StepTimeBox.
HWND CreateTimeBox(HWND dialog, int boxId, int spinnerId, const RECT& place, HWND label);
// A spinner press or Up/Down: steps the selected field by `step` (+1/-1) and
// shows the date check in `label`.
void StepTimeBox(HWND box, HWND label, int step);

}  // namespace reminders
