// The start routine: one strip per folder, the program-wide state, the strip
// window and its message loop.
#include <windows.h>

#include <memory>

#include "app/SingleInstance.h"
#include "help/Help.h"
#include "reminders/Reminders.h"
#include "strip/Strip.h"
#include "strip/skinned/SkinnedStripSkin.h"

namespace {

// `InitGlobals`: the strip's state, its skin layer and the hooks into the
// other subsystems, all made before the strip window exists.
std::unique_ptr<strip::StripState> InitGlobals() {
    auto state = std::make_unique<strip::StripState>();
    state->Skin = strip::MakeSkinnedStripSkin(*state);
    state->Hooks.StartWatcher = [](strip::StripState& strip) { reminders::StartReminderWatcher(strip); };
    state->Hooks.ClockClicked = [](strip::StripState& strip, HWND clockButton) {
        reminders::OpenReminderWindow(strip, clockButton);
    };
    state->Hooks.HelpClicked = [](strip::StripState& strip) { help::OnHelpButton(strip); };
    return state;
}

// `ReleaseGlobals`: runs once the strip window is gone.
void ReleaseGlobals(std::unique_ptr<strip::StripState>& state) { state.reset(); }

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    app::FolderInstance folderInstance(app::ExeFolder());
    if (!folderInstance.IsFirst()) {
        folderInstance.BringRunningStripToFront(5000);
        return 0;
    }
    std::unique_ptr<strip::StripState> state = InitGlobals();
    state->Skin->StartSkin();
    HWND stripHwnd = strip::CreateStripWindow(*state, instance);
    if (!stripHwnd) {
        ReleaseGlobals(state);
        return 1;
    }
    folderInstance.MarkStrip(stripHwnd);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        if (strip::PreTranslateStripMessage(*state, msg)) {
            continue;
        }
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    ReleaseGlobals(state);
    return static_cast<int>(msg.wParam);
}
