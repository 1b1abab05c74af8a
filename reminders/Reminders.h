// Reminders: the watcher that blinks due rows, and the settings window that a
// row's clock button opens. Both run their strip work on the window thread.
#pragma once

#include <windows.h>

namespace strip {
struct StripState;
}

namespace reminders {

// Starts watching the strip's entries (call once the strip window and its
// rows exist). The watcher lives as long as the strip window and stops with it.
void StartReminderWatcher(strip::StripState& strip);

// The clicked handler of every row's clock button: edits that row's reminder
// in the modal "定时提醒设定" window; returns when the window has closed.
void OpenReminderWindow(strip::StripState& strip, HWND clockButton);

}  // namespace reminders
