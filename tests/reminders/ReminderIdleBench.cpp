// Idle cost of the reminder watcher: 41 rows, none due, the real clock and the
// real 2 s sleeps. Prints the process's CPU time over an idle period without
// the watcher and then over one as long with it.
//   reminder_idle_bench [seconds per period, default 10]
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "reminders/Reminders.h"
#include "tests/reminders/ReminderTestStrip.h"

namespace {

constexpr int kRows = 41;

double ProcessCpuMs() {
    FILETIME created, exited, kernel, user;
    GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
    auto ms = [](const FILETIME& time) {
        return static_cast<double>((static_cast<unsigned long long>(time.dwHighDateTime) << 32) | time.dwLowDateTime) /
               10000.0;
    };
    return ms(kernel) + ms(user);
}

// Serves the window thread's messages (and so the watcher's steps) for `seconds`.
void IdleFor(int seconds) {
    UINT_PTR timer = SetTimer(nullptr, 0, static_cast<UINT>(seconds) * 1000, nullptr);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        if (msg.message == WM_TIMER && msg.hwnd == nullptr && msg.wParam == timer) {
            break;
        }
        DispatchMessageA(&msg);
    }
    KillTimer(nullptr, timer);
}

}  // namespace

int main(int argc, char** argv) {
    const int seconds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 10;
    memo::EntryList entries;
    for (int row = 1; row <= kRows; ++row) {
        // Half switched on with a time far ahead, so every pass converts them.
        entries.push_back(reminder_tests::Entry(row % 2 == 0, "2099-12-31-23:59:59"));
    }
    reminder_tests::TestStrip strip(std::move(entries));

    double start = ProcessCpuMs();
    IdleFor(seconds);
    double withoutWatcher = ProcessCpuMs() - start;

    reminders::StartReminderWatcher(strip.state);
    start = ProcessCpuMs();
    IdleFor(seconds);
    double withWatcher = ProcessCpuMs() - start;

    std::printf("idle %d s, %d rows, no reminder due\n", seconds, kRows);
    std::printf("  without watcher: %.1f ms CPU (%.3f%%)\n", withoutWatcher, withoutWatcher / (seconds * 10.0));
    std::printf("  with watcher:    %.1f ms CPU (%.3f%%)\n", withWatcher, withWatcher / (seconds * 10.0));
    std::printf("  strip calls by the watcher: %zu\n", strip.log->Size());
    return 0;
}
