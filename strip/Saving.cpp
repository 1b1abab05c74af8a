// A note's way from its edit box into its entry and from the entries and
// the strip's place into "配置.dpk".
#include "strip/Strip.h"

#include "strip/StripInternal.h"

namespace strip {

void TakeEditText(StripState& strip, HWND editBox) {
    const int row = RowOfEditBox(strip, editBox);
    if (row == 0 || static_cast<size_t>(row) > strip.Entries.size()) {
        return;
    }
    // "&" and "\" would shift the fields or split the entry when read back,
    // and a line break would end the INI line.
    std::string gbkTyped = WindowTextGbk(editBox);
    std::string gbkStorable = memo::MakeStorableText(gbkTyped);
    if (gbkStorable != gbkTyped) {
        SetWindowTextA(editBox, gbkStorable.c_str());
    }
    strip.Entries[static_cast<size_t>(row - 1)].Text = std::move(gbkStorable);
}

void SaveEntries(StripState& strip) {
    // Windows reports the lost activation before the box loses the focus, so
    // the text just typed is not in its entry yet.
    HWND focus = GetFocus();
    if (focus && RowOfEditBox(strip, focus) != 0) {
        TakeEditText(strip, focus);
    }
    strip.GbkStoredText = memo::SerializeEntries(strip.Entries);
    strip.EntriesSavePending = !strip.Config.WriteKey(memo::kGbkKeyEntries, strip.GbkStoredText);
}

void SavePosition(StripState& strip) {
    RECT place{};
    if (!strip.StripHwnd || !GetWindowRect(strip.StripHwnd, &place)) {
        return;
    }
    // Both edges in one replacement: a crash between two writes would leave
    // a place the strip never had.
    const bool written = strip.Config.WriteKeys(
        {{memo::kGbkKeyLeft, memo::NumberText(place.left)}, {memo::kGbkKeyTop, memo::NumberText(place.top)}});
    strip.PositionSavePending = !written;
}

}  // namespace strip
