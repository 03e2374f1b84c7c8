// The client's batch of uploads and the gzip of the files it sends, against
// real servers on 127.0.0.1.
#include <gtest/gtest.h>

#include <poll.h>
#include <sys/socket.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "platform/gzip.h"
#include "platform/http_client.h"
#include "platform/text_rules.h"
#include "tests/support/http_server.h"
#include "tests/support/raw_server.h"

namespace quendro {
namespace {

using test::HttpTestServer;
using test::RawServer;
using Clock = std::chrono::steady_clock;

// Lap-file-like text: lines of lane, time and flags, as a meet has thousands of.
std::string lapText(size_t lines) {
    std::string text;
    for (size_t i = 0; i < lines; ++i)
        text += std::to_string(i % 10) + "," + std::to_string(30 + i % 7) + ".2" +
                std::to_string(i % 10) + ",G,0,0,0,0,0,0\r\n";
    return text;
}

TEST(Gzip, BytesComeBackWholeAndTheSameBytesGiveTheSameFile) {
    std::string binary;
    for (int i = 0; i < 70000; ++i) binary += static_cast<char>((i * 7919) % 256);
    const std::string cases[] = {"", "a", lapText(3), lapText(5000), binary,
                                 std::string("\0\x1f\x8b\0", 4)};
    for (const std::string& bytes : cases) {
        std::string gzip = gzipBytes(bytes);
        ASSERT_GE(gzip.size(), 18u);
        // A gzip file of deflate, with no time in its header.
        EXPECT_EQ(gzip.substr(0, 3), "\x1f\x8b\x08");
        EXPECT_EQ(gzip.substr(4, 4), std::string(4, '\0'));
        EXPECT_EQ(gzipBytes(bytes), gzip);
        auto back = gunzipBytes(gzip, bytes.size());
        ASSERT_TRUE(back) << bytes.size();
        EXPECT_EQ(*back, bytes);
    }
    EXPECT_LT(gzipBytes(lapText(5000)).size(), lapText(5000).size() / 4);
    const std::string hardest = gzipBytes(lapText(5000), GzipEffort::Most);
    EXPECT_LE(hardest.size(), gzipBytes(lapText(5000)).size());
    EXPECT_EQ(*gunzipBytes(hardest, lapText(5000).size()), lapText(5000));
}

TEST(Gzip, UnpackingKeepsToItsCapAndRefusesWhatIsNoWholeFile) {
    const std::string text = lapText(200);
    const std::string gzip = gzipBytes(text);
    struct Case {
        const char* what;
        std::string bytes;
        size_t cap;
        bool whole;
    };
    const Case cases[] = {
        {"at the cap", gzip, text.size(), true},
        {"one byte past the cap", gzip, text.size() - 1, false},
        {"cut short", gzip.substr(0, gzip.size() - 1), text.size(), false},
        {"header alone", gzip.substr(0, 10), text.size(), false},
        {"nothing", "", 100, false},
        {"no gzip at all", text, text.size() * 2, false},
        {"two members", gzip + gzipBytes("x"), text.size() + 1, true},
        {"trailing bytes", gzip + "xx", text.size() * 2, false},
    };
    for (const Case& c : cases) {
        auto back = gunzipBytes(c.bytes, c.cap);
        EXPECT_EQ(back.has_value(), c.whole) << c.what;
    }
    EXPECT_EQ(*gunzipBytes(gzip + gzipBytes("x"), text.size() + 1), text + "x");
}

std::vector<Upload> numbered(const std::string& base, size_t count) {
    std::vector<Upload> uploads;
    for (size_t i = 0; i < count; ++i)
        uploads.push_back({base + "/swim/lap/r" + std::to_string(1000 + i) + ".txt",
                           lapText(1 + i % 40)});
    return uploads;
}

TEST(HttpUploads, EveryFileGetsItsOwnAnswerInOrderOverAFewKeptConnections) {
    HttpTestServer server;
    server.setLatency(std::chrono::milliseconds(50));  // a server some way off
    HttpClient http;
    const std::vector<Upload> uploads = numbered(server.base(), 64);
    auto start = Clock::now();
    std::vector<HttpAnswer> answers = http.putAll(uploads);
    auto took = Clock::now() - start;
    ASSERT_EQ(answers.size(), uploads.size());
    for (size_t i = 0; i < uploads.size(); ++i) {
        EXPECT_EQ(answers[i].status, 201) << i;
        EXPECT_FALSE(answers[i].storesGzip);
        EXPECT_EQ(server.putBody(uploads[i].url.substr(server.base().size())), uploads[i].bytes);
    }
    // Plain http: HTTP/1.1 connections, kept, kConnections of them at most and
    // busy together: about eight rounds of the latency rather than 64 (less
    // strictly held, for a machine busy with other work).
    EXPECT_LE(server.connectionCount(), HttpClient::kConnections);
    EXPECT_LE(server.mostAtOnce(), static_cast<long>(HttpClient::kConnections));
    EXPECT_GT(server.mostAtOnce(), 2);
    EXPECT_LT(took, std::chrono::milliseconds(64 * 50 / 2));
    // The single calls after it find a connection open.
    size_t before = server.connectionCount();
    EXPECT_EQ(http.put(server.base() + "/swim/x.txt", "x").status, 201);
    EXPECT_EQ(http.get(server.base() + "/swim/x.txt").status, 404);
    EXPECT_EQ(server.connectionCount(), before);
    EXPECT_TRUE(http.putAll({}).empty());
}

TEST(HttpUploads, ConsecutiveCallsOnSeveralThreadsShareTheClientsConnections) {
    HttpTestServer server;
    HttpClient http;
    for (int i = 0; i < 5; ++i) EXPECT_EQ(http.put(server.base() + "/a.txt", "a").status, 201);
    EXPECT_EQ(server.connectionCount(), 1u);
    std::vector<std::thread> threads;
    std::vector<long> statuses(4);
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&, t] {
            for (int i = 0; i < 20; ++i)
                statuses[t] = http.put(server.base() + "/t" + std::to_string(t) + ".txt",
                                       std::to_string(i)).status;
        });
    }
    for (auto& thread : threads) thread.join();
    for (long status : statuses) EXPECT_EQ(status, 201);
    for (int t = 0; t < 4; ++t) EXPECT_EQ(server.putBody("/t" + std::to_string(t) + ".txt"), "19");
    EXPECT_LE(server.connectionCount(), 5u);
}

TEST(HttpUploads, AFailingFileAmongOthersHasItsOwnAnswer) {
    HttpTestServer good;
    HttpTestServer failing;
    failing.answerPutWith(500);
    HttpClient http;
    std::vector<Upload> uploads = numbered(good.base(), 12);
    uploads[5].url = failing.base() + "/swim/lap/r1005.txt";
    uploads[9].url = "http://127.0.0.1:1/swim/lap/r1009.txt";  // nothing listens there
    uploads[10].url = "";                                      // no address at all
    std::vector<HttpAnswer> answers = http.putAll(uploads, 4);
    ASSERT_EQ(answers.size(), 12u);
    for (size_t i = 0; i < answers.size(); ++i) {
        if (i == 5) {
            EXPECT_EQ(answers[i].status, 500);
            EXPECT_FALSE(answers[i].ok());
        } else if (i == 9 || i == 10) {
            EXPECT_FALSE(answers[i].answered()) << i;
            EXPECT_NE(answers[i].failure, DownloadFailure::None) << i;
        } else {
            EXPECT_EQ(answers[i].status, 201) << i;
            EXPECT_EQ(good.putBody(uploads[i].url.substr(good.base().size())), uploads[i].bytes);
        }
    }
}

// What comes on a connection until it has been quiet for quiet ms.
std::string drain(int socket, int quiet) {
    std::string seen;
    char buffer[4096];
    for (;;) {
        pollfd p{socket, POLLIN, 0};
        if (::poll(&p, 1, quiet) <= 0) return seen;
        ssize_t n = ::recv(socket, buffer, sizeof buffer, 0);
        if (n <= 0) return seen;
        seen.append(buffer, static_cast<size_t>(n));
    }
}

// A kept connection that the server closes under the next upload (as an
// HTTP/2 server's GOAWAY does): the upload goes again, whole, on a new one.
TEST(HttpUploads, AnUploadOnAConnectionClosedUnderItGoesAgainWhole) {
    std::atomic<int> handled{0};
    RawServer server([&handled](RawServer&, int socket) {
        drain(socket, 200);  // the rest of the upload
        RawServer::send(socket, "HTTP/1.1 201 Created\r\nContent-Length: 0\r\n\r\n");
        if (++handled == 1) drain(socket, 2000);  // the next request comes, and is dropped
    });
    HttpClient http;
    const std::string bytes = lapText(200);
    EXPECT_EQ(http.put(server.base() + "/swim/lap/r0001.txt", bytes).status, 201);
    HttpAnswer again = http.put(server.base() + "/swim/lap/r0002.txt", bytes);
    EXPECT_EQ(again.status, 201) << toUtf8(failureWord(again));
    EXPECT_EQ(server.connections(), 2);
}

TEST(HttpUploads, AStalledServerIsGivenUpAsASinglePutIs) {
    RawServer silent([](RawServer& server, int) { server.holdSilent(); });
    HttpClient::Limits limits;
    limits.stallSeconds = 1;
    limits.transferSeconds = 20;
    HttpClient http(limits);
    auto start = Clock::now();
    std::vector<HttpAnswer> answers = http.putAll(numbered(silent.base(), 3));
    EXPECT_LT(Clock::now() - start, std::chrono::seconds(6));
    for (const HttpAnswer& answer : answers) EXPECT_FALSE(answer.answered());
}

TEST(HttpUploads, ACancelEndsTheRunningUploadsAndStartsNoMore) {
    RawServer silent([](RawServer& server, int) { server.holdSilent(); });
    HttpClient http;
    std::atomic<bool> cancel{false};
    http.setCancel(&cancel);
    std::thread stopper([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        cancel = true;
    });
    auto start = Clock::now();
    std::vector<HttpAnswer> answers = http.putAll(numbered(silent.base(), 40), 4);
    stopper.join();
    EXPECT_LT(Clock::now() - start, std::chrono::milliseconds(2500));
    ASSERT_EQ(answers.size(), 40u);
    for (const HttpAnswer& answer : answers) EXPECT_FALSE(answer.answered());
    // Those never started say so; at most the first few ever reached the server.
    EXPECT_EQ(answers.back().failure, DownloadFailure::Cancelled);
    EXPECT_LE(silent.connections(), static_cast<int>(HttpClient::kConnections));

    // Cancelled before the start: nothing reaches the server.
    HttpTestServer server;
    std::vector<HttpAnswer> none = http.putAll(numbered(server.base(), 5));
    for (const HttpAnswer& answer : none) EXPECT_EQ(answer.failure, DownloadFailure::Cancelled);
    EXPECT_TRUE(server.requests().empty());
}

}  // namespace
}  // namespace quendro
