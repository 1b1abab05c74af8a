#include "tests/support/WineTest.h"

#include <shellapi.h>
#include <winternl.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
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

namespace {

// One row of the system handle list (SystemExtendedHandleInformation).
struct SystemHandleRow {
    void* object;
    ULONG_PTR processId;
    ULONG_PTR handle;
    ULONG grantedAccess;
    USHORT creatorBackTraceIndex;
    USHORT objectTypeIndex;
    ULONG attributes;
    ULONG reserved;
};

long CountKernelHandles() {
    DWORD count = 0;
    if (GetProcessHandleCount(GetCurrentProcess(), &count) && count > 0) {
        return static_cast<long>(count);
    }
    using QuerySystem = NTSTATUS(NTAPI*)(ULONG, void*, ULONG, ULONG*);
    auto query = reinterpret_cast<QuerySystem>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQuerySystemInformation")));
    if (query == nullptr) {
        return -1;
    }
    constexpr ULONG kSystemExtendedHandleInformation = 64;
    std::vector<char> buffer(1 << 20);
    for (int attempt = 0; attempt < 6; ++attempt) {
        ULONG needed = 0;
        NTSTATUS status = query(kSystemExtendedHandleInformation, buffer.data(), static_cast<ULONG>(buffer.size()),
                                &needed);
        if (status == 0) {
            const ULONG_PTR rows = *reinterpret_cast<const ULONG_PTR*>(buffer.data());
            const auto* row = reinterpret_cast<const SystemHandleRow*>(buffer.data() + 2 * sizeof(ULONG_PTR));
            long mine = 0;
            for (ULONG_PTR i = 0; i < rows; ++i) {
                mine += row[i].processId == GetCurrentProcessId() ? 1 : 0;
            }
            return mine;
        }
        buffer.resize(std::max<size_t>(buffer.size() * 2, needed + 4096));
    }
    return -1;
}

// An entry of the GDI handle table; the same 24 bytes on x64 Windows and Wine.
struct GdiTableEntry {
    uint64_t object;
    uint16_t processId;
    uint16_t lockAndCount;
    uint16_t unique;
    uint8_t type;
    uint8_t flags;
    uint64_t userPointer;
};
static_assert(sizeof(GdiTableEntry) == 24);

long CountGdiObjects() {
    const DWORD reported = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    if (reported > 0) {
        return static_cast<long>(reported);
    }
    PROCESS_BASIC_INFORMATION basic{};
    if (NtQueryInformationProcess(GetCurrentProcess(), ProcessBasicInformation, &basic, sizeof basic, nullptr) != 0 ||
        basic.PebBaseAddress == nullptr) {
        return -1;
    }
    // PEB.GdiSharedHandleTable on x64; it stays null until gdi32 starts.
    constexpr size_t kGdiTableOffset = 0xF8;
    const auto* peb = reinterpret_cast<const char*>(basic.PebBaseAddress);
    const auto* table = *reinterpret_cast<const GdiTableEntry* const*>(peb + kGdiTableOffset);
    if (table == nullptr) {
        return -1;
    }
    constexpr int kTableSize = 0x10000;
    constexpr uint16_t kStockFlag = 0x80;
    // Wine's table is the process's own and leaves the owner 0.
    const auto self = static_cast<uint16_t>(GetCurrentProcessId());
    long count = 0;
    for (int i = 0; i < kTableSize; ++i) {
        const GdiTableEntry& entry = table[i];
        if (entry.type != 0 && (entry.unique & kStockFlag) == 0 && (entry.processId == 0 || entry.processId == self)) {
            ++count;
        }
    }
    return count;
}

BOOL CALLBACK CountChild(HWND, LPARAM count) {
    ++*reinterpret_cast<long*>(count);
    return TRUE;
}

BOOL CALLBACK CountOwnWindow(HWND hwnd, LPARAM count) {
    DWORD process = 0;
    GetWindowThreadProcessId(hwnd, &process);
    if (process == GetCurrentProcessId()) {
        ++*reinterpret_cast<long*>(count);
        EnumChildWindows(hwnd, CountChild, count);
    }
    return TRUE;
}

}  // namespace

ProcessHandles CountProcessHandles() {
    ProcessHandles handles;
    handles.kernel = CountKernelHandles();
    handles.gdi = CountGdiObjects();
    long windows = 0;
    if (EnumWindows(CountOwnWindow, reinterpret_cast<LPARAM>(&windows))) {
        handles.windows = windows;
    }
    return handles;
}

}  // namespace testing_support
