// Fuzzes the reader of the stored entry list: any bytes must parse without UB,
// every list must serialise and read back the same once its texts are
// storable, and truncation must never cut a two-byte character.
#include "memo/Memo.h"

#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view input(reinterpret_cast<const char*>(data), size);
    memo::EntryList list = memo::ReadStoredList(input, memo::kWhite);
    if (list.empty()) {
        abort();
    }
    for (memo::MemoEntry& entry : list) {
        entry.Text = memo::MakeStorableText(entry.Text);
        entry.ReminderOn = memo::MakeStorableText(entry.ReminderOn);
        entry.ReminderTime = memo::MakeStorableText(entry.ReminderTime);
        entry.YellowFrame = memo::MakeStorableText(entry.YellowFrame);
    }
    memo::EntryList again = memo::ReadStoredList(memo::SerializeEntries(list), memo::kWhite);
    if (again != list) {
        abort();
    }
    std::string_view cut = memo::TruncateGbk(input, 26);
    if (cut.size() > 26 || input.substr(0, cut.size()) != cut) {
        abort();
    }
    return 0;
}
