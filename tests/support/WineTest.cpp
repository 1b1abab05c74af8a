#include "tests/support/WineTest.h"

#include <shellapi.h>

#include <atomic>
#include <fstream>
#include <sstream>
#include <vector>

namespace testing_support {

bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs) {
    DWORD start = GetTickCount();
    for (;;) {
        PumpPending();
        if (done()) {
            return true;
        }
        DWORD elapsed = GetTickCount() - start;
        if (elapsed >= timeoutMs) {
            return false;
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, (std::min<DWORD>)(10, timeoutMs - elapsed), QS_ALLINPUT);
    }
}

void PumpPending() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

TempFolder::TempFolder() {
    static std::atomic<int> counter{0};
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    std::string base(temp);
    if (!base.empty() && base.back() == '\\') {
        base.pop_back();
    }
    // "测试" keeps GBK in every path the tests touch.
    gbkPath_ = base + "\\quillo\xB2\xE2\xCA\xD4-" + std::to_string(GetCurrentProcessId()) + "-" +
               std::to_string(counter++) + "-" + std::to_string(GetTickCount());
    CreateDirectoryA(gbkPath_.c_str(), nullptr);
}

TempFolder::~TempFolder() {
    // SHFileOperation wants a double-NUL-terminated list.
    std::string from = gbkPath_;
    from.push_back('\0');
    SHFILEOPSTRUCTA op{};
    op.wFunc = FO_DELETE;
    op.pFrom = from.c_str();
    op.fFlags = FOF_NOCONFIRMATION | FOF_NOERRORUI | FOF_SILENT;
    SHFileOperationA(&op);
}

std::string ReadFileBytes(const std::string& gbkPath) {
    HANDLE file = CreateFileA(gbkPath.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return std::string();
    }
    std::string bytes;
    char buffer[65536];
    DWORD done = 0;
    while (ReadFile(file, buffer, sizeof buffer, &done, nullptr) && done > 0) {
        bytes.append(buffer, done);
    }
    CloseHandle(file);
    return bytes;
}

bool WriteFileBytes(const std::string& gbkPath, const std::string& bytes) {
    HANDLE file = CreateFileA(gbkPath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    DWORD done = 0;
    bool ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &done, nullptr) && done == bytes.size();
    CloseHandle(file);
    return ok;
}

std::string ExeFolder() {
    char path[MAX_PATH * 2];
    DWORD length = GetModuleFileNameA(nullptr, path, sizeof path);
    std::string folder(path, length);
    size_t cut = folder.find_last_of('\\');
    return cut == std::string::npos ? folder : folder.substr(0, cut);
}

std::string OwnProcStatusPath() {
    char path[MAX_PATH];
    DWORD length = GetModuleFileNameA(nullptr, path, sizeof path);
    std::string name(path, length);
    // Wine names the process after its exe, and the kernel keeps 15 characters.
    name = name.substr(name.find_last_of('\\') + 1).substr(0, 15);
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA("Z:\\proc\\*", &found);
    std::string match;
    int matches = 0;
    for (BOOL more = search != INVALID_HANDLE_VALUE; more; more = FindNextFileA(search, &found)) {
        if (found.cFileName[0] < '0' || found.cFileName[0] > '9') {
            continue;
        }
        std::string status = std::string("Z:\\proc\\") + found.cFileName + "\\status";
        std::ifstream file(status);
        std::string line;
        if (std::getline(file, line) && line == "Name:\t" + name) {
            match = status;
            ++matches;
        }
    }
    if (search != INVALID_HANDLE_VALUE) {
        FindClose(search);
    }
    return matches == 1 ? match : std::string();
}

long ProcStatusKb(const std::string& statusPath, const char* key) {
    std::ifstream status(statusPath);
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind(key, 0) == 0) {
            return std::atol(line.c_str() + std::string(key).size());
        }
    }
    return -1;
}

}  // namespace testing_support
