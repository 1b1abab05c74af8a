// One running strip per folder: two strips on one "配置.dpk" would overwrite
// each other's notes, while copies in other folders each have their own file.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <string_view>

namespace app {

// The folder of the running exe, without a trailing separator.
std::wstring ExeFolder();

// Equal for two spellings of one folder that differ only in letter case.
uint64_t FolderKey(std::wstring_view folder);
std::wstring InstanceMutexName(std::wstring_view folder);

// Holds the folder's mutex for as long as it lives.
class FolderInstance {
public:
    explicit FolderInstance(std::wstring_view folder);
    ~FolderInstance();
    FolderInstance(const FolderInstance&) = delete;
    FolderInstance& operator=(const FolderInstance&) = delete;

    // False when a strip of the same folder already runs.
    bool IsFirst() const { return first_; }
    // Lets a later start find this folder's strip window.
    void MarkStrip(HWND strip) const;
    // Asks the folder's running strip to come to the front; waits up to
    // `timeoutMs` for it to appear when it is still being built.
    bool BringRunningStripToFront(DWORD timeoutMs) const;

private:
    uint64_t key_;
    HANDLE mutex_;
    bool first_;
};

// The strip window marked for `folderKey`, nullptr when there is none.
HWND FindStripOfFolder(uint64_t folderKey);

}  // namespace app
