// The strip's default text colour: chosen in the colour dialog, stored as
// "文本颜色" and given to every row.
#include "help/Help.h"

#include <commdlg.h>

#include "strip/Strip.h"

namespace help {

namespace {

void ShowRowColor(strip::StripState& strip, int row, int32_t color) {
    if (strip.Skin) {
        strip.Skin->ShowRowTextColor(row, color);
    }
    if (row >= 1 && static_cast<size_t>(row) <= strip.Entries.size()) {
        strip.Entries[static_cast<size_t>(row) - 1].TextColor = color;
    }
}

}  // namespace

void ApplyStripTextColor(strip::StripState& strip) {
    const int32_t color = strip.StripTextColor;
    ShowRowColor(strip, 1, color);
    const int addedRows = static_cast<int>(strip.RowControls.EditBoxes.size());
    for (int i = 1; i <= addedRows; ++i) {
        ShowRowColor(strip, i + 1, color);
    }
    if (strip.Skin) {
        strip.Skin->RefreshStrip();
    }
}

bool ChooseStripTextColor(strip::StripState& strip, HWND owner, COLORREF (&customColors)[16]) {
    CHOOSECOLORA choice{};
    choice.lStructSize = sizeof choice;
    choice.hwndOwner = owner;
    choice.rgbResult = static_cast<COLORREF>(strip.StripTextColor) & 0x00FFFFFF;
    choice.lpCustColors = customColors;
    choice.Flags = CC_RGBINIT | CC_FULLOPEN;
    // Cancel keeps every row's own colour: only a colour the user confirmed
    // replaces them.
    if (!ChooseColorA(&choice)) {
        return false;
    }
    strip.StripTextColor = static_cast<int32_t>(choice.rgbResult);
    strip.Config.WriteNumber(memo::kGbkKeyTextColor, strip.StripTextColor);
    ApplyStripTextColor(strip);
    return true;
}

}  // namespace help
