// Rows 2, 3, …: `AddRow`, `DeleteRow` and `ShiftRowsUp`, and finding a row
// by one of its controls.
#include "strip/Strip.h"

#include "strip/StripInternal.h"

#include <algorithm>
#include <array>

namespace strip {

namespace {

int TopInParent(HWND control) {
    RECT place{};
    GetWindowRect(control, &place);
    MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&place), 2);
    return place.top;
}

void MoveToTop(HWND control, int top) {
    RECT place{};
    GetWindowRect(control, &place);
    MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&place), 2);
    SetWindowPos(control, nullptr, place.left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

template <typename List>
int ElementOf(const List& list, HWND control) {
    if (!control) {
        return 0;
    }
    auto found = std::find(list.begin(), list.end(), control);
    return found == list.end() ? 0 : static_cast<int>(found - list.begin()) + 1;
}

HWND RowControl(const std::vector<HWND>& list, HWND firstRowControl, int row) {
    if (row == 1) {
        return firstRowControl;
    }
    if (row < 2 || static_cast<size_t>(row - 1) > list.size()) {
        return nullptr;
    }
    return list[static_cast<size_t>(row - 2)];
}

// `ShiftRowsUp`: the rows below the removed element i take the places one row up.
void ShiftRowsUp(StripState& strip, int removedElement) {
    const int length = static_cast<int>(strip.RowControls.Frames.size());
    for (int element = removedElement; element <= length; ++element) {
        const size_t index = static_cast<size_t>(element - 1);
        const std::array<HWND, 4> controls = {strip.RowControls.Frames[index], strip.RowControls.EditBoxes[index],
                                              strip.RowControls.DeleteButtons[index],
                                              strip.RowControls.ClockButtons[index]};
        for (HWND control : controls) {
            // Moved here and told to the skin, so the row stands right
            // whichever skin is plugged in.
            const int top = TopInParent(control) - kRowPitch;
            MoveToTop(control, top);
            strip.Skin->PlaceRowControl(element, control, top);
        }
    }
    strip.RowCount -= 1;
    strip.StripHeight -= kRowPitch;
    strip.Skin->ResizeStrip(0, strip.StripHeight);
    strip.Skin->RefreshStrip();
    strip.Skin->SetStripBackground(strip.RowCount);
}

}  // namespace

HWND StripState::RowEditBox(int row) const { return RowControl(RowControls.EditBoxes, FirstRow.EditBox, row); }

HWND StripState::RowClockButton(int row) const {
    return RowControl(RowControls.ClockButtons, FirstRow.ClockButton, row);
}

int StripState::RowOfClockButton(HWND clockButton) const {
    if (clockButton && clockButton == FirstRow.ClockButton) {
        return 1;
    }
    int element = ElementOf(RowControls.ClockButtons, clockButton);
    return element == 0 ? 0 : element + 1;
}

int RowOfEditBox(const StripState& strip, HWND editBox) {
    if (editBox && editBox == strip.FirstRow.EditBox) {
        return 1;
    }
    int element = ElementOf(strip.RowControls.EditBoxes, editBox);
    return element == 0 ? 0 : element + 1;
}

int ElementOfDeleteButton(const StripState& strip, HWND deleteButton) {
    return ElementOf(strip.RowControls.DeleteButtons, deleteButton);
}

bool AppendRowControls(StripState& strip) {
    const FirstRowControls& first = strip.FirstRow;
    const std::array<HWND, 4> copies = {CopyControl(first.Frame), CopyControl(first.EditBox),
                                        CopyControl(first.DeleteButton), CopyControl(first.ClockButton)};
    if (std::find(copies.begin(), copies.end(), nullptr) != copies.end()) {
        // Half a row would put the rows and the entries out of step.
        for (HWND copy : copies) {
            if (copy) {
                DestroyWindow(copy);
            }
        }
        return false;
    }
    const auto [frame, editBox, deleteButton, clockButton] = copies;
    strip.RowCount += 1;
    strip.StripHeight += kRowPitch;
    const int frameTop = strip.StripHeight - kRowPitch;
    // The delete button stands one pixel higher than the first row's own.
    const int controlTop = strip.StripHeight - kRowPitch + 1;
    MoveToTop(frame, frameTop);
    MoveToTop(editBox, controlTop);
    MoveToTop(deleteButton, controlTop);
    MoveToTop(clockButton, controlTop);
    for (HWND copy : copies) {
        ShowWindow(copy, SW_SHOWNA);
    }
    strip.RowControls.Frames.push_back(frame);
    strip.RowControls.EditBoxes.push_back(editBox);
    strip.RowControls.DeleteButtons.push_back(deleteButton);
    strip.RowControls.ClockButtons.push_back(clockButton);
    strip.Skin->SkinRow(static_cast<int>(strip.RowControls.Frames.size()));
    return true;
}

void ShowRowCount(StripState& strip) {
    strip.Skin->ResizeStrip(kStripWidth, strip.StripHeight);
    strip.Skin->SetStripBackground(strip.RowCount);
}

bool AddRow(StripState& strip) {
    if (!AppendRowControls(strip)) {
        return false;
    }
    ShowRowCount(strip);
    const int row = strip.RowCount;
    // Entries past the last row (rows that could not be made at start) keep
    // their place after the new one.
    memo::MemoEntry entry = memo::NewRowEntry(strip.StripTextColor);
    SetWindowTextA(strip.RowEditBox(row), entry.Text.c_str());
    strip.Entries.insert(strip.Entries.begin() + (row - 1), std::move(entry));
    strip.Skin->RefreshStrip();
    return true;
}

void DeleteRow(StripState& strip, HWND deleteButton) {
    const int element = ElementOfDeleteButton(strip, deleteButton);
    if (element == 0) {
        return;
    }
    const size_t index = static_cast<size_t>(element - 1);
    RowControlLists& lists = strip.RowControls;
    DestroyWindow(lists.EditBoxes[index]);
    DestroyWindow(lists.Frames[index]);
    DestroyWindow(lists.DeleteButtons[index]);
    DestroyWindow(lists.ClockButtons[index]);
    lists.EditBoxes.erase(lists.EditBoxes.begin() + static_cast<ptrdiff_t>(index));
    lists.Frames.erase(lists.Frames.begin() + static_cast<ptrdiff_t>(index));
    lists.DeleteButtons.erase(lists.DeleteButtons.begin() + static_cast<ptrdiff_t>(index));
    lists.ClockButtons.erase(lists.ClockButtons.begin() + static_cast<ptrdiff_t>(index));
    strip.Skin->DropRowSkins(element);
    strip.Entries.erase(strip.Entries.begin() + static_cast<ptrdiff_t>(element));
    strip.Skin->RefreshStrip();
    ShiftRowsUp(strip, element);
}

}  // namespace strip
