// The reminder watcher's seam for tests: its clock and its sleeps, and the
// window on which its steps run. The program uses Reminders.h.
#pragma once

#include <windows.h>

#include <memory>

#include "reminders/ReminderCore.h"

namespace strip {
struct StripState;
}

namespace reminders {

// What the watcher thread reads the time from and sleeps with.
class WatcherTime {
public:
    virtual ~WatcherTime() = default;
    // The local date and time to the whole second. Called on the watcher thread.
    virtual DateTime Now() = 0;
    // Sleeps `delayMs` on the watcher thread; false as soon as `stop` is signalled.
    virtual bool Sleep(DWORD delayMs, HANDLE stop) = 0;
};

// Starts the watcher on `time`; returns the hidden window, owned by the strip
// window, on which the watcher's steps run (nullptr when it could not start).
// Destroying that window or the strip window stops the watcher.
HWND StartWatcherWithTime(strip::StripState& strip, std::unique_ptr<WatcherTime> time);

// The balloon tip the watcher pops up, nullptr before its first coloured phase.
HWND ReminderBalloon(HWND watcherWindow);

}  // namespace reminders
