#include "app/SingleInstance.h"

#include "app/AppMessages.h"
#include "strip/Strip.h"

#include <cstdio>
#include <vector>

namespace app {

namespace {

constexpr const char* kPropFolderKey = "QuilloFolderKey";

struct Search {
    uint64_t key;
    HWND found;
};

BOOL CALLBACK MatchStrip(HWND hwnd, LPARAM lParam) {
    auto* search = reinterpret_cast<Search*>(lParam);
    char className[64] = {};
    GetClassNameA(hwnd, className, sizeof className);
    // Window properties are readable from other processes.
    if (lstrcmpA(className, strip::kStripClassName) == 0 &&
        reinterpret_cast<uint64_t>(GetPropA(hwnd, kPropFolderKey)) == search->key) {
        search->found = hwnd;
        return FALSE;
    }
    return TRUE;
}

}  // namespace

std::wstring ExeFolder() {
    std::vector<wchar_t> path(MAX_PATH);
    for (;;) {
        DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) {
            return std::wstring();
        }
        if (length < path.size()) {
            std::wstring folder(path.data(), length);
            size_t cut = folder.find_last_of(L"\\/");
            return cut == std::wstring::npos ? std::wstring() : folder.substr(0, cut);
        }
        path.resize(path.size() * 2);
    }
}

uint64_t FolderKey(std::wstring_view folder) {
    std::wstring upper(folder);
    while (!upper.empty() && (upper.back() == L'\\' || upper.back() == L'/')) {
        upper.pop_back();
    }
    if (!upper.empty()) {
        CharUpperBuffW(upper.data(), static_cast<DWORD>(upper.size()));
    }
    // FNV-1a: a mutex name may not hold "\", so the path goes in as a digest.
    uint64_t hash = 14695981039346656037ull;
    for (wchar_t c : upper) {
        hash = (hash ^ static_cast<uint16_t>(c)) * 1099511628211ull;
    }
    return hash;
}

std::wstring InstanceMutexName(std::wstring_view folder) {
    wchar_t name[64];
    swprintf(name, 64, L"Local\\Quillo-%016llx", static_cast<unsigned long long>(FolderKey(folder)));
    return name;
}

FolderInstance::FolderInstance(std::wstring_view folder)
    : key_(FolderKey(folder)), mutex_(CreateMutexW(nullptr, FALSE, InstanceMutexName(folder).c_str())) {
    // Without a mutex the strip still runs: better two strips than none.
    first_ = !mutex_ || GetLastError() != ERROR_ALREADY_EXISTS;
}

FolderInstance::~FolderInstance() {
    if (mutex_) {
        CloseHandle(mutex_);
    }
}

void FolderInstance::MarkStrip(HWND strip) const {
    SetPropA(strip, kPropFolderKey, reinterpret_cast<HANDLE>(key_));
}

HWND FindStripOfFolder(uint64_t folderKey) {
    Search search{folderKey, nullptr};
    EnumWindows(MatchStrip, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

bool FolderInstance::BringRunningStripToFront(DWORD timeoutMs) const {
    const DWORD start = GetTickCount();
    HWND running = FindStripOfFolder(key_);
    while (!running && GetTickCount() - start < timeoutMs) {
        Sleep(50);
        running = FindStripOfFolder(key_);
    }
    if (!running) {
        return false;
    }
    // This process was started by the user, so it may hand the foreground on.
    DWORD processId = 0;
    GetWindowThreadProcessId(running, &processId);
    AllowSetForegroundWindow(processId);
    return PostMessageA(running, WM_APP_SHOW_STRIP, 0, 0) != 0;
}

}  // namespace app
