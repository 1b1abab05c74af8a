// The contact's status against a real HTTP server on 127.0.0.1.
#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <optional>
#include <thread>

#include "help/Help.h"
#include "tests/help/StatusServer.h"
#include "tests/support/WineTest.h"

namespace {

using help_testing::ServerMode;
using help_testing::StatusServer;

constexpr uint32_t kContact = 12345;

// A status picture: 13 bytes of header, then the two bytes that tell.
std::string Answer(unsigned char byte14, unsigned char byte15, size_t extraBytes = 10) {
    const char header[] = "GIF89a\x10\x00\x10\x00\x80\x00\x00";
    std::string body(header, sizeof header - 1);
    body.push_back(static_cast<char>(byte14));
    body.push_back(static_cast<char>(byte15));
    body.append(extraBytes, '\x3B');
    return body;
}

// Runs the fetch on a worker, as the help window does, and waits for it; a
// fetch still running after waitMs is left to end on its own.
std::optional<bool> FetchOnWorker(uint16_t port, DWORD timeoutMs, DWORD waitMs) {
    auto result = std::make_shared<std::atomic<int>>(-1);
    std::thread([result, port, timeoutMs] {
        *result = help::FetchContactStatus(kContact, help::StatusServer{"127.0.0.1", port}, timeoutMs) ? 1 : 0;
    }).detach();
    if (!testing_support::PumpUntil([&] { return *result != -1; }, waitMs)) {
        return std::nullopt;
    }
    return *result == 1;
}

TEST(ContactStatus, AnswerBytesDecideOnline) {
    struct Case {
        const char* name;
        std::string body;
        bool online;
    } cases[] = {
        {"online picture", Answer(0xB9, 0xE2), true},
        {"online in exactly 15 bytes", Answer(0xB9, 0xE2, 0), true},
        {"14 bytes", Answer(0xB9, 0xE2, 0).substr(0, 14), false},
        {"empty body", "", false},
        {"other 15th byte", Answer(0xB9, 0xE3), false},
        {"other 14th byte", Answer(0xB8, 0xE2), false},
        {"the two bytes one place early", Answer(0xB9, 0xE2).substr(1), false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        StatusServer server(ServerMode::Answer, c.body);
        ASSERT_TRUE(server.IsListening());
        EXPECT_EQ(help::FetchContactStatus(kContact, {"127.0.0.1", server.Port()}, 3000), c.online);
        EXPECT_EQ(server.RequestCount(), 1);
    }
}

TEST(ContactStatus, AsksForTheContactsStatusPicture) {
    StatusServer server(ServerMode::Answer, Answer(0xB9, 0xE2));
    ASSERT_TRUE(server.IsListening());
    help::FetchContactStatus(kContact, {"127.0.0.1", server.Port()}, 3000);
    const std::string head = server.LastRequestHead();
    EXPECT_EQ(head.substr(0, head.find("\r\n")), "GET /pa?p=2:12345:41 HTTP/1.1");
    EXPECT_NE(head.find("Host: 127.0.0.1:" + std::to_string(server.Port())), std::string::npos) << head;
}

TEST(ContactStatus, RefusedConnectionIsOffline) {
    EXPECT_EQ(FetchOnWorker(StatusServer::RefusingPort(), 3000, 10000), std::optional<bool>(false));
}

// WinHTTP's own limits are 30 s per read and more: only a deadline of our own
// ends these within the wait.
TEST(ContactStatus, ServerThatNeverAnswersIsOfflineWithinTheTimeout) {
    StatusServer server(ServerMode::Silent, "");
    ASSERT_TRUE(server.IsListening());
    EXPECT_EQ(FetchOnWorker(server.Port(), 500, 8000), std::optional<bool>(false));
    EXPECT_EQ(server.RequestCount(), 1);
}

// The online bytes come, but only 1.4 s after the 500 ms the fetch may take.
TEST(ContactStatus, AnswerTricklingPastTheDeadlineIsOffline) {
    StatusServer server(ServerMode::Trickle, Answer(0xB9, 0xE2));
    ASSERT_TRUE(server.IsListening());
    EXPECT_EQ(FetchOnWorker(server.Port(), 500, 8000), std::optional<bool>(false));
}

}  // namespace
