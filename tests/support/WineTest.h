// Helpers shared by the tests that run under Wine.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

namespace testing_support {

// Pumps this thread's messages until `done` holds or `timeoutMs` passes.
bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs = 5000);
// Pumps whatever is queued now, without waiting for more.
void PumpPending();

// A fresh folder under %TEMP% (its GBK path has Chinese in it, as users' do),
// removed with everything in it when the object goes.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    const std::string& GbkPath() const { return gbkPath_; }
    std::string File(const std::string& gbkName) const { return gbkPath_ + "\\" + gbkName; }

private:
    std::string gbkPath_;
};

std::string ReadFileBytes(const std::string& gbkPath);
bool WriteFileBytes(const std::string& gbkPath, const std::string& bytes);
// The folder of the running test exe, without a trailing separator.
std::string ExeFolder();

// This Wine process's Linux status file ("Z:\\proc\\<pid>\\status"), "" when
// it cannot be told apart. "Z:\\proc\\self" would name the Wine server.
std::string OwnProcStatusPath();
// A "kB" figure of that file (key with its colon, e.g. "VmRSS:"), -1 when missing.
long ProcStatusKb(const std::string& statusPath, const char* key);

// What the whole process holds, counted in ways Wine answers: its
// GetProcessHandleCount and GetGuiResources say 0. Kernel handles come from
// the system's handle list, GDI objects from the GDI handle table the PEB
// points to (stock objects left out), windows from enumerating them. -1 where
// a figure cannot be had.
struct ProcessHandles {
    long kernel = -1;
    long gdi = -1;
    long windows = -1;
};
ProcessHandles CountProcessHandles();

}  // namespace testing_support
