// The time box's fields: snapping a selection to a field, stepping a field with
// wrap-around, moving between fields; and where the settings window opens.
#include "reminders/ReminderCore.h"

#include <algorithm>
#include <cstdio>

namespace reminders {

namespace {

struct TimeField {
    int start;      // first character
    int length;     // characters selected
    int lastCaret;  // caret positions start..lastCaret belong to the field
    int min;
    int max;
};

constexpr TimeField kTimeFields[] = {
    {0, 4, 4, 0, 0},  // year: its range comes from YearRange
    {5, 2, 7, 1, 12},
    {8, 2, 10, 1, 31},  // any month; the label warns about days a month lacks
    {11, 2, 13, 0, 23},
    {14, 2, 16, 0, 59},
    {17, 2, 19, 0, 59},
};

const TimeField* FieldOfCaret(int caret) {
    for (const TimeField& field : kTimeFields) {
        if (caret <= field.lastCaret) {
            return &field;
        }
    }
    return nullptr;
}

int Wrapped(int value, int min, int max) {
    if (value < min) {
        return max;
    }
    if (value > max) {
        return min;
    }
    return value;
}

}  // namespace

YearRange YearRangeFor(int currentYear) { return YearRange{2011, std::max(2020, currentYear + 10)}; }

TextSelection SnapSelectionToField(TextSelection selection) {
    const TimeField* field = FieldOfCaret(std::max(selection.Start, 0));
    if (!field) {
        return selection;
    }
    return TextSelection{field->start, field->length};
}

SteppedText StepSelectedField(std::string_view text, TextSelection selection, int step, YearRange years) {
    const int start = std::clamp(selection.Start, 0, static_cast<int>(text.size()));
    const TimeField* field = FieldOfCaret(start);
    if (!field) {
        return SteppedText{std::string(text), selection};
    }
    // Whatever the selection was, the whole field of its start is replaced.
    const size_t fieldStart = std::min(static_cast<size_t>(field->start), text.size());
    const size_t fieldLength = std::min(static_cast<size_t>(field->length), text.size() - fieldStart);
    const int value = memo::ReadNumber(text.substr(fieldStart, fieldLength)) + step;

    char digits[16];
    if (field == &kTimeFields[0]) {
        std::snprintf(digits, sizeof digits, "%d", Wrapped(value, years.First, years.Last));
    } else {
        std::snprintf(digits, sizeof digits, "%02d", Wrapped(value, field->min, field->max));
    }
    std::string stepped(text);
    stepped.replace(fieldStart, fieldLength, digits);
    return SteppedText{std::move(stepped), TextSelection{field->start, field->length}};
}

TextSelection SelectionAfterRight(int selectionStart, int textLength) {
    int caret = selectionStart < 5 ? selectionStart + 5 : selectionStart + 3;
    caret = std::min(caret, textLength);
    // Past the seconds the walk starts over at the year.
    if (caret >= kTimeTextLength) {
        caret = 0;
    }
    return SnapSelectionToField(TextSelection{caret, 2});
}

TextSelection SelectionAfterLeft(int selectionStart) {
    return SnapSelectionToField(TextSelection{std::max(selectionStart - 1, 0), 2});
}

ScreenPoint PlaceBelowLeft(ScreenPoint pointer, int widthPx, int heightPx, const ScreenRect& workArea) {
    ScreenPoint place{pointer.X - widthPx - 10, pointer.Y + 10};
    // Right/bottom first, so a window larger than the work area keeps its
    // left-top corner (and its title bar) on the screen.
    place.X = std::max(std::min(place.X, workArea.Right - widthPx), workArea.Left);
    place.Y = std::max(std::min(place.Y, workArea.Bottom - heightPx), workArea.Top);
    return place;
}

}  // namespace reminders
