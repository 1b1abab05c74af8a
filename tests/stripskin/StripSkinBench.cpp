// Adds and deletes a row 10,000 times on a skinned strip and prints what the
// process holds before and after: the skin module's own handle counts, the
// whole process's kernel handles, GDI objects and windows, and its memory.
#include <windows.h>

#include <psapi.h>
#include <winternl.h>

#include <cstdio>

#include "skin/core/SkinCore.h"
#include "tests/stripskin/TestStrip.h"
#include "tests/support/WineTest.h"

namespace {

constexpr int kCycles = 10000;
constexpr int kWarmUpCycles = 50;

// Wine fills these in from the process's own /proc/self/status (VmRSS,
// VmSize, RssAnon + VmSwap), the figures that show real growth there.
void PrintFigures(const char* when) {
    const skin::SkinHandleCounts counts = skin::CountSkinHandles();
    PROCESS_MEMORY_COUNTERS memory{};
    memory.cb = sizeof memory;
    GetProcessMemoryInfo(GetCurrentProcess(), &memory, sizeof memory);
    VM_COUNTERS vm{};
    NtQueryInformationProcess(GetCurrentProcess(), ProcessVmCounters, &vm, sizeof vm, nullptr);
    const testing_support::ProcessHandles process = testing_support::CountProcessHandles();
    std::printf("%-7s skin GDI objects %ld, GDI+ objects %ld, streams %ld; VmRSS %zu kB, anonymous %zu kB, "
                "VmSize %zu kB; process kernel handles %ld, process GDI objects %ld, process windows %ld\n",
                when, counts.gdiObjects, counts.gdiplusObjects, counts.streams, memory.WorkingSetSize / 1024,
                memory.PagefileUsage / 1024, vm.VirtualSize / 1024, process.kernel, process.gdi, process.windows);
    std::fflush(stdout);
}

void Cycle(stripskin_test::TestStrip& strip, int cycles) {
    for (int i = 0; i < cycles; ++i) {
        strip.AddRow();
        strip.DeleteRow(2);
        if (i % 100 == 0) {
            testing_support::PumpPending();
        }
    }
    testing_support::PumpPending();
}

}  // namespace

int main() {
    stripskin_test::TestStrip strip;
    // The first cycles decode the pictures the strip shows, once for the run.
    Cycle(strip, kWarmUpCycles);
    PrintFigures("before");
    const DWORD start = GetTickCount();
    Cycle(strip, kCycles / 2);
    // Growth that goes on in the second half is a leak; growth that stops is
    // the heap settling.
    PrintFigures("halfway");
    Cycle(strip, kCycles - kCycles / 2);
    const DWORD elapsedMs = GetTickCount() - start;
    PrintFigures("after");
    std::printf("%d add/delete cycles in %lu ms (%.2f ms per cycle)\n", kCycles, elapsedMs,
                static_cast<double>(elapsedMs) / kCycles);
    return 0;
}
