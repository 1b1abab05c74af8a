// `FetchContactStatus`: the messaging service's status picture for the contact,
// fetched with WinHTTP under one deadline for the whole exchange.
#include "help/Help.h"

#include <winhttp.h>

#include <algorithm>
#include <array>
#include <string>

namespace help {

namespace {

// The online answer is told by its 14th and 15th bytes; nothing after them counts.
constexpr size_t kAnswerBytesNeeded = 15;
constexpr unsigned char kOnlineByte14 = 0xB9;
constexpr unsigned char kOnlineByte15 = 0xE2;

class InternetHandle {
public:
    explicit InternetHandle(HINTERNET handle) : handle_(handle) {}
    ~InternetHandle() {
        if (handle_) {
            WinHttpCloseHandle(handle_);
        }
    }
    InternetHandle(const InternetHandle&) = delete;
    InternetHandle& operator=(const InternetHandle&) = delete;
    HINTERNET Get() const { return handle_; }
    explicit operator bool() const { return handle_ != nullptr; }

private:
    HINTERNET handle_;
};

std::wstring WideFromAscii(const std::string& text) { return std::wstring(text.begin(), text.end()); }

class Deadline {
public:
    explicit Deadline(DWORD timeoutMs) : end_(GetTickCount64() + timeoutMs) {}
    int RemainingMs() const {
        ULONGLONG now = GetTickCount64();
        return now >= end_ ? 0 : static_cast<int>(end_ - now);
    }

private:
    ULONGLONG end_;
};

// WinHTTP's timeouts hold per step (resolve, connect, send, each read), so
// each step only gets what is left of the whole. Nothing left ends the
// exchange: WinHTTP would take a timeout of 0 for no limit at all.
bool LimitNextSteps(HINTERNET request, const Deadline& deadline) {
    int remainingMs = deadline.RemainingMs();
    // Waiting for the response's headers has a limit of its own (90 s by
    // default) that the four general ones leave alone.
    DWORD headersMs = static_cast<DWORD>(remainingMs);
    return remainingMs > 0 && WinHttpSetTimeouts(request, remainingMs, remainingMs, remainingMs, remainingMs) &&
           WinHttpSetOption(request, WINHTTP_OPTION_RECEIVE_RESPONSE_TIMEOUT, &headersMs, sizeof headersMs);
}

}  // namespace

bool IsOnlineAnswer(std::span<const unsigned char> body) {
    return body.size() >= kAnswerBytesNeeded && body[13] == kOnlineByte14 && body[14] == kOnlineByte15;
}

bool FetchContactStatus(uint32_t contactNumber, const StatusServer& server, DWORD timeoutMs) {
    const Deadline deadline(timeoutMs);
    InternetHandle session(WinHttpOpen(L"Quillo", WINHTTP_ACCESS_TYPE_DEFAULT_PROXY, WINHTTP_NO_PROXY_NAME,
                                       WINHTTP_NO_PROXY_BYPASS, 0));
    if (!session) {
        return false;
    }
    InternetHandle connection(WinHttpConnect(session.Get(), WideFromAscii(server.Host).c_str(), server.Port, 0));
    if (!connection) {
        return false;
    }
    const std::wstring path = L"/pa?p=2:" + std::to_wstring(contactNumber) + L":41";
    InternetHandle request(WinHttpOpenRequest(connection.Get(), L"GET", path.c_str(), nullptr, WINHTTP_NO_REFERER,
                                              WINHTTP_DEFAULT_ACCEPT_TYPES, 0));
    if (!request || !LimitNextSteps(request.Get(), deadline) ||
        !WinHttpSendRequest(request.Get(), WINHTTP_NO_ADDITIONAL_HEADERS, 0, WINHTTP_NO_REQUEST_DATA, 0, 0, 0) ||
        !LimitNextSteps(request.Get(), deadline) || !WinHttpReceiveResponse(request.Get(), nullptr)) {
        return false;
    }
    std::array<unsigned char, kAnswerBytesNeeded> answer{};
    size_t received = 0;
    // A read may wait until it has every byte asked for, whatever the
    // deadline: ask only for what has already arrived.
    while (received < answer.size()) {
        DWORD available = 0;
        if (!LimitNextSteps(request.Get(), deadline) || !WinHttpQueryDataAvailable(request.Get(), &available) ||
            available == 0) {
            break;
        }
        DWORD wanted = std::min(available, static_cast<DWORD>(answer.size() - received));
        DWORD read = 0;
        if (!WinHttpReadData(request.Get(), answer.data() + received, wanted, &read) || read == 0) {
            break;
        }
        received += read;
    }
    return IsOnlineAnswer(std::span(answer.data(), received));
}

}  // namespace help
