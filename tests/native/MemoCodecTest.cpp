// The stored-entry codec, built natively under ASan/UBSan.
#include "memo/Memo.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace memo;

namespace {

// GBK bytes of a few characters used below.
const std::string kGbkTou = "\xCD\x5C";  // 蚛: its second byte is 0x5C, the code of "\"
const std::string kGbkBuy = "\xC2\xF2\xB2\xCB";  // 买菜
const std::string kTrue(kGbkTrue);
const std::string kFalse(kGbkFalse);

std::vector<std::string> V(std::initializer_list<std::string> items) { return items; }

}  // namespace

TEST(SplitText, CutsAtSeparatorsButNeverInsideACharacter) {
    struct Case {
        const char* label;
        std::string text;
        char separator;
        std::vector<std::string> parts;
    };
    const Case cases[] = {
        {"empty", "", '\\', {}},
        {"trailing separator dropped", "a\\b\\", '\\', V({"a", "b"})},
        {"no trailing separator", "a\\b", '\\', V({"a", "b"})},
        {"two in a row give an empty part", "a\\\\b", '\\', V({"a", "", "b"})},
        {"lone separator", "\\", '\\', V({""})},
        {"leading separator", "\\a", '\\', V({"", "a"})},
        {"0x5C trail byte does not split", "x" + kGbkTou + "y\\z", '\\', V({"x" + kGbkTou + "y", "z"})},
        {"a lead byte takes the separator as its second byte", "\xB0&a&b", '&', V({"\xB0&a", "b"})},
        {"lead byte cut off at the end", "a\\\xB0", '\\', V({"a", "\xB0"})},
        {"ampersand", "a&&b&", '&', V({"a", "", "b"})},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        EXPECT_EQ(SplitText(c.text, c.separator), c.parts);
    }
}

TEST(ReadNumber, TakesTheLeadingDecimalNumber) {
    struct Case {
        const char* text;
        int32_t value;
    };
    const Case cases[] = {
        {"", 0},
        {"abc", 0},
        {"12abc", 12},
        {"-5", -5},
        {"+7", 7},
        {"  42", 42},
        {"16777215", 16777215},
        {"12.9", 12},
        {"-12.9", -12},
        {"-", 0},
        {"2147483647", 2147483647},
        {"2147483648", INT32_MIN},
        {"4294967295", -1},
        {"4294967296", 0},
        {"99999999999999999999999999", static_cast<int32_t>(3825205247u)},
        {"0x10", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(ReadNumber(c.text), c.value);
    }
}

TEST(ParseEntryLine, FillsFiveFields) {
    MemoEntry e = ParseEntryLine(kGbkBuy + "&" + kTrue + "&2011-05-03-18:30:00&" + kTrue + "&255", kWhite);
    EXPECT_EQ(e, (MemoEntry{kGbkBuy, kTrue, "2011-05-03-18:30:00", kTrue, 255}));
}

TEST(ParseEntryLine, OddLines) {
    const std::string kNew(kGbkNewRowText);
    const std::string kTime(kNewRowReminderTime);
    struct Case {
        const char* label;
        std::string line;
        MemoEntry entry;
    };
    const Case cases[] = {
        {"sixth field dropped", "a&b&c&d&5&6", {"a", "b", "c", "d", 5}},
        {"fifth field 12abc", "a&b&c&d&12abc", {"a", "b", "c", "d", 12}},
        {"fifth field negative", "a&b&c&d&-5", {"a", "b", "c", "d", -5}},
        {"fifth field present but empty", "a&b&c&d&", {"a", "b", "c", "d", 0}},
        {"fifth field not a number", "a&b&c&d&red", {"a", "b", "c", "d", 0}},
        {"empty line takes every new-row default", "", {kNew, kFalse, kTime, kFalse, 123}},
        {"text only", "note", {"note", kFalse, kTime, kFalse, 123}},
        {"cut after the time", "a&" + kTrue + "&2012-01-01-00:00:00", {"a", kTrue, "2012-01-01-00:00:00", kFalse, 123}},
        {"flags kept as they are", "a& x&t&yes&1", {"a", " x", "t", "yes", 1}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        EXPECT_EQ(ParseEntryLine(c.line, 123), c.entry);
    }
}

TEST(SerializeEntries, WritesFiveFieldsAndTheClosingBackslash) {
    EXPECT_EQ(SerializeEntries({{"a", kTrue, "2011-01-01-12:00:00", kTrue, 65280}}),
              "a&" + kTrue + "&2011-01-01-12:00:00&" + kTrue + "&65280\\");
    EXPECT_EQ(SerializeEntries({NewRowEntry(kWhite), {"b", kFalse, "", kFalse, -1}}),
              std::string(kGbkNewRowText) + "&" + kFalse + "&2011-01-01-12:00:00&" + kFalse + "&16777215\\b&" +
                  kFalse + "&&" + kFalse + "&-1\\");
    EXPECT_EQ(SerializeEntries({}), "");
}

TEST(ReadStoredList, DefaultEntryWhenNothingIsStored) {
    for (const char* stored : {"", }) {
        EntryList list = ReadStoredList(stored, 77);
        ASSERT_EQ(list.size(), 1u);
        EXPECT_EQ(list[0], (MemoEntry{std::string(kGbkSloganText), kFalse, "", kFalse, 77}));
    }
}

TEST(ReadStoredList, OneEntryWithOrWithoutTheClosingBackslash) {
    for (std::string stored : {"a&" + kTrue + "&t&" + kFalse + "&9\\", "a&" + kTrue + "&t&" + kFalse + "&9"}) {
        SCOPED_TRACE(stored);
        EXPECT_EQ(ReadStoredList(stored, 0), (EntryList{{"a", kTrue, "t", kFalse, 9}}));
    }
}

TEST(ReadStoredList, RoundTripsNotesWithTrailBytes) {
    EntryList list = {{"x" + kGbkTou + "y", kTrue, "2011-05-03-18:30:00", kTrue, 255},
                      {kGbkBuy, kFalse, "2011-01-01-12:00:00", kFalse, -16777216},
                      {"", kFalse, "", kFalse, 0}};
    EXPECT_EQ(ReadStoredList(SerializeEntries(list), kWhite), list);
}

TEST(ReadStoredList, AmpersandInsideANoteShiftsFieldsAsStored) {
    // Files written before notes were made storable still read the same way.
    EntryList list = ReadStoredList("a&b&" + kFalse + "&t&" + kFalse + "&5\\", kWhite);
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0], (MemoEntry{"a", "b", kFalse, "t", 0}));
}

TEST(ReadStoredList, EmptyLinesKeepRowsAndEntriesInStep) {
    EntryList list = ReadStoredList("a&" + kFalse + "&t&" + kFalse + "&1\\\\b&" + kFalse + "&t&" + kFalse + "&2\\", 5);
    ASSERT_EQ(list.size(), 3u);
    EXPECT_EQ(list[1], NewRowEntry(5));
    EXPECT_EQ(list[2].Text, "b");
}

TEST(MakeStorableText, ReplacesSeparatorsAndLineBreaksOnly) {
    struct Case {
        const char* label;
        std::string text;
        std::string storable;
    };
    const Case cases[] = {
        {"plain", "abc", "abc"},
        {"ampersand", "a&b", "a\xA3\xA6" "b"},
        {"backslash", "a\\b", "a\xA3\xDC" "b"},
        {"line breaks", "a\r\nb\nc", "a  b c"},
        {"0x5C trail kept", kGbkTou + "\\", kGbkTou + "\xA3\xDC"},
        {"lead byte cut off at the end dropped", "a\xB0", "a"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        EXPECT_EQ(MakeStorableText(c.text), c.storable);
        EntryList list = {{MakeStorableText(c.text), kFalse, "t", kFalse, 1}};
        EXPECT_EQ(ReadStoredList(SerializeEntries(list), 0), list);
    }
}

TEST(TruncateGbk, NeverCutsACharacter) {
    const std::string thirteen = kGbkBuy + kGbkBuy + kGbkBuy + kGbkBuy + kGbkBuy + kGbkBuy + "\xB0\xA1";
    ASSERT_EQ(thirteen.size(), 26u);
    EXPECT_EQ(TruncateGbk(thirteen + "\xB0\xA1", 26), thirteen);
    EXPECT_EQ(TruncateGbk("a" + thirteen, 26), "a" + thirteen.substr(0, 24));
    EXPECT_EQ(TruncateGbk("abc", 26), "abc");
    EXPECT_EQ(TruncateGbk("", 26), "");
}

TEST(Flags, OnlyTheExactTrueTextIsTrue) {
    EXPECT_TRUE(IsTrueFlag(kTrue));
    for (std::string flag : {kFalse, std::string(), kTrue + " ", std::string("1"), std::string("true")}) {
        EXPECT_FALSE(IsTrueFlag(flag)) << flag;
    }
}
