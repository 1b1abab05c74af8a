// Reading reminder times and the due test, built natively under ASan/UBSan.
#include "reminders/ReminderCore.h"

#include <gtest/gtest.h>

#include <chrono>
#include <random>
#include <regex>
#include <string>

using namespace reminders;

namespace {

const std::string kTrue(memo::kGbkTrue);
const std::string kFalse(memo::kGbkFalse);
const std::string kGbkNoSuchDate = "\xB4\xCB\xC8\xD5\xC6\xDA\xB2\xBB\xB4\xE6\xD4\xDA\xA3\xAC\xC7\xEB\xD6\xD8\xD0\xC2\xD1\xA1\xD4\xF1";

// The label's characters as GBK; the native build keeps literals in UTF-8.
std::string Gbk(std::string text) {
    static const std::pair<std::string, std::string> kGbk[] = {
        {"年", "\xC4\xEA"}, {"月", "\xD4\xC2"}, {"日", "\xC8\xD5"},
        {"时", "\xCA\xB1"}, {"分", "\xB7\xD6"}, {"秒", "\xC3\xEB"},
    };
    for (const auto& [utf8, gbk] : kGbk) {
        for (size_t pos = text.find(utf8); pos != std::string::npos; pos = text.find(utf8, pos)) {
            text.replace(pos, utf8.size(), gbk);
        }
    }
    return text;
}

memo::MemoEntry Reminder(std::string on, std::string time) {
    memo::MemoEntry entry = memo::NewRowEntry(0);
    entry.ReminderOn = std::move(on);
    entry.ReminderTime = std::move(time);
    return entry;
}

}  // namespace

TEST(ReadReminderTime, AcceptsOnlyExistingDatesInTheStoredForm) {
    struct Case {
        const char* text;
        std::optional<DateTime> time;
    };
    const std::optional<DateTime> none;
    const Case cases[] = {
        {"2011-01-01-12:00:00", DateTime{2011, 1, 1, 12, 0, 0}},
        {"2011-05-06-09:03:07", DateTime{2011, 5, 6, 9, 3, 7}},
        {"2011-5-6-9:3:7", DateTime{2011, 5, 6, 9, 3, 7}},
        {"2012-02-29-00:00:00", DateTime{2012, 2, 29, 0, 0, 0}},
        {"2000-02-29-23:59:59", DateTime{2000, 2, 29, 23, 59, 59}},
        {"100-01-01-00:00:00", DateTime{100, 1, 1, 0, 0, 0}},
        {"0100-01-01-00:00:00", DateTime{100, 1, 1, 0, 0, 0}},
        {"9999-12-31-23:59:59", DateTime{9999, 12, 31, 23, 59, 59}},
        // dates that do not exist
        {"2011-02-29-12:00:00", none},
        {"2011-02-30-12:00:00", none},
        {"1900-02-29-12:00:00", none},
        {"2011-04-31-12:00:00", none},
        {"2011-13-01-12:00:00", none},
        {"2011-00-10-12:00:00", none},
        {"2011-01-00-12:00:00", none},
        {"2011-01-01-24:00:00", none},
        {"2011-01-01-12:60:00", none},
        {"2011-01-01-12:00:60", none},
        // years outside 100..9999
        {"99-12-31-23:59:59", none},
        {"0-01-01-00:00:00", none},
        {"10000-01-01-00:00:00", none},
        // missing parts
        {"", none},
        {"2011-01-01", none},
        {"2011-01-01-12:00", none},
        {"2011-01-01-12:00:", none},
        {"-01-01-12:00:00", none},
        // extra parts or characters
        {"2011-01-01-12:00:00:00", none},
        {"2011-01-01-12:00:00 ", none},
        {" 2011-01-01-12:00:00", none},
        {"2011-01-01-12:00:00x", none},
        {"2011-001-01-12:00:00", none},
        {"+2011-01-01-12:00:00", none},
        // other separators
        {"2011/01/01 12:00:00", none},
        {"2011-01-01 12:00:00", none},
        {"2011-01-01-12-00-00", none},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(ReadReminderTime(c.text), c.time);
        EXPECT_EQ(ReminderTimeOrEarliest(c.text), c.time.value_or(kEarliestDateTime));
    }
}

TEST(IsDue, DueOnlyWhenSwitchedOnAndStrictlyBeforeNow) {
    const DateTime now{2011, 5, 6, 9, 3, 7};
    struct Case {
        const char* label;
        std::string on;
        std::string time;
        bool due;
    };
    const Case cases[] = {
        {"one second before", kTrue, "2011-05-06-09:03:06", true},
        {"the same second is not due yet", kTrue, "2011-05-06-09:03:07", false},
        {"one second after", kTrue, "2011-05-06-09:03:08", false},
        {"a day across a month end", kTrue, "2011-04-30-23:59:59", true},
        {"a year later", kTrue, "2012-05-06-09:03:07", false},
        {"30 February is due at once", kTrue, "2011-02-30-12:00:00", true},
        {"an empty time is due at once", kTrue, "", true},
        {"a time with a missing part is due at once", kTrue, "2099-01-01-12:00", true},
        {"switched off", kFalse, "2011-05-06-09:03:06", false},
        {"switched off and unreadable", kFalse, "garbage", false},
        {"only exactly the true flag counts", kTrue + " ", "2011-05-06-09:03:06", false},
        {"an empty flag", "", "2011-05-06-09:03:06", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        EXPECT_EQ(IsDue(Reminder(c.on, c.time), now), c.due);
    }
}

TEST(IsDue, BothSidesAreLimitedToTheKnownRange) {
    // Past the last known instant both sides become 31 December 9999 00:00:00.
    const DateTime lateNow{9999, 12, 31, 12, 0, 0};
    EXPECT_FALSE(IsDue(Reminder(kTrue, "9999-12-31-06:00:00"), lateNow));
    EXPECT_TRUE(IsDue(Reminder(kTrue, "9999-12-30-23:59:59"), lateNow));
    // An unreadable time is the earliest instant, which nothing lies before.
    EXPECT_FALSE(IsDue(Reminder(kTrue, "garbage"), kEarliestDateTime));
    EXPECT_TRUE(IsDue(Reminder(kTrue, "garbage"), DateTime{100, 1, 1, 0, 0, 1}));
}

TEST(BuildDueList, ListsDueRowsInAscendingOrder) {
    const DateTime now{2026, 12, 11, 8, 0, 0};
    memo::EntryList entries = {
        Reminder(kTrue, "2026-12-11-07:59:59"),  // 1 due
        Reminder(kTrue, "2026-12-11-08:00:00"),  // 2 this very second
        Reminder(kTrue, "2011-02-30-12:00:00"),  // 3 no such date
        Reminder(kTrue, "2011-01-01-12:00:00"),  // 4 due
        Reminder(kFalse, "2011-01-01-12:00:00"),
        Reminder(kTrue, "2027-01-01-00:00:00"),
    };
    EXPECT_EQ(BuildDueList(entries, now), (std::vector<int>{1, 3, 4}));
    EXPECT_TRUE(BuildDueList({}, now).empty());
}

TEST(DateCheckText, DateInWordsShortenedFromTheEnd) {
    struct Case {
        const char* text;
        std::string words;
    };
    const Case cases[] = {
        {"2011-05-06-09:03:07", Gbk("2011年5月6日9时3分7秒")},
        {"2011-05-06-09:30:00", Gbk("2011年5月6日9时30分")},
        {"2011-05-06-09:00:00", Gbk("2011年5月6日9时")},
        {"2011-05-06-00:00:00", Gbk("2011年5月6日")},
        {"2011-05-06-00:00:01", Gbk("2011年5月6日0时0分1秒")},
        {"2011-05-06-00:01:00", Gbk("2011年5月6日0时1分")},
        {"2011-02-01-12:00:00", Gbk("2011年2月1日12时")},
        {"2012-02-29-12:00:00", Gbk("2012年2月29日12时")},
        {"2011-02-29-12:00:00", kGbkNoSuchDate},
        {"", kGbkNoSuchDate},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(DateCheckText(c.text), c.words);
    }
}

TEST(FormatReminderTime, KeepsEveryFieldAtItsPlace) {
    EXPECT_EQ(FormatReminderTime(DateTime{2011, 5, 6, 9, 3, 7}), "2011-05-06-09:03:07");
    EXPECT_EQ(FormatReminderTime(DateTime{2026, 12, 31, 23, 59, 59}), "2026-12-31-23:59:59");
    EXPECT_EQ(FormatReminderTime(DateTime{100, 1, 1, 0, 0, 0}), "0100-01-01-00:00:00") << "fields keep their places";
}

namespace {

// An independent reading: a regular expression for the form and <chrono>'s
// calendar for the existence of the date.
struct Reference {
    bool valid = false;
    std::chrono::sys_seconds instant{};
};

Reference ReadWithChrono(const std::string& text) {
    static const std::regex form(R"(^(\d{1,4})-(\d{1,2})-(\d{1,2})-(\d{1,2}):(\d{1,2}):(\d{1,2})$)");
    std::smatch m;
    if (!std::regex_match(text, m, form)) {
        return {};
    }
    using namespace std::chrono;
    int y = std::stoi(m[1]);
    year_month_day date{year{y}, month{static_cast<unsigned>(std::stoi(m[2]))},
                        day{static_cast<unsigned>(std::stoi(m[3]))}};
    int h = std::stoi(m[4]), mi = std::stoi(m[5]), s = std::stoi(m[6]);
    if (y < 100 || !date.ok() || h > 23 || mi > 59 || s > 59) {
        return {};
    }
    // The due test limits both sides to 100-01-01 00:00:00 .. 9999-12-31 00:00:00.
    sys_seconds instant = sys_days(date) + hours(h) + minutes(mi) + seconds(s);
    return {true, std::min(instant, sys_seconds(sys_days(year{9999} / December / 31)))};
}

std::string RandomText(std::mt19937& rng) {
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    char text[64];
    // Around the edges that matter: month ends, leap years, the range's ends.
    static const int kYears[] = {99, 100, 101, 1600, 1900, 2000, 2011, 2012, 2100, 2400, 9999};
    int year = pick(0, 3) == 0 ? kYears[pick(0, 10)] : pick(0, 10050);
    std::snprintf(text, sizeof text, pick(0, 3) ? "%d-%02d-%02d-%02d:%02d:%02d" : "%d-%d-%d-%d:%d:%d", year,
                  pick(0, 13), pick(0, 1) ? pick(0, 32) : pick(27, 32), pick(0, 24), pick(0, 60), pick(0, 60));
    std::string result = text;
    // Now and then a part goes missing, a character is added or one is changed.
    switch (pick(0, 7)) {
    case 0:
        result.erase(static_cast<size_t>(pick(0, static_cast<int>(result.size()) - 1)), 1);
        break;
    case 1:
        result.insert(static_cast<size_t>(pick(0, static_cast<int>(result.size()))), 1, "0-: x"[pick(0, 4)]);
        break;
    case 2:
        result[static_cast<size_t>(pick(0, static_cast<int>(result.size()) - 1))] = "09-:"[pick(0, 3)];
        break;
    default:
        break;
    }
    return result;
}

}  // namespace

TEST(ReadReminderTime, AgreesWithAnIndependentCalendarOnGeneratedTexts) {
    std::mt19937 rng(20261211);
    int validSeen = 0;
    std::vector<std::pair<std::string, Reference>> valid;
    for (int i = 0; i < 60000; ++i) {
        std::string text = RandomText(rng);
        Reference reference = ReadWithChrono(text);
        std::optional<DateTime> time = ReadReminderTime(text);
        ASSERT_EQ(time.has_value(), reference.valid) << text;
        if (time) {
            ++validSeen;
            if (valid.size() < 2000) {
                valid.emplace_back(text, reference);
            }
        }
    }
    EXPECT_GT(validSeen, 6000) << "the generator should reach plenty of real dates";
    // The due test orders instants as the calendar does.
    for (size_t i = 0; i + 1 < valid.size(); ++i) {
        const auto& [text, reference] = valid[i];
        const auto& [nowText, nowReference] = valid[i + 1];
        SCOPED_TRACE(text + " against " + nowText);
        ASSERT_EQ(IsDue(Reminder(kTrue, text), *ReadReminderTime(nowText)), reference.instant < nowReference.instant);
        ASSERT_EQ(ReadReminderTime(FormatReminderTime(*ReadReminderTime(text))), ReadReminderTime(text));
    }
}
