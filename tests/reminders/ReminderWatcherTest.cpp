// The watcher's steps against a recording skin, with a clock and sleeps the
// test controls: the thread stops in every sleep until the test lets it go.
#include <windows.h>

#include <commctrl.h>

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "reminders/ReminderWatcher.h"
#include "reminders/Reminders.h"
#include "tests/reminders/ReminderTestStrip.h"

using namespace reminder_tests;
using reminders::DateTime;
using Lines = std::vector<std::string>;

namespace {

const DateTime kT{2026, 12, 11, 8, 0, 0};
const std::string kSleep = "sleep 2000";

// Shared by the test and the watcher thread; lives until both are done with it.
struct TimeControl {
    explicit TimeControl(std::shared_ptr<CallLog> callLog) : log(std::move(callLog)) {}
    ~TimeControl() { CloseHandle(release); }
    std::shared_ptr<CallLog> log;
    HANDLE release = CreateSemaphoreA(nullptr, 0, 1000, nullptr);
    std::mutex mutex;
    DateTime now = kT;
};

class ScriptedTime final : public reminders::WatcherTime {
public:
    explicit ScriptedTime(std::shared_ptr<TimeControl> control) : control_(std::move(control)) {}
    DateTime Now() override {
        control_->log->Add("clock");
        std::lock_guard<std::mutex> lock(control_->mutex);
        return control_->now;
    }
    bool Sleep(DWORD delayMs, HANDLE stop) override {
        control_->log->Add("sleep " + std::to_string(delayMs));
        HANDLE handles[] = {stop, control_->release};
        return WaitForMultipleObjects(2, handles, FALSE, INFINITE) == WAIT_OBJECT_0 + 1;
    }

private:
    std::shared_ptr<TimeControl> control_;
};

class WatcherTest : public testing::Test {
protected:
    void Start(memo::EntryList entries) {
        strip = std::make_unique<TestStrip>(std::move(entries));
        control = std::make_shared<TimeControl>(strip->log);
        watcher = reminders::StartWatcherWithTime(strip->state, std::make_unique<ScriptedTime>(control));
        ASSERT_NE(watcher, nullptr);
    }
    // Serves the watcher's steps until it has entered its `count`-th sleep.
    bool PumpUntilSleep(size_t count) {
        return testing_support::PumpUntil([&] { return strip->log->Count(kSleep) >= count; });
    }
    void ReleaseSleep() { ReleaseSemaphore(control->release, 1, nullptr); }
    void SetNow(const DateTime& now) {
        std::lock_guard<std::mutex> lock(control->mutex);
        control->now = now;
    }
    HWND Balloon() const { return reminders::ReminderBalloon(watcher); }

    std::unique_ptr<TestStrip> strip;
    std::shared_ptr<TimeControl> control;
    HWND watcher = nullptr;
};

const std::string kBefore = "2026-12-11-07:59:59";

}  // namespace

TEST_F(WatcherTest, BlinksDueRowsInTheOrderOfAPass) {
    Start({Entry(true, kBefore), Entry(false, kBefore), Entry(true, "2011-02-30-12:00:00"),
           Entry(true, kBefore, true), Entry(true, "2026-12-11-08:00:00")});
    ASSERT_TRUE(PumpUntilSleep(1));
    EXPECT_EQ(strip->log->Lines(),
              (Lines{"clock", "frame 1 red", "frame 3 red", "frame 4 yellow", "refresh", kSleep}));
    ASSERT_NE(Balloon(), nullptr);
    EXPECT_TRUE(IsWindowVisible(Balloon())) << "the balloon pops up in the coloured phase";
    char text[128] = {};
    TTTOOLINFOA tool{};
    tool.cbSize = TTTOOLINFOA_V2_SIZE;
    tool.hwnd = watcher;
    tool.uId = 1;
    tool.lpszText = text;
    SendMessageA(Balloon(), TTM_GETTEXTA, sizeof text, reinterpret_cast<LPARAM>(&tool));
    EXPECT_STREQ(text, "备忘条提醒您：时间到了！");
    RECT balloon;
    GetWindowRect(Balloon(), &balloon);
    const int x = GetSystemMetrics(SM_CXSCREEN) - 20;
    const int y = GetSystemMetrics(SM_CYSCREEN) - 28;
    EXPECT_TRUE(balloon.left <= x && x <= balloon.right && balloon.bottom <= y + 2 && balloon.bottom >= y - 40)
        << "balloon at " << balloon.left << "," << balloon.top << "-" << balloon.right << "," << balloon.bottom;

    size_t seen = strip->log->Size();
    ReleaseSleep();
    ASSERT_TRUE(PumpUntilSleep(2));
    EXPECT_EQ(strip->log->Since(seen), (Lines{"frame 1 normal", "frame 3 normal", "frame 4 normal", "refresh", kSleep}))
        << "the same T again, without reading the clock";
    EXPECT_FALSE(IsWindowVisible(Balloon()));

    // The blink colour is read afresh at every coloured phase.
    strip->state.Entries[0].YellowFrame = memo::FlagText(true);
    seen = strip->log->Size();
    ReleaseSleep();
    ASSERT_TRUE(PumpUntilSleep(3));
    EXPECT_EQ(strip->log->Since(seen),
              (Lines{"clock", "frame 1 yellow", "frame 3 red", "frame 4 yellow", "refresh", kSleep}))
        << "the next pass blinks again";
    EXPECT_TRUE(IsWindowVisible(Balloon()));
}

TEST_F(WatcherTest, LeavesTheStripAloneWhileNothingIsDue) {
    Start({Entry(false, kBefore), Entry(true, "2026-12-11-08:00:00"), Entry(true, "2099-01-01-00:00:00")});
    for (size_t pass = 1; pass <= 3; ++pass) {
        ASSERT_TRUE(PumpUntilSleep(pass));
        ReleaseSleep();
    }
    ASSERT_TRUE(PumpUntilSleep(4));
    EXPECT_EQ(strip->log->Lines(), (Lines{"clock", kSleep, "clock", kSleep, "clock", kSleep, "clock", kSleep}));
    EXPECT_EQ(Balloon(), nullptr);

    // The second after T the entry of T's very second is due.
    SetNow(DateTime{2026, 12, 11, 8, 0, 1});
    size_t seen = strip->log->Size();
    ReleaseSleep();
    ASSERT_TRUE(PumpUntilSleep(5));
    EXPECT_EQ(strip->log->Since(seen), (Lines{"clock", "frame 2 red", "refresh", kSleep}));
}

TEST_F(WatcherTest, ChangesDuringTheColouredPhaseAreSeenByItsEnd) {
    Start({Entry(true, kBefore), Entry(false, kBefore), Entry(true, kBefore), Entry(true, kBefore, true)});
    ASSERT_TRUE(PumpUntilSleep(1));
    // On the window thread, while the watcher sleeps: row 1 moves to T itself
    // and row 3 is deleted, so the former row 4 becomes row 3.
    strip->state.Entries[0].ReminderTime = "2026-12-11-08:00:00";
    strip->DeleteRow(3);
    size_t seen = strip->log->Size();
    ReleaseSleep();
    ASSERT_TRUE(PumpUntilSleep(2));
    EXPECT_EQ(strip->log->Since(seen), (Lines{"frame 1 normal", "frame 3 normal", "refresh", kSleep}))
        << "row 1, moved later, goes back to normal too; no row that is gone is touched";

    SetNow(DateTime{2026, 12, 11, 8, 0, 4});
    seen = strip->log->Size();
    ReleaseSleep();
    ASSERT_TRUE(PumpUntilSleep(3));
    EXPECT_EQ(strip->log->Since(seen), (Lines{"clock", "frame 1 red", "frame 3 yellow", "refresh", kSleep}));
}

TEST_F(WatcherTest, ARowMovedLaterWhileColouredIsNotLeftColoured) {
    Start({Entry(true, kBefore), Entry(true, kBefore, true)});
    ASSERT_TRUE(PumpUntilSleep(1));
    // The settings window stores a later time while the row shows red.
    strip->state.Entries[0].ReminderTime = "2099-01-01-00:00:00";
    size_t seen = strip->log->Size();
    ReleaseSleep();
    ASSERT_TRUE(PumpUntilSleep(2));
    EXPECT_EQ(strip->log->Since(seen), (Lines{"frame 1 normal", "frame 2 normal", "refresh", kSleep}));
    seen = strip->log->Size();
    ReleaseSleep();
    ASSERT_TRUE(PumpUntilSleep(3));
    EXPECT_EQ(strip->log->Since(seen), (Lines{"clock", "frame 2 yellow", "refresh", kSleep}));
}

TEST_F(WatcherTest, KeepsItsRhythmWhileTheSettingsWindowIsOpen) {
    Start({Entry(true, kBefore), Entry(false, kBefore)});
    ASSERT_TRUE(PumpUntilSleep(1));
    const size_t seen = strip->log->Size();

    // Everything below happens while the window thread sits in the settings
    // window's modal loop; the watcher's steps still have to run there.
    std::atomic<bool> servedInModalLoop{false};
    std::thread user([&] {
        auto waitFor = [](const std::function<bool()>& done) {
            for (DWORD start = GetTickCount(); GetTickCount() - start < 5000;) {
                if (done()) {
                    return true;
                }
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
            }
            return false;
        };
        HWND dialog = nullptr;
        // Visible only once its modal loop runs, so its controls are all made.
        waitFor([&] {
            dialog = FindWindowA("#32770", "定时提醒设定");
            return dialog && IsWindowVisible(dialog);
        });
        // The user switches row 1 off in the middle of its coloured phase.
        SendMessageA(GetDlgItem(dialog, 101), BM_CLICK, 0, 0);
        ReleaseSleep();
        bool normalPhase = waitFor([&] { return strip->log->Count(kSleep) >= 2; });
        ReleaseSleep();
        servedInModalLoop = normalPhase && waitFor([&] { return strip->log->Count(kSleep) >= 3; });
        PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
    });
    reminders::OpenReminderWindow(strip->state, strip->ClockButton(1));
    user.join();

    EXPECT_TRUE(servedInModalLoop);
    EXPECT_EQ(strip->log->Since(seen), (Lines{"reminder 1 off", "frame 1 normal", "refresh",  // the check box
                                              "frame 1 normal", "refresh", kSleep,         // end of the coloured phase
                                              "clock", kSleep}));                          // an idle pass
}

TEST_F(WatcherTest, StopsWithTheStripWindow) {
    Start({Entry(true, kBefore)});
    ASSERT_TRUE(PumpUntilSleep(1));
    DestroyWindow(strip->state.StripHwnd);
    EXPECT_FALSE(IsWindow(watcher));
    EXPECT_EQ(control.use_count(), 1) << "the watcher and its clock are gone";
}
