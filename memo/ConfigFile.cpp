// "配置.dpk" through the Windows profile functions.
#include "memo/Memo.h"

#include <windows.h>

#include <vector>

namespace memo {

namespace {

constexpr const char* kGbkSection = "各项配置";
constexpr const char* kGbkFileName = "配置.dpk";
constexpr DWORD kFirstReadBytes = 10240;
// A value larger than this is not a note list any more; stop growing there.
constexpr DWORD kMaxReadBytes = 256u * 1024 * 1024;

std::string ExeFolder() {
    std::string gbkPath = ExePath();
    // strrchr would also hit a 0x5C trail byte; walk by character.
    size_t lastSeparator = std::string::npos;
    for (size_t pos = 0; pos < gbkPath.size(); pos += GbkCharLength(gbkPath, pos)) {
        if (gbkPath[pos] == '\\' || gbkPath[pos] == '/') {
            lastSeparator = pos;
        }
    }
    return lastSeparator == std::string::npos ? std::string() : gbkPath.substr(0, lastSeparator);
}

class FileHandle {
public:
    explicit FileHandle(HANDLE handle) : handle_(handle) {}
    ~FileHandle() {
        if (handle_ != INVALID_HANDLE_VALUE) {
            CloseHandle(handle_);
        }
    }
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
    HANDLE Get() const { return handle_; }
    bool IsValid() const { return handle_ != INVALID_HANDLE_VALUE; }

private:
    HANDLE handle_;
};

enum class ReadResult { Ok, Missing, Failed };

ReadResult ReadWholeFile(const std::string& gbkPath, std::string& bytes) {
    FileHandle file(CreateFileA(gbkPath.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.IsValid()) {
        DWORD error = GetLastError();
        return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? ReadResult::Missing
                                                                             : ReadResult::Failed;
    }
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file.Get(), &size) || size.QuadPart > kMaxReadBytes) {
        return ReadResult::Failed;
    }
    bytes.resize(static_cast<size_t>(size.QuadPart));
    DWORD done = 0;
    if (!bytes.empty() && (!ReadFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &done, nullptr) ||
                           done != bytes.size())) {
        return ReadResult::Failed;
    }
    return ReadResult::Ok;
}

// Fresh bytes under a fresh modification time, so no profile cache can take
// the copy for an older file of the same name.
bool WriteWholeFile(const std::string& gbkPath, const std::string& bytes) {
    FileHandle file(CreateFileA(gbkPath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                nullptr));
    if (!file.IsValid()) {
        return false;
    }
    DWORD done = 0;
    return bytes.empty() ||
           (WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &done, nullptr) &&
            done == bytes.size());
}

bool FlushToDisk(const std::string& gbkPath) {
    FileHandle file(CreateFileA(gbkPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    return file.IsValid() && FlushFileBuffers(file.Get());
}

// The profile functions may keep a parsed copy keyed by the file's write time,
// which a coarse clock can repeat across two quick replacements. Dropping the
// copy (the documented all-null flush) makes the next call read the disk.
void ForgetCachedCopy(const std::string& gbkPath) {
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, gbkPath.c_str());
}

std::wstring WideFromGbk(std::string_view gbkText) {
    if (gbkText.empty()) {
        return std::wstring();
    }
    int length = MultiByteToWideChar(936, 0, gbkText.data(), static_cast<int>(gbkText.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(936, 0, gbkText.data(), static_cast<int>(gbkText.size()), wide.data(), length);
    return wide;
}

// The ANSI writer passes the value through a counted UTF-16 string that Wine
// caps at 32,767 characters, writing a stub instead of a long note list. The
// wide writer has no such cap and still stores an ANSI file as code page 936.
bool WriteProfileValue(const char* gbkKey, std::string_view gbkValue, const std::string& gbkPath) {
    std::wstring section = WideFromGbk(kGbkSection);
    std::wstring key = WideFromGbk(gbkKey);
    std::wstring value = WideFromGbk(gbkValue);
    std::wstring path = WideFromGbk(gbkPath);
    return WritePrivateProfileStringW(section.c_str(), key.c_str(), value.c_str(), path.c_str());
}

}  // namespace

std::string ExePath() {
    std::vector<char> path(MAX_PATH);
    for (;;) {
        DWORD length = GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) {
            return std::string();
        }
        if (length < path.size()) {
            return std::string(path.data(), length);
        }
        path.resize(path.size() * 2);
    }
}

std::string ConfigFile::Path() const {
    std::string folder = gbkFolder_.empty() ? ExeFolder() : gbkFolder_;
    return folder + "\\" + kGbkFileName;
}

std::string ConfigFile::ReadKey(const char* gbkKey) const {
    std::string path = Path();
    ForgetCachedCopy(path);
    std::vector<char> buffer(kFirstReadBytes);
    for (;;) {
        DWORD length = GetPrivateProfileStringA(kGbkSection, gbkKey, "", buffer.data(),
                                                static_cast<DWORD>(buffer.size()), path.c_str());
        // A value that filled the buffer may have been cut: read again with room to spare.
        if (length + 1 < buffer.size() || buffer.size() >= kMaxReadBytes) {
            return std::string(buffer.data(), length);
        }
        buffer.resize(buffer.size() * 4);
    }
}

int32_t ConfigFile::ReadNumber(const char* gbkKey) const { return memo::ReadNumber(ReadKey(gbkKey)); }

int32_t ConfigFile::ReadStripTextColor() const {
    int32_t color = ReadNumber(kGbkKeyTextColor);
    if (ReadKey(kGbkKeyTextColor).empty()) {
        color = kWhite;
    }
    return color;
}

bool ConfigFile::WriteKey(const char* gbkKey, std::string_view gbkValue) const {
    return WriteKeys({{gbkKey, std::string(gbkValue)}});
}

bool ConfigFile::WriteKeys(std::initializer_list<std::pair<const char*, std::string>> gbkValues) const {
    std::string path = Path();
    std::string copyPath = path + ".new";
    // Windows refuses to replace a read-only file; Wine would replace it anyway.
    DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)) {
        return false;
    }
    std::string original;
    ReadResult read = ReadWholeFile(path, original);
    if (read == ReadResult::Failed) {
        return false;
    }
    // The copy starts as the current file (or as nothing when there is none);
    // only the copy is edited, then it takes the original's place in one step.
    if (!WriteWholeFile(copyPath, original)) {
        DeleteFileA(copyPath.c_str());
        return false;
    }
    ForgetCachedCopy(copyPath);
    bool written = true;
    for (const auto& [gbkKey, gbkValue] : gbkValues) {
        written = written && WriteProfileValue(gbkKey, gbkValue, copyPath);
    }
    written = written && FlushToDisk(copyPath) &&
              MoveFileExA(copyPath.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
    if (!written) {
        DeleteFileA(copyPath.c_str());
    }
    return written;
}

bool ConfigFile::WriteNumber(const char* gbkKey, int32_t value) const {
    return WriteKey(gbkKey, NumberText(value));
}

}  // namespace memo
