// The reminder watcher: a thread that keeps the clock and the 2 s rhythm, and
// has the window thread do every step that reads entries or touches the strip
// (sent, so modal loops serve it too and the rhythm follows the steps).
#include "reminders/ReminderWatcher.h"
#include "reminders/Reminders.h"

#include <commctrl.h>

#include <algorithm>
#include <new>
#include <vector>

#include "app/AppMessages.h"
#include "strip/Strip.h"

namespace reminders {

namespace {

constexpr const char* kClassName = "QuilloReminderWatcher";
constexpr DWORD kPhaseMs = 2000;
constexpr const char* kGbkBalloonText = "备忘条提醒您：时间到了！";
constexpr const char* kGbkBalloonTitle = "Quillo备忘条v2.0";
constexpr UINT_PTR kBalloonToolId = 1;
constexpr int kBalloonLogoIconId = 2;  // the 16 px logo's icon group in resources/Quillo.rc

// WM_APP_REMINDER_STEP's wParam; lParam points at the pass's T.
enum WatcherStep : WPARAM {
    kShowDueFrames = 1,  // build `DueList`, coloured frames, refresh, balloon; result: 1 if any was due
    kShowNormalFrames,   // build `DueList` again for the same T, normal frames, refresh
};

class SystemTime final : public WatcherTime {
public:
    DateTime Now() override {
        SYSTEMTIME now;
        GetLocalTime(&now);
        return DateTime{now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond};
    }
    bool Sleep(DWORD delayMs, HANDLE stop) override { return WaitForSingleObject(stop, delayMs) == WAIT_TIMEOUT; }
};

class ReminderWatcher {
public:
    ReminderWatcher(strip::StripState& strip, std::unique_ptr<WatcherTime> time)
        : strip_(strip), time_(std::move(time)) {}

    static HWND Start(strip::StripState& strip, std::unique_ptr<WatcherTime> time) {
        HINSTANCE instance = GetModuleHandleA(nullptr);
        if (!RegisterWatcherClass(instance)) {
            return nullptr;
        }
        std::unique_ptr<ReminderWatcher> watcher(new (std::nothrow) ReminderWatcher(strip, std::move(time)));
        if (!watcher) {
            return nullptr;
        }
        // Owned by the strip window, so it goes (and stops the thread) before
        // the strip and its entries do. The window takes the watcher at
        // WM_NCCREATE and frees it at WM_NCDESTROY.
        HWND hwnd = CreateWindowExA(WS_EX_TOOLWINDOW, kClassName, "", WS_POPUP, 0, 0, 0, 0, strip.StripHwnd, nullptr,
                                    instance, &watcher);
        if (!hwnd) {
            return nullptr;
        }
        auto* started = reinterpret_cast<ReminderWatcher*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
        if (!started || !started->StartThread()) {
            DestroyWindow(hwnd);
            return nullptr;
        }
        return hwnd;
    }

    HWND Balloon() const { return balloon_; }

private:
    static bool RegisterWatcherClass(HINSTANCE instance) {
        WNDCLASSA windowClass{};
        if (GetClassInfoA(instance, kClassName, &windowClass)) {
            return true;
        }
        windowClass.lpfnWndProc = WindowProc;
        windowClass.hInstance = instance;
        windowClass.lpszClassName = kClassName;
        return RegisterClassA(&windowClass) != 0;
    }

    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) noexcept {
        if (msg == WM_NCCREATE) {
            auto* owner = static_cast<std::unique_ptr<ReminderWatcher>*>(
                reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
            ReminderWatcher* watcher = owner->release();
            watcher->hwnd_ = hwnd;
            SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(watcher));
        }
        auto* watcher = reinterpret_cast<ReminderWatcher*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
        if (!watcher) {
            return DefWindowProcA(hwnd, msg, wParam, lParam);
        }
        if (msg == WM_NCDESTROY) {
            SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
            delete watcher;
            return DefWindowProcA(hwnd, msg, wParam, lParam);
        }
        return watcher->HandleMessage(msg, wParam, lParam);
    }

    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
        switch (msg) {
        case WM_APP_REMINDER_STEP:
            return OnStep(wParam, *reinterpret_cast<const DateTime*>(lParam));
        case WM_DESTROY:
            StopThread();
            return 0;
        default:
            return DefWindowProcA(hwnd_, msg, wParam, lParam);
        }
    }

    bool StartThread() {
        stop_ = CreateEventA(nullptr, TRUE, FALSE, nullptr);
        if (!stop_) {
            return false;
        }
        thread_ = CreateThread(nullptr, 0, ThreadMain, this, 0, nullptr);
        return thread_ != nullptr;
    }

    // The thread may be inside SendMessage to this window right now: keep
    // serving sent messages (each answered as a no-op) until it has ended.
    void StopThread() {
        stopping_ = true;
        if (stop_) {
            SetEvent(stop_);
        }
        if (thread_) {
            while (MsgWaitForMultipleObjects(1, &thread_, FALSE, INFINITE, QS_SENDMESSAGE) == WAIT_OBJECT_0 + 1) {
                MSG msg;
                PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
            }
            CloseHandle(thread_);
            thread_ = nullptr;
        }
        if (stop_) {
            CloseHandle(stop_);
            stop_ = nullptr;
        }
    }

    static DWORD WINAPI ThreadMain(void* self) noexcept {
        try {
            static_cast<ReminderWatcher*>(self)->WatchReminders();
        } catch (...) {
            // A watcher that fails stops blinking; the strip goes on.
        }
        return 0;
    }

    // Watcher thread: only the clock, the sleeps and the trim happen here.
    void WatchReminders() {
        for (;;) {
            const DateTime now = time_->Now();
            if (SendMessageA(hwnd_, WM_APP_REMINDER_STEP, kShowDueFrames, reinterpret_cast<LPARAM>(&now)) != 0) {
                if (!time_->Sleep(kPhaseMs, stop_)) {
                    return;
                }
                SendMessageA(hwnd_, WM_APP_REMINDER_STEP, kShowNormalFrames, reinterpret_cast<LPARAM>(&now));
            }
            if (!time_->Sleep(kPhaseMs, stop_)) {
                return;
            }
            SetProcessWorkingSetSize(GetCurrentProcess(), static_cast<SIZE_T>(-1), static_cast<SIZE_T>(-1));
        }
    }

    // Window thread. `DueList` is built from the entries as they are now, so a
    // row deleted or switched off since the last step is never touched.
    LRESULT OnStep(WPARAM step, const DateTime& now) {
        if (stopping_) {
            return 0;
        }
        const std::vector<int> dueList = BuildDueList(strip_.Entries, now);
        if (step == kShowDueFrames) {
            if (dueList.empty()) {
                return 0;
            }
            colouredFrames_.clear();
            for (int row : dueList) {
                const bool yellow = memo::IsTrueFlag(strip_.Entries[static_cast<size_t>(row) - 1].YellowFrame);
                ShowFrame(row, yellow ? strip::FrameLook::Yellow : strip::FrameLook::Red);
                colouredFrames_.push_back(RowFrame(row));
            }
            Refresh();
            ShowBalloon();
            return 1;
        }
        // A row whose time moved later while it was coloured is no longer due
        // at T, yet its frame must not stay coloured: it would never be reset.
        std::vector<int> rows = dueList;
        for (HWND frame : colouredFrames_) {
            if (int row = RowOfFrame(frame); row != 0) {
                rows.push_back(row);
            }
        }
        colouredFrames_.clear();
        std::sort(rows.begin(), rows.end());
        rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
        for (int row : rows) {
            ShowFrame(row, strip::FrameLook::Normal);
        }
        Refresh();
        HideBalloon();
        return 1;
    }

    HWND RowFrame(int row) const {
        if (row == 1) {
            return strip_.FirstRow.Frame;
        }
        const auto& frames = strip_.RowControls.Frames;
        return static_cast<size_t>(row - 2) < frames.size() ? frames[static_cast<size_t>(row) - 2] : nullptr;
    }

    // The row that shows this frame now (rows move up on deletes), 0 when gone.
    int RowOfFrame(HWND frame) const {
        if (!frame) {
            return 0;
        }
        if (frame == strip_.FirstRow.Frame) {
            return 1;
        }
        const auto& frames = strip_.RowControls.Frames;
        auto found = std::find(frames.begin(), frames.end(), frame);
        return found == frames.end() ? 0 : static_cast<int>(found - frames.begin()) + 2;
    }

    void ShowFrame(int row, strip::FrameLook look) {
        if (strip_.Skin) {
            strip_.Skin->ShowRowFrame(row, look);
        }
    }

    void Refresh() {
        if (strip_.Skin) {
            strip_.Skin->RefreshStrip();
        }
    }

    // The logo from the exe's icon group 2; the standard information icon
    // stands in when the exe carries none (as test programs do).
    static HICON LogoIcon() {
        auto icon = static_cast<HICON>(LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(kBalloonLogoIconId),
                                                  IMAGE_ICON, 16, 16, LR_SHARED));
        return icon ? icon : reinterpret_cast<HICON>(TTI_INFO);
    }

    TTTOOLINFOA BalloonTool() const {
        TTTOOLINFOA tool{};
        // The size every comctl32 version accepts.
        tool.cbSize = TTTOOLINFOA_V2_SIZE;
        tool.uFlags = TTF_TRACK | TTF_ABSOLUTE;
        tool.hwnd = hwnd_;
        tool.uId = kBalloonToolId;
        tool.lpszText = const_cast<char*>(kGbkBalloonText);
        return tool;
    }

    bool CreateBalloon() {
        INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES};
        InitCommonControlsEx(&controls);
        balloon_ = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr,
                                   WS_POPUP | TTS_BALLOON | TTS_NOPREFIX | TTS_ALWAYSTIP, CW_USEDEFAULT,
                                   CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, hwnd_, nullptr,
                                   GetModuleHandleA(nullptr), nullptr);
        if (!balloon_) {
            return false;
        }
        TTTOOLINFOA tool = BalloonTool();
        SendMessageA(balloon_, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
        // A balloon shows an icon only beside a title.
        SendMessageA(balloon_, TTM_SETTITLEA, reinterpret_cast<WPARAM>(LogoIcon()),
                     reinterpret_cast<LPARAM>(kGbkBalloonTitle));
        return true;
    }

    void ShowBalloon() {
        if (!balloon_ && !CreateBalloon()) {
            return;
        }
        TTTOOLINFOA tool = BalloonTool();
        const int x = GetSystemMetrics(SM_CXSCREEN) - 20;
        const int y = GetSystemMetrics(SM_CYSCREEN) - 28;
        SendMessageA(balloon_, TTM_TRACKPOSITION, 0, MAKELPARAM(x, y));
        SendMessageA(balloon_, TTM_TRACKACTIVATE, TRUE, reinterpret_cast<LPARAM>(&tool));
    }

    void HideBalloon() {
        if (balloon_) {
            TTTOOLINFOA tool = BalloonTool();
            SendMessageA(balloon_, TTM_TRACKACTIVATE, FALSE, reinterpret_cast<LPARAM>(&tool));
        }
    }

    strip::StripState& strip_;
    std::unique_ptr<WatcherTime> time_;
    HWND hwnd_ = nullptr;
    HWND balloon_ = nullptr;  // owned by hwnd_, destroyed with it
    HANDLE thread_ = nullptr;
    HANDLE stop_ = nullptr;
    bool stopping_ = false;  // window thread only
    std::vector<HWND> colouredFrames_;  // window thread only: frames of the last coloured phase
};

}  // namespace

HWND StartWatcherWithTime(strip::StripState& strip, std::unique_ptr<WatcherTime> time) {
    return ReminderWatcher::Start(strip, std::move(time));
}

HWND ReminderBalloon(HWND watcherWindow) {
    DWORD processId = 0;
    GetWindowThreadProcessId(watcherWindow, &processId);
    char className[64] = {};
    GetClassNameA(watcherWindow, className, sizeof className);
    if (processId != GetCurrentProcessId() || lstrcmpA(className, kClassName) != 0) {
        return nullptr;
    }
    auto* watcher = reinterpret_cast<const ReminderWatcher*>(GetWindowLongPtrA(watcherWindow, GWLP_USERDATA));
    return watcher ? watcher->Balloon() : nullptr;
}

void StartReminderWatcher(strip::StripState& strip) { StartWatcherWithTime(strip, std::make_unique<SystemTime>()); }

}  // namespace reminders
