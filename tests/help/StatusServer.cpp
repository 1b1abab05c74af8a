#include "tests/help/StatusServer.h"

namespace help_testing {

namespace {

constexpr DWORD kTrickleStepMs = 100;
constexpr int kRequestReadTimeoutMs = 5000;
constexpr size_t kMaxRequestBytes = 16384;

class WinsockStart {
public:
    WinsockStart() {
        WSADATA data;
        WSAStartup(MAKEWORD(2, 2), &data);
    }
};

void StartWinsock() { static WinsockStart started; }

SOCKET ListenOnLoopback(uint16_t& port) {
    StartWinsock();
    SOCKET listener = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (listener == INVALID_SOCKET) {
        return listener;
    }
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = 0;
    int length = sizeof address;
    if (bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 || listen(listener, 8) != 0 ||
        getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        closesocket(listener);
        return INVALID_SOCKET;
    }
    port = ntohs(address.sin_port);
    return listener;
}

bool SendAll(SOCKET connection, const std::string& bytes) {
    size_t sent = 0;
    while (sent < bytes.size()) {
        int done = send(connection, bytes.data() + sent, static_cast<int>(bytes.size() - sent), 0);
        if (done <= 0) {
            return false;
        }
        sent += static_cast<size_t>(done);
    }
    return true;
}

std::string Headers(size_t bodyBytes) {
    return "HTTP/1.1 200 OK\r\nContent-Type: image/gif\r\nContent-Length: " + std::to_string(bodyBytes) +
           "\r\nConnection: close\r\n\r\n";
}

}  // namespace

StatusServer::StatusServer(ServerMode mode, std::string body) : mode_(mode), body_(std::move(body)) {
    stopEvent_ = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    listener_ = ListenOnLoopback(port_);
    if (listener_ != INVALID_SOCKET) {
        acceptThread_ = std::thread([this] { AcceptLoop(); });
    }
}

StatusServer::~StatusServer() {
    SetEvent(stopEvent_);
    // Closing the listener ends the accept that the loop is waiting in.
    if (listener_ != INVALID_SOCKET) {
        closesocket(listener_);
    }
    if (acceptThread_.joinable()) {
        acceptThread_.join();
    }
    for (SOCKET held : heldConnections_) {
        closesocket(held);
    }
    CloseHandle(stopEvent_);
}

std::string StatusServer::LastRequestHead() const {
    std::lock_guard lock(mutex_);
    return lastRequestHead_;
}

uint16_t StatusServer::RefusingPort() {
    uint16_t port = 0;
    SOCKET listener = ListenOnLoopback(port);
    closesocket(listener);
    return port;
}

void StatusServer::AcceptLoop() {
    for (;;) {
        SOCKET connection = accept(listener_, nullptr, nullptr);
        if (connection == INVALID_SOCKET) {
            return;
        }
        Serve(connection);
    }
}

void StatusServer::Serve(SOCKET connection) {
    DWORD readTimeoutMs = kRequestReadTimeoutMs;
    setsockopt(connection, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&readTimeoutMs),
               sizeof readTimeoutMs);
    std::string request;
    char buffer[2048];
    while (request.find("\r\n\r\n") == std::string::npos && request.size() < kMaxRequestBytes) {
        int received = recv(connection, buffer, sizeof buffer, 0);
        if (received <= 0) {
            break;
        }
        request.append(buffer, static_cast<size_t>(received));
    }
    {
        std::lock_guard lock(mutex_);
        lastRequestHead_ = request.substr(0, request.find("\r\n\r\n"));
    }
    ++requestCount_;
    switch (mode_) {
    case ServerMode::Answer:
        SendAll(connection, Headers(body_.size()) + body_);
        shutdown(connection, SD_SEND);
        closesocket(connection);
        return;
    case ServerMode::Silent:
        heldConnections_.push_back(connection);
        return;
    case ServerMode::Trickle:
        if (SendAll(connection, Headers(body_.size()))) {
            for (char byte : body_) {
                if (WaitForSingleObject(stopEvent_, kTrickleStepMs) == WAIT_OBJECT_0 ||
                    !SendAll(connection, std::string(1, byte))) {
                    break;
                }
            }
        }
        closesocket(connection);
        return;
    }
}

}  // namespace help_testing
