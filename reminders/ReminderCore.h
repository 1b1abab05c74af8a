// The pure side of reminders: reading a `ReminderTime` text, the due test, the
// time box's field arithmetic and where the settings window goes. No windows.h,
// so the same sources are built natively for sanitizers and fuzzing. Texts are
// GBK bytes; GBK literals are written as escapes so every compiler means the
// same bytes.
#pragma once

#include <compare>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "memo/Memo.h"

namespace reminders {

struct DateTime {
    int Year = 100;
    int Month = 1;
    int Day = 1;
    int Hour = 0;
    int Minute = 0;
    int Second = 0;

    auto operator<=>(const DateTime&) const = default;
};

// The earliest date-time the program knows; a text naming no existing date and
// time converts to it, so a switched-on reminder with such a text is due at once.
inline constexpr DateTime kEarliestDateTime{100, 1, 1, 0, 0, 0};
// Both sides of the due test are limited to [kEarliestDateTime, kLatestDateTime].
inline constexpr DateTime kLatestDateTime{9999, 12, 31, 0, 0, 0};

bool IsLeapYear(int year);
int DaysInMonth(int year, int month);

// "YYYY-MM-DD-hh:mm:ss": six decimal numbers (year 1-4 digits, the others 1-2)
// with exactly these separators and nothing before, between or after. The date
// must exist (year 100..9999, the day within its month) and the time lie within
// 00:00:00..23:59:59. Anything else is no date-time.
std::optional<DateTime> ReadReminderTime(std::string_view text);
// The conversion the watcher and the time box share: no date-time gives kEarliestDateTime.
DateTime ReminderTimeOrEarliest(std::string_view text);

// The time box's layout, every field at its place: "2011-05-06-09:03:07" (a
// year before 1000 gets leading zeros).
std::string FormatReminderTime(const DateTime& time);

// Due once its time lies strictly before `now` (both limited to the known range);
// only a `ReminderOn` of exactly "真" counts.
bool IsDue(const memo::MemoEntry& entry, const DateTime& now);
// `DueList`: 1-based numbers of the due entries, ascending.
std::vector<int> BuildDueList(const memo::EntryList& entries, const DateTime& now);

// "2011年5月6日9时3分7秒", the time shortened from the end when its tail is zero.
std::string DateInWords(const DateTime& time);
// What the label under the time box shows for a text: the date in words, or
// "此日期不存在，请重新选择" when the text names no date-time.
std::string DateCheckText(std::string_view text);

// ---- The time box: a 19-character text of six fields ----

inline constexpr int kTimeTextLength = 19;

struct TextSelection {
    int Start = 0;
    int Length = 0;

    bool operator==(const TextSelection&) const = default;
};

// Years the box steps through, wrapping at both ends. The first year stays
// 2011; the last runs ten years past the current one so future reminders can
// always be set.
struct YearRange {
    int First = 2011;
    int Last = 2020;
};
YearRange YearRangeFor(int currentYear);

// The whole field of the selection start (a caret on a separator belongs to
// the field before it); a start from 20 on belongs to no field and stays.
TextSelection SnapSelectionToField(TextSelection selection);

struct SteppedText {
    std::string Text;
    TextSelection Selection;
};
// Adds `step` (+1/-1) to the field of the selection, wrapping inside its range,
// and keeps that field selected. A selection that is not exactly one field is
// snapped to the field of its start first, so a step never inserts digits.
SteppedText StepSelectedField(std::string_view text, TextSelection selection, int step, YearRange years);

// The field selected after Right / Left from a selection start.
TextSelection SelectionAfterRight(int selectionStart, int textLength);
TextSelection SelectionAfterLeft(int selectionStart);

// ---- Where the settings window opens ----

struct ScreenRect {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;
};
struct ScreenPoint {
    int X = 0;
    int Y = 0;
};
// Left-top corner of a window of the given size placed below and left of the
// pointer (its right edge 10 px left of it, its top 10 px below), moved just
// enough to lie inside the work area when it would not.
ScreenPoint PlaceBelowLeft(ScreenPoint pointer, int widthPx, int heightPx, const ScreenRect& workArea);

}  // namespace reminders
