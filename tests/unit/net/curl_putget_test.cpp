// Request/answer calls through the worker against a loopback server: answers, error pages,
// transfer errors, requests given up on that must neither hand their outcome to the next
// caller nor hold the worker, callers on several threads, and a prompt shutdown with a request
// in flight. (A server that hangs is a port that never answers: the test server's library
// shows races under TSan while it serves two connections at once.)
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "client_fixture.h"
#include "loopback_server.h"
#include "net/curl_util.h"
#include "silent_server.h"

namespace {

using Clock = std::chrono::steady_clock;

class PutGetTest : public ClientTest {
protected:
    testutil::LoopbackServer m_server;
};

TEST_F(PutGetTest, AnswersAndErrorTexts) {
    CCurl_Util client;
    struct {
        std::string path;
        bool ok;
        std::string answer;
    } cases[] = {
        {"/echo", true, "echo:<q>1</q>"},
        {"/page500", false, "Bad query\r\nnear \"FORM\"\r\n"},
        {"/plain500", false, "Known Error From Remote Server!"},
        {"/missing", false, "Known Error From Remote Server!"},  // 404, no page at all
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        std::string answer;
        EXPECT_EQ(client.HttpPutGet(50, false, m_server.Url() + c.path, "<q>1</q>", &answer), c.ok);
        EXPECT_EQ(answer, c.answer);
    }
}

TEST_F(PutGetTest, RefusedConnectionGivesLibcurlsText) {
    int freePort;
    {
        testutil::LoopbackServer gone;
        freePort = gone.Port();
    }
    CCurl_Util client;
    std::string answer;
    EXPECT_FALSE(client.HttpPutGet(
        50, false, "http://127.0.0.1:" + std::to_string(freePort) + "/echo", "x", &answer));
    EXPECT_EQ(answer, curl_easy_strerror(CURLE_COULDNT_CONNECT));
}

// A request given up on while in flight: its outcome (here the abort of its transfer) never
// reaches the callers after it.
TEST_F(PutGetTest, GivenUpRequestsOutcomeIsNotHandedToTheNextCaller) {
    testutil::SilentServer silent;
    CCurl_Util client;
    std::string answer;
    const auto start = Clock::now();
    // Waits 3 x 100 ms.
    EXPECT_FALSE(client.HttpPutGet(3, false, silent.BaseUrl() + "/echo", "first", &answer));
    const auto waited = Clock::now() - start;
    EXPECT_EQ(answer, "timeout");
    EXPECT_GE(waited, std::chrono::milliseconds(290));
    EXPECT_LT(waited, std::chrono::milliseconds(900));

    // Queued while the worker may still be on the first transfer.
    EXPECT_TRUE(client.HttpPutGet(50, false, m_server.Url() + "/echo", "second", &answer));
    EXPECT_EQ(answer, "echo:second");
    EXPECT_TRUE(client.HttpPutGet(50, false, m_server.Url() + "/echo", "third", &answer));
    EXPECT_EQ(answer, "echo:third");
}

// libcurl's limit for a request is its time-out in seconds, ten times its caller's wait. A
// hung transfer whose caller gave up is aborted, so the worker is free for the next request:
// that one gets its real answer within a wait shorter than what was left of the first
// transfer's limit.
TEST_F(PutGetTest, HungRequestGivenUpDoesNotHoldTheNextOne) {
    testutil::SilentServer hung;
    CCurl_Util client;
    std::string answer;
    // Waits 5 x 100 ms; libcurl would let the transfer run for 5 s.
    EXPECT_FALSE(client.HttpPutGet(5, false, hung.BaseUrl() + "/echo", "hung", &answer));
    EXPECT_EQ(answer, "timeout");
    // Waits 3 s, ending well before the first transfer's 5 s would.
    EXPECT_TRUE(client.HttpPutGet(30, false, m_server.Url() + "/echo", "next", &answer));
    EXPECT_EQ(answer, "echo:next");
}

TEST_F(PutGetTest, RequestGivenUpBeforeItsTurnIsNotSent) {
    CCurl_Util client;
    std::thread slow([&] {
        std::string answer;
        client.HttpPutGet(50, false, m_server.Url() + "/slow?ms=800", "busy", &answer);
        EXPECT_EQ(answer, "echo:busy");
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(200));  // the worker is busy now
    std::string answer;
    EXPECT_FALSE(client.HttpPutGet(1, false, m_server.Url() + "/echo", "abandoned", &answer));
    EXPECT_EQ(answer, "timeout");
    slow.join();
    EXPECT_TRUE(client.HttpPutGet(50, false, m_server.Url() + "/echo", "next", &answer));
    EXPECT_EQ(answer, "echo:next");
    int echoes = 0;
    for (const auto& path : m_server.Requests()) echoes += path == "/echo";
    EXPECT_EQ(echoes, 1);  // only "next"
}

TEST_F(PutGetTest, CallersOnSeveralThreadsEachGetTheirOwnAnswer) {
    CCurl_Util client;
    std::vector<std::thread> callers;
    std::vector<int> wrong(4, 0);
    for (int t = 0; t < 4; ++t) {
        callers.emplace_back([&, t] {
            for (int i = 0; i < 25; ++i) {
                const std::string body = std::to_string(t) + "-" + std::to_string(i);
                std::string answer;
                if (!client.HttpPutGet(100, false, m_server.Url() + "/echo", body, &answer) ||
                    answer != "echo:" + body)
                    ++wrong[t];
            }
        });
    }
    for (auto& c : callers) c.join();
    EXPECT_EQ(wrong, std::vector<int>(4, 0));
}

TEST_F(PutGetTest, DestructionDoesNotWaitOutATransferInFlight) {
    auto client = std::make_unique<CCurl_Util>();
    std::string answer;
    client->HttpPutGet(2, false, m_server.Url() + "/slow?ms=2500", "x", &answer);
    const auto start = Clock::now();
    client.reset();
    EXPECT_LT(Clock::now() - start, std::chrono::milliseconds(1500));
}

}  // namespace
