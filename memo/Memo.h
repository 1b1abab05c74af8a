// Memo entries, their stored text form and the "配置.dpk" file beside the exe.
// Everything above ConfigFile is pure (no windows.h) so the codec is also built
// natively for sanitizers and fuzzing. All texts are GBK (code page 936) bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <initializer_list>
#include <string_view>
#include <utility>
#include <vector>

namespace memo {

// GBK spellings of the texts the stored form relies on. Written as escapes so
// the pure code means the same bytes whatever execution charset compiles it.
inline constexpr std::string_view kGbkTrue = "\xD5\xE6";                                    // 真
inline constexpr std::string_view kGbkFalse = "\xBC\xD9";                                   // 假
inline constexpr std::string_view kGbkNewRowText = "\xC7\xEB\xD4\xDA\xB4\xCB\xCA\xE4\xC8\xEB";  // 请在此输入
inline constexpr std::string_view kNewRowReminderTime = "2011-01-01-12:00:00";
// "      青山常在   绿水长流 " — the first run's only note.
inline constexpr std::string_view kGbkSloganText =
    "      \xC7\xE0\xC9\xBD\xB3\xA3\xD4\xDA   \xC2\xCC\xCB\xAE\xB3\xA4\xC1\xF7 ";
inline constexpr int32_t kWhite = 16777215;
inline constexpr char kEntrySeparator = '\\';
inline constexpr char kFieldSeparator = '&';

struct MemoEntry {
    std::string Text;
    std::string ReminderOn;    // "真" or "假"; only exactly "真" is true
    std::string ReminderTime;  // year-month-day-hour:minute:second
    std::string YellowFrame;   // "真" yellow, anything else red
    int32_t TextColor = 0;     // 0x00BBGGRR

    bool operator==(const MemoEntry&) const = default;
};

// Entry k (1-based) belongs to row k; never empty while the strip runs.
using EntryList = std::vector<MemoEntry>;

bool IsTrueFlag(std::string_view flag);
inline std::string FlagText(bool on) { return std::string(on ? kGbkTrue : kGbkFalse); }

MemoEntry DefaultEntry(int32_t stripTextColor);
MemoEntry NewRowEntry(int32_t stripTextColor);

// GBK walking: a byte with its high bit set starts a two-byte character.
inline bool IsGbkLeadByte(unsigned char byte) { return byte >= 0x80; }
// Length of the character starting at `pos` (1 or 2; 1 for a lead byte cut off at the end).
size_t GbkCharLength(std::string_view gbkText, size_t pos);
// Longest prefix of at most maxBytes that ends on a character boundary.
std::string_view TruncateGbk(std::string_view gbkText, size_t maxBytes);

// Splits at every separator byte that is not the second byte of a character.
// "a\b\" gives a, b; "a\\b" gives a, "", b; a lone separator gives one "".
std::vector<std::string> SplitText(std::string_view gbkText, char separator);

// One stored line to one entry. Fields missing from a short line (a value cut
// short, an empty line, a note that held "\") take the new-row defaults so
// entries and rows stay in step; fields after the fifth are ignored.
MemoEntry ParseEntryLine(std::string_view gbkLine, int32_t stripTextColor);

std::string SerializeEntries(const EntryList& entries);

// The stored "条目内容" value to the list; no lines gives the one default entry.
EntryList ReadStoredList(std::string_view gbkStoredText, int32_t stripTextColor);

// Leading decimal number (after blanks, with an optional sign; a fraction is
// dropped), 0 when there is none; wraps to 32 bits like a C cast of the integer.
int32_t ReadNumber(std::string_view text);
std::string NumberText(int32_t value);

// A text about to enter an entry: "&" and "\" become the full-width "＆" and
// "＼" and line breaks become blanks, so the stored form can never shift fields
// or break the INI line. Trail bytes are left alone; a lead byte cut off at
// the end is dropped.
std::string MakeStorableText(std::string_view gbkText);

// ---- The "配置.dpk" file (Windows build only) ----

// Keys of section "各项配置" as GBK.
inline constexpr const char* kGbkKeyLeft = "\xC6\xF4\xB6\xAF" "X" "\xD7\xF8\xB1\xEA";    // 启动X坐标
inline constexpr const char* kGbkKeyTop = "\xC6\xF4\xB6\xAF" "Y" "\xD7\xF8\xB1\xEA";     // 启动Y坐标
inline constexpr const char* kGbkKeyEntries = "\xCC\xF5\xC4\xBF\xC4\xDA\xC8\xDD";       // 条目内容
inline constexpr const char* kGbkKeyTextColor = "\xCE\xC4\xB1\xBE\xD1\xD5\xC9\xAB";     // 文本颜色

// The running exe's full path (GBK), "" when Windows cannot say.
std::string ExePath();

// The INI file through the Windows profile functions. By default the path is
// the exe's folder + "\配置.dpk", built anew at every access; tests give a folder.
class ConfigFile {
public:
    ConfigFile() = default;
    explicit ConfigFile(std::string gbkFolder) : gbkFolder_(std::move(gbkFolder)) {}

    std::string Path() const;
    // The key's whole value (no length limit), "" when file, section or key is missing.
    std::string ReadKey(const char* gbkKey) const;
    int32_t ReadNumber(const char* gbkKey) const;
    // "文本颜色": its number, but white when the key is missing or empty.
    int32_t ReadStripTextColor() const;
    // Replaces one key. The file is rewritten as a copy that then replaces the
    // original, so a crash leaves the old or the new file whole; false when the
    // file could not be written (the original is then untouched).
    bool WriteKey(const char* gbkKey, std::string_view gbkValue) const;
    bool WriteNumber(const char* gbkKey, int32_t value) const;
    // Several keys in one replacement, so a crash never leaves some of them
    // new and the rest old (the strip's left and top edges go together).
    bool WriteKeys(std::initializer_list<std::pair<const char*, std::string>> gbkValues) const;

private:
    std::string gbkFolder_;
};

}  // namespace memo
