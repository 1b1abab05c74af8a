// Child of the crash-safety test: rewrites "配置.dpk" in the given folder for
// ever, each list self-describing (n entries, each of colour n) so a reader
// can tell a whole list from a torn one. The position keys go as one pair.
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
        config.WriteKeys({{memo::kGbkKeyLeft, std::to_string(i)}, {memo::kGbkKeyTop, std::to_string(i + 1)}});
    }
    return 0;
}
