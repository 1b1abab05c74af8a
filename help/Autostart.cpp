// `OfferAutostart`: registers the program under a Run key when it is not yet
// registered from where it runs now.
#include "help/Help.h"
#include "memo/Memo.h"

#include <optional>
#include <vector>

namespace help {

namespace {

constexpr const char* kGbkRunKeyPath = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr const char* kRunValueName = "notestrip";
constexpr const char* kGbkQuestion = "是否将备忘条设置为开机启动？";
constexpr const char* kGbkQuestionTitle = "信息：";

class RegistryKey {
public:
    RegistryKey() = default;
    ~RegistryKey() {
        if (key_) {
            RegCloseKey(key_);
        }
    }
    RegistryKey(const RegistryKey&) = delete;
    RegistryKey& operator=(const RegistryKey&) = delete;
    HKEY* Out() { return &key_; }
    HKEY Get() const { return key_; }

private:
    HKEY key_ = nullptr;
};

// The value as text; nullopt when there is none. A value of another type
// than text reads as "", which names no program.
std::optional<std::string> ReadRunValue(const RunKey& place, const std::string& gbkName) {
    RegistryKey key;
    if (RegOpenKeyExA(place.Root, place.GbkKeyPath.c_str(), 0, KEY_QUERY_VALUE, key.Out()) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    DWORD type = 0;
    DWORD size = 0;
    if (RegQueryValueExA(key.Get(), gbkName.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    if (type != REG_SZ && type != REG_EXPAND_SZ) {
        return std::string();
    }
    std::vector<char> bytes(size + 1, '\0');
    if (RegQueryValueExA(key.Get(), gbkName.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(bytes.data()),
                         &size) != ERROR_SUCCESS) {
        return std::string();
    }
    // The stored text need not end in a zero: take it up to the first one.
    std::string text(bytes.data(), size);
    return text.substr(0, text.find('\0'));
}

bool WriteRunValue(const RunKey& place, const std::string& gbkName, const std::string& gbkText) {
    RegistryKey key;
    if (RegCreateKeyExA(place.Root, place.GbkKeyPath.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_SET_VALUE,
                        nullptr, key.Out(), nullptr) != ERROR_SUCCESS) {
        return false;
    }
    return RegSetValueExA(key.Get(), gbkName.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(gbkText.c_str()),
                          static_cast<DWORD>(gbkText.size() + 1)) == ERROR_SUCCESS;
}

void DeleteRunValue(const RunKey& place, const std::string& gbkName) {
    RegistryKey key;
    if (RegOpenKeyExA(place.Root, place.GbkKeyPath.c_str(), 0, KEY_SET_VALUE, key.Out()) == ERROR_SUCCESS) {
        RegDeleteValueA(key.Get(), gbkName.c_str());
    }
}

// Byte for byte: a path that differs in letter case is another place.
bool NamesProgram(const std::optional<std::string>& value, const std::string& gbkProgramPath) {
    return value && (*value == gbkProgramPath || *value == "\"" + gbkProgramPath + "\"");
}

}  // namespace

AutostartPlaces DefaultAutostartPlaces() {
    return AutostartPlaces{
        .Machine = {HKEY_LOCAL_MACHINE, kGbkRunKeyPath},
        .User = {HKEY_CURRENT_USER, kGbkRunKeyPath},
        .GbkValueName = kRunValueName,
        .GbkProgramPath = memo::ExePath(),
    };
}

std::string RunValueText(std::string_view gbkProgramPath) {
    std::string text(gbkProgramPath);
    // A blank is a single byte and never a trail byte of GBK.
    return text.find(' ') == std::string::npos ? text : "\"" + text + "\"";
}

bool AskAutostartQuestion() {
    return MessageBoxA(nullptr, kGbkQuestion, kGbkQuestionTitle, MB_YESNO | MB_ICONQUESTION | MB_TASKMODAL) == IDYES;
}

void OfferAutostart(const AutostartPlaces& places, const std::function<bool()>& askYes) {
    if (places.GbkProgramPath.empty()) {
        return;
    }
    const std::optional<std::string> machineValue = ReadRunValue(places.Machine, places.GbkValueName);
    const std::optional<std::string> userValue = ReadRunValue(places.User, places.GbkValueName);
    if (NamesProgram(machineValue, places.GbkProgramPath) || NamesProgram(userValue, places.GbkProgramPath)) {
        return;
    }
    if (!askYes()) {
        // A value naming another place would start an old copy at logon.
        if (machineValue) {
            DeleteRunValue(places.Machine, places.GbkValueName);
        }
        if (userValue) {
            DeleteRunValue(places.User, places.GbkValueName);
        }
        return;
    }
    const std::string runText = RunValueText(places.GbkProgramPath);
    if (WriteRunValue(places.Machine, places.GbkValueName, runText)) {
        if (userValue) {
            DeleteRunValue(places.User, places.GbkValueName);
        }
        return;
    }
    // Refused machine-wide: registering for this user still starts the
    // program at this user's logon, and the question stops coming back.
    WriteRunValue(places.User, places.GbkValueName, runText);
}

}  // namespace help
