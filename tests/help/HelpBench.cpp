// Figures, not a test: memory of the process over many openings of the help
// window, and the time from the click to the window on screen. With "--hold
// <seconds>" it only opens the window, shows the contact online, and keeps
// it up for a screenshot.
#include <winsock2.h>
#include <windows.h>

#include <psapi.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "help/Help.h"
#include "skin/core/SkinCore.h"
#include "strip/Strip.h"
#include "tests/help/StatusServer.h"
#include "tests/support/WineTest.h"

int main(int argc, char** argv) {
    skin::StartSkinModule();
    strip::StripState strip;
    help_testing::StatusServer server(help_testing::ServerMode::Answer,
                                      std::string(13, 'G') + "\xB9\xE2" + std::string(8, ';'));
    int shown = 0;
    help::HelpSettings settings;
    settings.Status = {"127.0.0.1", server.Port()};
    settings.OpenAddress = [](const std::string&) {};
    settings.StatusShown = [&](bool) { ++shown; };

    if (argc == 3 && std::string(argv[1]) == "--hold") {
        HWND help = help::OpenHelpWindow(strip, settings);
        testing_support::PumpUntil([&] { return shown == 1; });
        std::printf("help window up, contact shown %s\n", shown ? "online" : "unknown");
        std::fflush(stdout);
        testing_support::PumpUntil([&] { return !IsWindow(help); }, static_cast<DWORD>(std::atoi(argv[2]) * 1000));
        return 0;
    }

    const std::string statusPath = testing_support::OwnProcStatusPath();
    constexpr int kOpenings = 1000;
    std::vector<double> openMs;
    long rssAfterFirst = 0;
    long dataAfterFirst = 0;
    testing_support::ProcessHandles handlesAfterFirst;
    for (int i = 0; i < kOpenings; ++i) {
        auto start = std::chrono::steady_clock::now();
        HWND help = help::OpenHelpWindow(strip, settings);
        openMs.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
        testing_support::PumpUntil([&] { return shown == i + 1; });
        PostMessageA(help, WM_CLOSE, 0, 0);
        testing_support::PumpUntil([&] { return !IsWindow(help); });
        if (i == 9) {
            rssAfterFirst = testing_support::ProcStatusKb(statusPath, "VmRSS:");
            dataAfterFirst = testing_support::ProcStatusKb(statusPath, "VmData:");
            handlesAfterFirst = testing_support::CountProcessHandles();
        }
    }
    std::sort(openMs.begin(), openMs.end());
    std::printf("open to shown: median %.2f ms, max %.2f ms over %d openings (status fetched on a worker)\n",
                openMs[openMs.size() / 2], openMs.back(), kOpenings);
    std::printf("VmRSS after 10 openings %ld kB, after %d: %ld kB\n", rssAfterFirst, kOpenings,
                testing_support::ProcStatusKb(statusPath, "VmRSS:"));
    std::printf("VmData after 10 openings %ld kB, after %d: %ld kB\n", dataAfterFirst, kOpenings,
                testing_support::ProcStatusKb(statusPath, "VmData:"));
    const testing_support::ProcessHandles handles = testing_support::CountProcessHandles();
    std::printf("process kernel handles after 10 openings %ld, after %d: %ld\n", handlesAfterFirst.kernel, kOpenings,
                handles.kernel);
    std::printf("process GDI objects after 10 openings %ld, after %d: %ld\n", handlesAfterFirst.gdi, kOpenings,
                handles.gdi);
    std::printf("process windows after 10 openings %ld, after %d: %ld\n", handlesAfterFirst.windows, kOpenings,
                handles.windows);
    std::printf("GDI+ objects held by the skin module: %ld\n", skin::CountSkinHandles().gdiplusObjects);
    return 0;
}
