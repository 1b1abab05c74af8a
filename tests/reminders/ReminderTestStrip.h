// A stand-in strip for the reminder tests: a plain window with plain child
// controls as rows, a skin that records what it is asked to show, and one
// log that the watcher's clock and sleeps write into as well.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "strip/Strip.h"
#include "tests/support/WineTest.h"

namespace reminder_tests {

// Lines such as "frame 3 yellow", "refresh", "sleep 2000", in the order they
// happened on whichever thread.
class CallLog {
public:
    void Add(std::string line) {
        std::lock_guard<std::mutex> lock(mutex_);
        lines_.push_back(std::move(line));
    }
    std::vector<std::string> Lines() const {
        std::lock_guard<std::mutex> lock(mutex_);
        return lines_;
    }
    size_t Count(const std::string& line) const {
        std::lock_guard<std::mutex> lock(mutex_);
        size_t count = 0;
        for (const std::string& l : lines_) {
            count += l == line;
        }
        return count;
    }
    // The lines after the first `skip` ones.
    std::vector<std::string> Since(size_t skip) const {
        std::lock_guard<std::mutex> lock(mutex_);
        return skip < lines_.size() ? std::vector<std::string>(lines_.begin() + static_cast<long>(skip), lines_.end())
                                    : std::vector<std::string>();
    }
    size_t Size() const {
        std::lock_guard<std::mutex> lock(mutex_);
        return lines_.size();
    }

private:
    mutable std::mutex mutex_;
    std::vector<std::string> lines_;
};

class RecordingSkin final : public strip::StripSkin {
public:
    RecordingSkin(std::shared_ptr<CallLog> log, const strip::StripState& strip) : log_(std::move(log)), strip_(strip) {}
    void StartSkin() override {}
    void SkinStrip(HWND, const strip::FirstRowControls&) override {}
    void SkinRow(int) override {}
    void DropRowSkins(int) override {}
    void PlaceRowControl(int, HWND, int) override {}
    void ResizeStrip(int, int) override {}
    void SetStripBackground(int) override {}
    void ShowRowFrame(int row, strip::FrameLook look) override {
        static const char* const kLooks[] = {"normal", "red", "yellow"};
        Row("frame", row, kLooks[static_cast<int>(look)]);
    }
    void ShowRowReminder(int row, bool on) override { Row("reminder", row, on ? "on" : "off"); }
    void ShowRowTextColor(int row, int32_t color) override { Row("color", row, std::to_string(color)); }
    void RefreshStrip() override { log_->Add("refresh"); }

private:
    void Row(const char* what, int row, const std::string& value) {
        // Every skin operation belongs on the window thread, and to a row that exists.
        if (GetCurrentThreadId() != GetWindowThreadProcessId(strip_.StripHwnd, nullptr)) {
            log_->Add("WRONG THREAD");
        }
        if (row < 1 || row > strip_.RowCount) {
            log_->Add("NO SUCH ROW " + std::to_string(row));
        }
        log_->Add(std::string(what) + " " + std::to_string(row) + " " + value);
    }

    std::shared_ptr<CallLog> log_;
    const strip::StripState& strip_;
};

// A strip of `entries.size()` rows whose config file lives in a temp folder.
class TestStrip {
public:
    explicit TestStrip(memo::EntryList entries) {
        WNDCLASSA windowClass{};
        windowClass.lpfnWndProc = DefWindowProcA;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.lpszClassName = "QuilloTestStrip";
        RegisterClassA(&windowClass);
        state.StripHwnd = CreateWindowExA(WS_EX_TOOLWINDOW, "QuilloTestStrip", "", WS_POPUP, 50, 50, 207, 46, nullptr,
                                          nullptr, GetModuleHandleA(nullptr), nullptr);
        state.Config = memo::ConfigFile(folder.GbkPath());
        state.Skin = std::make_unique<RecordingSkin>(log, state);
        state.Entries = std::move(entries);
        state.RowCount = static_cast<int>(state.Entries.size());
        state.FirstRow.EditBox = Child("EDIT", 27);
        state.FirstRow.Frame = Child("BUTTON", 26);
        state.FirstRow.ClockButton = Child("BUTTON", 27);
        for (int row = 2; row <= state.RowCount; ++row) {
            int top = 27 + 20 * (row - 1);
            state.RowControls.EditBoxes.push_back(Child("EDIT", top));
            state.RowControls.Frames.push_back(Child("BUTTON", top - 1));
            state.RowControls.DeleteButtons.push_back(Child("BUTTON", top));
            state.RowControls.ClockButtons.push_back(Child("BUTTON", top));
        }
    }
    ~TestStrip() { DestroyWindow(state.StripHwnd); }
    TestStrip(const TestStrip&) = delete;
    TestStrip& operator=(const TestStrip&) = delete;

    // Removes row `row` (>= 2) as the strip's delete does: controls, entry, count.
    void DeleteRow(int row) {
        size_t element = static_cast<size_t>(row) - 2;
        auto& lists = state.RowControls;
        for (auto* list : {&lists.EditBoxes, &lists.Frames, &lists.DeleteButtons, &lists.ClockButtons}) {
            DestroyWindow((*list)[element]);
            list->erase(list->begin() + static_cast<long>(element));
        }
        state.Entries.erase(state.Entries.begin() + row - 1);
        --state.RowCount;
    }

    HWND ClockButton(int row) const {
        return row == 1 ? state.FirstRow.ClockButton : state.RowControls.ClockButtons[static_cast<size_t>(row) - 2];
    }

    std::shared_ptr<CallLog> log = std::make_shared<CallLog>();
    testing_support::TempFolder folder;
    strip::StripState state;

private:
    HWND Child(const char* className, int top) {
        return CreateWindowExA(0, className, "", WS_CHILD | WS_VISIBLE, 171, top, 18, 18, state.StripHwnd, nullptr,
                               GetModuleHandleA(nullptr), nullptr);
    }
};

inline memo::MemoEntry Entry(bool on, std::string time, bool yellow = false, int32_t color = 0xFFFFFF) {
    memo::MemoEntry entry = memo::NewRowEntry(color);
    entry.ReminderOn = memo::FlagText(on);
    entry.ReminderTime = std::move(time);
    entry.YellowFrame = memo::FlagText(yellow);
    return entry;
}

}  // namespace reminder_tests

namespace reminder_tests {

// The first dialog of this thread that `match` accepts, nullptr when none.
inline HWND FindThreadDialog(const std::function<bool(HWND)>& match) {
    struct Search {
        const std::function<bool(HWND)>* match;
        HWND found;
    } search{&match, nullptr};
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND hwnd, LPARAM data) -> BOOL {
            auto* s = reinterpret_cast<Search*>(data);
            char className[32] = {};
            GetClassNameA(hwnd, className, sizeof className);
            if (std::string(className) == "#32770" && (*s->match)(hwnd)) {
                s->found = hwnd;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

inline std::string TextOf(HWND hwnd) {
    char text[256] = {};
    GetWindowTextA(hwnd, text, sizeof text);
    return text;
}

// Calls `open`, which runs a modal dialog, and runs `script` inside that
// dialog's own modal loop once a dialog that `match` accepts exists; then
// closes that dialog as its title-bar close button does.
inline void RunInModalLoop(const std::function<void()>& open, const std::function<bool(HWND)>& match,
                           const std::function<void(HWND)>& script) {
    struct Pending {
        const std::function<bool(HWND)>* match;
        const std::function<void(HWND)>* script;
    };
    // A thread timer has no user pointer; one script is pending at a time per
    // nesting level, so the innermost call's values sit here until it fires.
    static Pending* pending = nullptr;
    Pending mine{&match, &script};
    Pending* outer = pending;
    pending = &mine;
    UINT_PTR timer = SetTimer(nullptr, 0, 20, [](HWND, UINT, UINT_PTR id, DWORD) {
        Pending* current = pending;
        if (!current || !current->script) {
            return;
        }
        HWND dialog = FindThreadDialog(*current->match);
        if (!dialog) {
            return;
        }
        KillTimer(nullptr, id);
        const std::function<void(HWND)>* run = current->script;
        current->script = nullptr;
        (*run)(dialog);
        if (IsWindow(dialog)) {
            PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
        }
    });
    open();
    KillTimer(nullptr, timer);
    pending = outer;
}

}  // namespace reminder_tests
