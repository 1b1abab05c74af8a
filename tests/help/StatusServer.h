// A tiny HTTP server on 127.0.0.1 inside the test exe, standing in for the
// messaging service's status host. Each connection gets the answer of the
// server's mode; requests are recorded.
#pragma once

#include <winsock2.h>
#include <windows.h>

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace help_testing {

enum class ServerMode {
    Answer,    // 200 with the body, then closes
    Silent,    // reads the request and never answers
    Trickle,   // headers at once, then the body one byte every 100 ms
};

class StatusServer {
public:
    StatusServer(ServerMode mode, std::string body);
    ~StatusServer();
    StatusServer(const StatusServer&) = delete;
    StatusServer& operator=(const StatusServer&) = delete;

    bool IsListening() const { return listener_ != INVALID_SOCKET; }
    uint16_t Port() const { return port_; }
    int RequestCount() const { return requestCount_; }
    // The first lines of the last request, up to the blank line.
    std::string LastRequestHead() const;

    // A loopback port on which nobody listens: connections are refused.
    static uint16_t RefusingPort();

private:
    void AcceptLoop();
    void Serve(SOCKET connection);

    ServerMode mode_;
    std::string body_;
    SOCKET listener_ = INVALID_SOCKET;
    uint16_t port_ = 0;
    HANDLE stopEvent_ = nullptr;
    std::atomic<int> requestCount_{0};
    mutable std::mutex mutex_;
    std::string lastRequestHead_;
    std::vector<SOCKET> heldConnections_;
    std::thread acceptThread_;
};

}  // namespace help_testing
