// Prints what composing and presenting a full strip costs, and whether
// memory and handles grow over 10,000 picture changes. Figures only: no limits.
#include <windows.h>

#include <psapi.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "skin/controls/SkinControls.h"
#include "tests/skin/SkinTestSupport.h"
#include "tests/support/WineTest.h"

namespace {

using namespace skin_test;
using Clock = std::chrono::steady_clock;

constexpr int kWidth = 208;
constexpr int kRows = 41;
constexpr int kTopBand = 26;
constexpr int kRowHeight = 20;
constexpr int kHeight = 46 + kRowHeight * (kRows - 1);  // 846
constexpr int kSamples = 200;
constexpr int kLoops = 10000;

double MedianMs(std::vector<double> samples) {
    std::sort(samples.begin(), samples.end());
    return samples[samples.size() / 2];
}

template <typename Work>
double MedianOf(int count, Work work) {
    std::vector<double> samples;
    for (int i = 0; i < count; ++i) {
        auto start = Clock::now();
        work();
        samples.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
    }
    return MedianMs(samples);
}

// The Wine process is an ordinary Linux process, but a path opened through
// Z: is opened by the Wine server, so "Z:\proc\self" names the server. The
// process is found instead by its name, which Wine sets to the exe's.
std::string StatusLine(const std::string& statusPath, const char* key) {
    std::ifstream status(statusPath);
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind(key, 0) == 0) {
            return line;
        }
    }
    return std::string(key) + " (unreadable)";
}

std::string MemoryFigures(const std::string& statusPath) {
    PROCESS_MEMORY_COUNTERS counters{sizeof counters};
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
    return StatusLine(statusPath, "VmRSS") + ", " + StatusLine(statusPath, "VmData") +
           ", working set " + std::to_string(counters.WorkingSetSize / 1024) + " kB";
}

struct Strip {
    HostWindow host{0, 0, kWidth, kHeight};
    skin::SkinWindow window;
    std::vector<skin::SkinPictureBox> frames;
    std::vector<skin::SkinEditBox> edits;
    std::vector<skin::SkinButton> buttons;
    HFONT font = CreateFontA(-12, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, "WenQuanYi Micro Hei");
    std::vector<HWND> editWindows;

    explicit Strip(int rows) {
        window.Attach(host.Get());
        window.SetBackImageFromBytes(MakePng(kWidth, kHeight, [](int x, int y) -> uint32_t {
            if (y < 16) return x < 40 ? 0xFF3070C0 : 0x03FFFFFF;
            if (y >= 18 && y < 20) return 0xFFE02020;
            return 0;
        }));
        window.Move({.height = 46 + kRowHeight * (rows - 1)});
        const auto& frame = MakePng(207, 20, [](int x, int y) -> uint32_t {
            bool edge = x == 0 || y == 0 || x == 206 || y == 19;
            return edge ? 0xFF909090 : 0x30FFFFFF;
        });
        const auto& cross = MakePng(16, 16, [](int x, int y) { return x == y || x == 15 - y ? 0xFF808080u : 0u; });
        const auto& clock = MakePng(17, 17, [](int x, int y) {
            int dx = x - 8, dy = y - 8;
            return dx * dx + dy * dy <= 64 ? 0xFFFFFFFFu : 0u;
        });
        frames.resize(rows);
        edits.resize(rows);
        buttons.resize(2 * rows);
        for (int row = 0; row < rows; ++row) {
            int top = kTopBand + row * kRowHeight;
            frames[row].Create(host.Get(), 0, top, 207, 20);
            frames[row].SetBackImageFromBytes(frame);
            HWND edit = MakeChild(host.Get(), "Edit", ES_AUTOHSCROLL, 4, top + 2, 150, 16,
                                  "\xC7\xEB\xD4\xDA\xB4\xCB\xCA\xE4\xC8\xEB");  // 请在此输入
            SendMessageA(edit, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
            editWindows.push_back(edit);
            edits[row].Attach(edit);
            edits[row].SetBackColor(skin::kNoColor);
            edits[row].SetOrderColor(skin::kNoColor);
            edits[row].SetTextColor(0xFFFFFF);
            buttons[2 * row].Create(host.Get(), 168, top + 2, 16, 16, "");
            buttons[2 * row].SetImagesFromBytes({.normal = cross});
            buttons[2 * row + 1].Create(host.Get(), 188, top + 1, 17, 17, "");
            buttons[2 * row + 1].SetImagesFromBytes({.normal = clock});
        }
        window.Refresh();
    }
    ~Strip() { DeleteObject(font); }
};

void BenchComposition() {
    Strip strip(kRows);
    SetForegroundWindow(strip.host.Get());
    SetFocus(strip.editWindows[0]);

    double composeOnly = MedianOf(kSamples, [&] { skin::ComposeWindow(strip.host.Get(), true); });
    double composeAndPresent = MedianOf(kSamples, [&] { skin::ComposeWindow(strip.host.Get(), false); });
    int shown = 0;
    double blink = MedianOf(kSamples, [&] {
        skin::PresentLayered(strip.host.Get(), skin::Caret().LastFrame.get(), (++shown & 1) != 0);
    });
    std::vector<unsigned char> source(static_cast<size_t>(kWidth) * kHeight * 4, 0x5A);
    std::vector<unsigned char> target(source.size());
    double copy = MedianOf(kSamples * 10, [&] {
        std::memcpy(target.data(), source.data(), source.size());
        source[shown++ % source.size()] ^= target[0];
    });

    std::printf("strip %dx%d, %d rows (frame, edit box with text, two buttons each), medians of %d:\n", kWidth,
                kHeight, kRows, kSamples);
    std::printf("  compose only          %8.3f ms  (%6.0f x memcpy)\n", composeOnly, composeOnly / copy);
    std::printf("  compose and present   %8.3f ms  (%6.0f x memcpy)\n", composeAndPresent, composeAndPresent / copy);
    std::printf("  blink (present only)  %8.3f ms  (%6.0f x memcpy)\n", blink, blink / copy);
    std::printf("  memcpy of one frame   %8.3f ms\n", copy);
}

void BenchPictureLoop() {
    constexpr int kLoopRows = 5;
    Strip strip(kLoopRows);
    const std::vector<unsigned char>* looks[] = {&MakeSolidPng(207, 20, 0x80FF0000), &MakeSolidPng(207, 20, 0x80FFFF00),
                                                 &MakeSolidPng(207, 20, 0x30FFFFFF)};
    auto loop = [&](int count) {
        for (int i = 0; i < count; ++i) {
            strip.frames[i % kLoopRows].SetBackImageFromBytes(*looks[i % 3]);
            strip.buttons[1].SetImagesFromBytes({.normal = *looks[(i + 1) % 3]});
            strip.window.Refresh();
        }
    };
    loop(100);
    std::string statusPath = testing_support::OwnProcStatusPath();
    std::printf("%d picture changes, each composed and presented (%d rows); memory from %s:\n", kLoops, kLoopRows,
                statusPath.empty() ? "(own /proc status not found)" : statusPath.c_str());
    skin::SkinHandleCounts before = skin::CountSkinHandles();
    std::printf("  before: %s; handles gdi %ld gdi+ %ld streams %ld\n", MemoryFigures(statusPath).c_str(),
                before.gdiObjects, before.gdiplusObjects, before.streams);
    auto start = Clock::now();
    loop(kLoops);
    double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    skin::SkinHandleCounts after = skin::CountSkinHandles();
    std::printf("  after:  %s; handles gdi %ld gdi+ %ld streams %ld (%.2f ms per change)\n",
                MemoryFigures(statusPath).c_str(), after.gdiObjects, after.gdiplusObjects, after.streams,
                seconds * 1000 / kLoops);
}

}  // namespace

int main() {
    skin::StartSkinModule();
    BenchComposition();
    BenchPictureLoop();
    return 0;
}
