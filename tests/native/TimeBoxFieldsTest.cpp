// The time box's field arithmetic and the settings window's place, natively.
#include "reminders/ReminderCore.h"

#include <gtest/gtest.h>

#include <string>

using namespace reminders;

namespace {

const YearRange kYears2026 = YearRangeFor(2026);  // 2011..2036
const std::string kGbkNoSuchDate = "\xB4\xCB\xC8\xD5\xC6\xDA\xB2\xBB\xB4\xE6\xD4\xDA\xA3\xAC\xC7\xEB\xD6\xD8\xD0\xC2\xD1\xA1\xD4\xF1";

constexpr TextSelection kYear{0, 4};
constexpr TextSelection kMonth{5, 2};
constexpr TextSelection kDay{8, 2};
constexpr TextSelection kHour{11, 2};
constexpr TextSelection kMinute{14, 2};
constexpr TextSelection kSecond{17, 2};

}  // namespace

TEST(YearRange, RunsFrom2011ToTenYearsAfterTheCurrentYear) {
    EXPECT_EQ(kYears2026.First, 2011);
    EXPECT_EQ(kYears2026.Last, 2036);
    // A clock set far back still allows the years up to 2020.
    EXPECT_EQ(YearRangeFor(1999).Last, 2020);
}

TEST(SnapSelectionToField, EveryCaretPositionSelectsItsField) {
    const TextSelection expected[] = {
        kYear,   kYear,   kYear,   kYear,   kYear,    // 0-3 and the "-" at 4
        kMonth,  kMonth,  kMonth,                     // 5-6 and "-"
        kDay,    kDay,    kDay,                       // 8-9 and "-"
        kHour,   kHour,   kHour,                      // 11-12 and ":"
        kMinute, kMinute, kMinute,                    // 14-15 and ":"
        kSecond, kSecond, kSecond,                    // 17-18 and the end of the text
    };
    for (int caret = 0; caret < 20; ++caret) {
        SCOPED_TRACE(caret);
        EXPECT_EQ(SnapSelectionToField({caret, 0}), expected[caret]);
        EXPECT_EQ(SnapSelectionToField({caret, 7}), expected[caret]) << "the length plays no part";
    }
    EXPECT_EQ(SnapSelectionToField({20, 3}), (TextSelection{20, 3})) << "no field from 20 on";
}

TEST(StepSelectedField, WrapsEveryFieldInsideItsRange) {
    struct Case {
        const char* label;
        std::string text;
        TextSelection selection;
        int step;
        std::string stepped;
    };
    const Case cases[] = {
        {"year up inside the range", "2026-05-06-09:03:07", kYear, +1, "2027-05-06-09:03:07"},
        {"year up past the last", "2036-05-06-09:03:07", kYear, +1, "2011-05-06-09:03:07"},
        {"year down past the first", "2011-05-06-09:03:07", kYear, -1, "2036-05-06-09:03:07"},
        {"stored year above the range, up", "2040-05-06-09:03:07", kYear, +1, "2011-05-06-09:03:07"},
        {"stored year above the range, down", "2040-05-06-09:03:07", kYear, -1, "2011-05-06-09:03:07"},
        {"stored year below the range, up", "2009-05-06-09:03:07", kYear, +1, "2036-05-06-09:03:07"},
        {"stored year below the range, down", "2009-05-06-09:03:07", kYear, -1, "2036-05-06-09:03:07"},
        {"month up from 12", "2011-12-06-09:03:07", kMonth, +1, "2011-01-06-09:03:07"},
        {"month down from 01", "2011-01-06-09:03:07", kMonth, -1, "2011-12-06-09:03:07"},
        {"month up pads", "2011-08-06-09:03:07", kMonth, +1, "2011-09-06-09:03:07"},
        {"day down from 01 in February", "2011-02-01-09:03:07", kDay, -1, "2011-02-31-09:03:07"},
        {"day down from 01 in April", "2011-04-01-09:03:07", kDay, -1, "2011-04-31-09:03:07"},
        {"day up from 31", "2011-04-31-09:03:07", kDay, +1, "2011-04-01-09:03:07"},
        {"hour down from 00", "2011-05-06-00:03:07", kHour, -1, "2011-05-06-23:03:07"},
        {"hour up from 23", "2011-05-06-23:03:07", kHour, +1, "2011-05-06-00:03:07"},
        {"minute up from 59", "2011-05-06-09:59:07", kMinute, +1, "2011-05-06-09:00:07"},
        {"minute down from 00", "2011-05-06-09:00:07", kMinute, -1, "2011-05-06-09:59:07"},
        {"second up from 59", "2011-05-06-09:03:59", kSecond, +1, "2011-05-06-09:03:00"},
        {"second down from 00", "2011-05-06-09:03:00", kSecond, -1, "2011-05-06-09:03:59"},
        {"a field that is no number counts as 0", "2011-xx-06-09:03:07", kMonth, +1, "2011-01-06-09:03:07"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        SteppedText result = StepSelectedField(c.text, c.selection, c.step, kYears2026);
        EXPECT_EQ(result.Text, c.stepped);
        EXPECT_EQ(result.Selection, c.selection) << "the same field stays selected";
    }
}

TEST(StepSelectedField, ASelectionThatIsNotOneFieldStepsTheFieldOfItsStart) {
    const std::string text = "2026-05-06-09:03:07";
    struct Case {
        const char* label;
        TextSelection selection;
        std::string stepped;
        TextSelection selectedAfter;
    };
    const Case cases[] = {
        {"caret before the first click", {0, 0}, "2027-05-06-09:03:07", kYear},
        {"caret inside the month", {6, 0}, "2026-06-06-09:03:07", kMonth},
        {"caret on the separator after the day", {10, 0}, "2026-05-07-09:03:07", kDay},
        {"caret at the end", {19, 0}, "2026-05-06-09:03:08", kSecond},
        {"half a field", {6, 1}, "2026-06-06-09:03:07", kMonth},
        {"two fields", {5, 5}, "2026-06-06-09:03:07", kMonth},
        {"everything", {0, 19}, "2027-05-06-09:03:07", kYear},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        SteppedText result = StepSelectedField(text, c.selection, +1, kYears2026);
        EXPECT_EQ(result.Text, c.stepped);
        EXPECT_EQ(result.Selection, c.selectedAfter);
        EXPECT_EQ(result.Text.size(), text.size()) << "a step never inserts";
    }
    SteppedText empty = StepSelectedField("", {0, 0}, +1, kYears2026);
    EXPECT_EQ(empty.Text, "2036");
}

TEST(StepSelectedField, LabelFollowsTheDaysOfFebruary) {
    std::string text = "2011-02-28-12:00:00";
    // The words themselves are checked in ReminderTimeTest.
    const std::string expectedLabels[] = {kGbkNoSuchDate, kGbkNoSuchDate, kGbkNoSuchDate,
                                          DateInWords(DateTime{2011, 2, 1, 12, 0, 0})};
    const char* expectedDays[] = {"29", "30", "31", "01"};
    for (int i = 0; i < 4; ++i) {
        SCOPED_TRACE(i);
        text = StepSelectedField(text, kDay, +1, kYears2026).Text;
        EXPECT_EQ(text.substr(8, 2), expectedDays[i]);
        EXPECT_EQ(DateCheckText(text), expectedLabels[i]);
    }
    EXPECT_EQ(DateCheckText(StepSelectedField("2012-02-28-12:00:00", kDay, +1, kYears2026).Text),
              DateInWords(DateTime{2012, 2, 29, 12, 0, 0})) << "2012 is a leap year";
}

TEST(FieldMoves, RightWalksRoundAndLeftStopsAtTheYear) {
    const TextSelection walk[] = {kYear, kMonth, kDay, kHour, kMinute, kSecond, kYear};
    for (int i = 0; i + 1 < 7; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(SelectionAfterRight(walk[i].Start, kTimeTextLength), walk[i + 1]);
    }
    const TextSelection back[] = {kSecond, kMinute, kHour, kDay, kMonth, kYear, kYear};
    for (int i = 0; i + 1 < 7; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(SelectionAfterLeft(back[i].Start), back[i + 1]);
    }
    // From a caret that is not at a field's start.
    EXPECT_EQ(SelectionAfterRight(18, kTimeTextLength), kYear);
    EXPECT_EQ(SelectionAfterLeft(12), kHour);
    EXPECT_EQ(SelectionAfterRight(0, 0), kYear) << "an empty box stays on the year";
}

TEST(PlaceBelowLeft, KeepsThePlaceWhenItFitsAndMovesJustEnoughOtherwise) {
    const ScreenRect work{0, 0, 1280, 994};
    struct Case {
        const char* label;
        ScreenPoint pointer;
        ScreenPoint place;
    };
    const Case cases[] = {
        {"fits", {600, 300}, {210, 310}},
        {"near the left edge", {100, 300}, {0, 310}},
        {"first run: clock at the screen's corner", {180, 30}, {0, 40}},
        {"near the bottom", {600, 900}, {210, 744}},
        {"left and bottom", {20, 990}, {0, 744}},
        {"exactly fitting at the left", {390, 0}, {0, 10}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        ScreenPoint place = PlaceBelowLeft(c.pointer, 380, 250, work);
        EXPECT_EQ(place.X, c.place.X);
        EXPECT_EQ(place.Y, c.place.Y);
    }
    // A second monitor to the left of the first: negative coordinates are a place like any other.
    ScreenPoint left = PlaceBelowLeft({-1000, 100}, 380, 250, ScreenRect{-1920, 0, 0, 1040});
    EXPECT_EQ(left.X, -1390);
    EXPECT_EQ(left.Y, 110);
    // Larger than the work area: the left-top corner stays visible.
    ScreenPoint tiny = PlaceBelowLeft({100, 100}, 380, 250, ScreenRect{0, 0, 200, 200});
    EXPECT_EQ(tiny.X, 0);
    EXPECT_EQ(tiny.Y, 0);
}
