// 颜色选择器1: a small control that shows a colour and lets the user pick another
// with the system colour dialog. Window thread only.
#pragma once

#include <windows.h>

#include <cstdint>

namespace reminders {

// WM_COMMAND notification code sent to the parent once per change by the user.
inline constexpr WORD kColorPickerChanged = 1;

HWND CreateColorPicker(HWND parent, int id, const RECT& place);
// Presets the colour (0x00BBGGRR) without raising the change.
void SetPickerColor(HWND picker, int32_t color);
int32_t PickerColor(HWND picker);
// Opens the colour dialog as a click does.
void OpenColorChoice(HWND picker);

}  // namespace reminders
