// Child of the crash-safety test: rewrites "配置.dpk" in the given folder for
// ever, each list self-describing (n entries, each of colour n) so a reader
// can tell a whole list from a torn one. Position keys move in pairs.
#include "memo/Memo.h"

#include <windows.h>

#include <string>

int main(int argc, char** argv) {
    if (argc < 3) {
        return 2;
    }
    memo::ConfigFile config(argv[1]);
    int seed = atoi(argv[2]);
    for (int i = 0; i < 100000; ++i) {
        int count = 1 + (i * 7 + seed) % 60;
        memo::EntryList list;
        for (int k = 0; k < count; ++k) {
            list.push_back({"第" + std::to_string(count) + "条笔记很长很长很长很长很长很长", "假", "2011-01-01-12:00:00",
                            "假", count});
        }
        config.WriteKey(memo::kGbkKeyEntries, memo::SerializeEntries(list));
        // Killed between these two, the pair is left one write apart.
        config.WriteNumber(memo::kGbkKeyLeft, i);
        config.WriteNumber(memo::kGbkKeyTop, i + 1);
    }
    return 0;
}
