// Every custom window message of the program, in one place.
#pragma once

#include <windows.h>

// Tray icon callback of the strip.
inline constexpr UINT WM_APP_TRAY = WM_APP + 1;
// A second start of the program from the same folder asks the running strip
// to come to the front (posted across processes).
inline constexpr UINT WM_APP_SHOW_STRIP = WM_APP + 2;
// A row's delete button was clicked (lParam: the button). Posted, so the
// button is not destroyed inside its own click notification.
inline constexpr UINT WM_APP_DELETE_ROW = WM_APP + 3;
// The reminder watcher asks the window thread to run one step (wParam: step,
// lParam: step data); sent, so the watcher's rhythm follows the window thread.
inline constexpr UINT WM_APP_REMINDER_STEP = WM_APP + 10;
// A finished background fetch (lParam: owned result, adopted by the handler).
inline constexpr UINT WM_APP_WORK_DONE = WM_APP + 20;
// A skin window refresh requested from another thread.
inline constexpr UINT WM_APP_SKIN_REFRESH = WM_APP + 30;
