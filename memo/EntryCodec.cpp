// The stored text form of the entry list. Pure: no windows.h.
#include "memo/Memo.h"

namespace memo {

namespace {

constexpr std::string_view kGbkFullWidthAmpersand = "\xA3\xA6";  // ＆
constexpr std::string_view kGbkFullWidthBackslash = "\xA3\xDC";  // ＼
constexpr size_t kFieldCount = 5;

// Like SplitText but keeps an empty last field, so "a&b&c&d&" has a present
// (empty) fifth field, which reads as colour 0 rather than a missing one.
std::vector<std::string> SplitFields(std::string_view gbkLine) {
    std::vector<std::string> fields;
    size_t start = 0;
    for (size_t pos = 0; pos < gbkLine.size(); pos += GbkCharLength(gbkLine, pos)) {
        if (gbkLine[pos] == kFieldSeparator) {
            fields.emplace_back(gbkLine.substr(start, pos - start));
            start = pos + 1;
        }
    }
    fields.emplace_back(gbkLine.substr(start));
    return fields;
}

}  // namespace

bool IsTrueFlag(std::string_view flag) { return flag == kGbkTrue; }

MemoEntry DefaultEntry(int32_t stripTextColor) {
    return MemoEntry{std::string(kGbkSloganText), std::string(kGbkFalse), std::string(),
                     std::string(kGbkFalse), stripTextColor};
}

MemoEntry NewRowEntry(int32_t stripTextColor) {
    return MemoEntry{std::string(kGbkNewRowText), std::string(kGbkFalse),
                     std::string(kNewRowReminderTime), std::string(kGbkFalse), stripTextColor};
}

size_t GbkCharLength(std::string_view gbkText, size_t pos) {
    if (IsGbkLeadByte(static_cast<unsigned char>(gbkText[pos])) && pos + 1 < gbkText.size()) {
        return 2;
    }
    return 1;
}

std::string_view TruncateGbk(std::string_view gbkText, size_t maxBytes) {
    size_t end = 0;
    while (end < gbkText.size()) {
        size_t next = end + GbkCharLength(gbkText, end);
        if (next > maxBytes) {
            break;
        }
        end = next;
    }
    return gbkText.substr(0, end);
}

std::vector<std::string> SplitText(std::string_view gbkText, char separator) {
    std::vector<std::string> parts;
    size_t start = 0;
    for (size_t pos = 0; pos < gbkText.size(); pos += GbkCharLength(gbkText, pos)) {
        if (gbkText[pos] == separator) {
            parts.emplace_back(gbkText.substr(start, pos - start));
            start = pos + 1;
        }
    }
    if (start < gbkText.size()) {
        parts.emplace_back(gbkText.substr(start));
    }
    return parts;
}

MemoEntry ParseEntryLine(std::string_view gbkLine, int32_t stripTextColor) {
    MemoEntry entry = NewRowEntry(stripTextColor);
    if (gbkLine.empty()) {
        return entry;
    }
    std::vector<std::string> fields = SplitFields(gbkLine);
    std::string* texts[] = {&entry.Text, &entry.ReminderOn, &entry.ReminderTime, &entry.YellowFrame};
    for (size_t i = 0; i < fields.size() && i < kFieldCount - 1; ++i) {
        *texts[i] = std::move(fields[i]);
    }
    if (fields.size() >= kFieldCount) {
        entry.TextColor = ReadNumber(fields[kFieldCount - 1]);
    }
    return entry;
}

std::string SerializeEntries(const EntryList& entries) {
    std::string stored;
    for (const MemoEntry& entry : entries) {
        stored += entry.Text;
        stored += kFieldSeparator;
        stored += entry.ReminderOn;
        stored += kFieldSeparator;
        stored += entry.ReminderTime;
        stored += kFieldSeparator;
        stored += entry.YellowFrame;
        stored += kFieldSeparator;
        stored += NumberText(entry.TextColor);
        stored += kEntrySeparator;
    }
    return stored;
}

EntryList ReadStoredList(std::string_view gbkStoredText, int32_t stripTextColor) {
    std::vector<std::string> lines = SplitText(gbkStoredText, kEntrySeparator);
    EntryList entries;
    if (lines.empty()) {
        entries.push_back(DefaultEntry(stripTextColor));
        return entries;
    }
    entries.reserve(lines.size());
    for (const std::string& line : lines) {
        entries.push_back(ParseEntryLine(line, stripTextColor));
    }
    return entries;
}

int32_t ReadNumber(std::string_view text) {
    size_t pos = 0;
    while (pos < text.size() && (text[pos] == ' ' || text[pos] == '\t')) {
        ++pos;
    }
    bool negative = false;
    if (pos < text.size() && (text[pos] == '-' || text[pos] == '+')) {
        negative = text[pos] == '-';
        ++pos;
    }
    // Accumulate modulo 2^32 in unsigned arithmetic: exact wrap, never overflow UB.
    uint32_t magnitude = 0;
    for (; pos < text.size() && text[pos] >= '0' && text[pos] <= '9'; ++pos) {
        magnitude = magnitude * 10u + static_cast<uint32_t>(text[pos] - '0');
    }
    uint32_t bits = negative ? 0u - magnitude : magnitude;
    return static_cast<int32_t>(bits);
}

std::string NumberText(int32_t value) { return std::to_string(value); }

std::string MakeStorableText(std::string_view gbkText) {
    std::string storable;
    storable.reserve(gbkText.size());
    for (size_t pos = 0; pos < gbkText.size();) {
        size_t length = GbkCharLength(gbkText, pos);
        char c = gbkText[pos];
        if (length == 2) {
            storable.append(gbkText.substr(pos, 2));
        } else if (IsGbkLeadByte(static_cast<unsigned char>(c))) {
            // A lead byte with nothing after it would pair with the separator
            // written next and swallow it; it is half a character, so drop it.
        } else if (c == kFieldSeparator) {
            storable.append(kGbkFullWidthAmpersand);
        } else if (c == kEntrySeparator) {
            storable.append(kGbkFullWidthBackslash);
        } else if (c == '\r' || c == '\n') {
            storable.push_back(' ');
        } else {
            storable.push_back(c);
        }
        pos += length;
    }
    return storable;
}

}  // namespace memo
