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

}  // namespace testing_support
