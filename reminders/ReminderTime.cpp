// Reading a `ReminderTime` text, the due test and the date in words.
#include "reminders/ReminderCore.h"

#include <algorithm>
#include <cstdio>

namespace reminders {

namespace {

// GBK, see the note at the top of ReminderCore.h.
constexpr std::string_view kGbkYear = "\xC4\xEA";    // 年
constexpr std::string_view kGbkMonth = "\xD4\xC2";   // 月
constexpr std::string_view kGbkDay = "\xC8\xD5";     // 日
constexpr std::string_view kGbkHour = "\xCA\xB1";    // 时
constexpr std::string_view kGbkMinute = "\xB7\xD6";  // 分
constexpr std::string_view kGbkSecond = "\xC3\xEB";  // 秒
// 此日期不存在，请重新选择
constexpr std::string_view kGbkNoSuchDate =
    "\xB4\xCB\xC8\xD5\xC6\xDA\xB2\xBB\xB4\xE6\xD4\xDA\xA3\xAC\xC7\xEB\xD6\xD8\xD0\xC2\xD1\xA1\xD4\xF1";

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Reads 1..maxDigits digits at `pos`; advances `pos` past them.
std::optional<int> ReadDigits(std::string_view text, size_t& pos, size_t maxDigits) {
    size_t start = pos;
    int value = 0;
    while (pos < text.size() && IsDigit(text[pos]) && pos - start < maxDigits) {
        value = value * 10 + (text[pos] - '0');
        ++pos;
    }
    if (pos == start) {
        return std::nullopt;
    }
    return value;
}

DateTime Limited(const DateTime& time) { return std::clamp(time, kEarliestDateTime, kLatestDateTime); }

}  // namespace

bool IsLeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int DaysInMonth(int year, int month) {
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12) {
        return 0;
    }
    return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

std::optional<DateTime> ReadReminderTime(std::string_view text) {
    struct Part {
        size_t maxDigits;
        char separatorAfter;  // '\0' for the last part
    };
    static constexpr Part kParts[] = {{4, '-'}, {2, '-'}, {2, '-'}, {2, ':'}, {2, ':'}, {2, '\0'}};
    int values[6] = {};
    size_t pos = 0;
    for (size_t i = 0; i < 6; ++i) {
        std::optional<int> value = ReadDigits(text, pos, kParts[i].maxDigits);
        if (!value) {
            return std::nullopt;
        }
        values[i] = *value;
        if (kParts[i].separatorAfter != '\0') {
            if (pos >= text.size() || text[pos] != kParts[i].separatorAfter) {
                return std::nullopt;
            }
            ++pos;
        }
    }
    if (pos != text.size()) {
        return std::nullopt;
    }
    DateTime time{values[0], values[1], values[2], values[3], values[4], values[5]};
    if (time.Year < kEarliestDateTime.Year || time.Month < 1 || time.Month > 12 || time.Day < 1 ||
        time.Day > DaysInMonth(time.Year, time.Month) || time.Hour > 23 || time.Minute > 59 || time.Second > 59) {
        return std::nullopt;
    }
    return time;
}

DateTime ReminderTimeOrEarliest(std::string_view text) { return ReadReminderTime(text).value_or(kEarliestDateTime); }

std::string FormatReminderTime(const DateTime& time) {
    char text[64];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d-%02d:%02d:%02d", time.Year, time.Month, time.Day, time.Hour,
                  time.Minute, time.Second);
    return text;
}

bool IsDue(const memo::MemoEntry& entry, const DateTime& now) {
    if (!memo::IsTrueFlag(entry.ReminderOn)) {
        return false;
    }
    return Limited(ReminderTimeOrEarliest(entry.ReminderTime)) < Limited(now);
}

std::vector<int> BuildDueList(const memo::EntryList& entries, const DateTime& now) {
    std::vector<int> due;
    for (size_t i = 0; i < entries.size(); ++i) {
        if (IsDue(entries[i], now)) {
            due.push_back(static_cast<int>(i + 1));
        }
    }
    return due;
}

std::string DateInWords(const DateTime& time) {
    std::string words = std::to_string(time.Year) + std::string(kGbkYear) + std::to_string(time.Month) +
                        std::string(kGbkMonth) + std::to_string(time.Day) + std::string(kGbkDay);
    if (time.Hour == 0 && time.Minute == 0 && time.Second == 0) {
        return words;
    }
    words += std::to_string(time.Hour) + std::string(kGbkHour);
    if (time.Minute == 0 && time.Second == 0) {
        return words;
    }
    words += std::to_string(time.Minute) + std::string(kGbkMinute);
    if (time.Second == 0) {
        return words;
    }
    return words + std::to_string(time.Second) + std::string(kGbkSecond);
}

std::string DateCheckText(std::string_view text) {
    std::optional<DateTime> time = ReadReminderTime(text);
    return time ? DateInWords(*time) : std::string(kGbkNoSuchDate);
}

}  // namespace reminders
