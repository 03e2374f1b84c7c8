// Downloads from servers that misbehave: every ending is a failure that says
// what happened, within the limits, and never a body.
#include <gtest/gtest.h>

#include <algorithm>
#include <thread>

#include <chrono>
#include <functional>

#include "platform/curl_transfer.h"
#include "platform/http_client.h"
#include "platform/text_rules.h"
#include "tests/support/http_server.h"
#include "tests/support/raw_server.h"
#include "tests/support/test_machine.h"

namespace quendro {
namespace {

using test::HttpTestServer;
using test::RawServer;
using Clock = std::chrono::steady_clock;

// Short limits, so that a stall is seen within two seconds.
CurlTransfer::Limits quickLimits() {
    CurlTransfer::Limits limits;
    limits.connectSeconds = 5;
    limits.transferSeconds = 20;
    limits.stallSeconds = 2;
    limits.maxBodyBytes = 1 << 20;
    return limits;
}

struct HttpCase {
    const char* name;
    std::function<void(HttpTestServer&)> setUp;
    const char* path;
    DownloadFailure failure;
    long status;
};

// A chain of redirects on the host: /r1.txt to /r2.txt and so on, the last to /a.txt.
void redirectChain(HttpTestServer& s, int redirects) {
    for (int k = 1; k <= redirects; ++k) {
        s.redirect("/r" + std::to_string(k) + ".txt",
                   k == redirects ? "/a.txt" : "/r" + std::to_string(k + 1) + ".txt");
    }
    s.serve("/a.txt", "body");
}

// Each limit of the network is held from both sides: a row at it and one just past it.
TEST(HostileServer, ErrorStatusesAndRedirectsAreFailures) {
    const HttpCase cases[] = {
        {"found", [](HttpTestServer& s) { s.serve("/a.txt", "body"); }, "/a.txt",
         DownloadFailure::None, 200},
        {"not found", [](HttpTestServer&) {}, "/none.txt", DownloadFailure::ErrorStatus, 404},
        {"server error", [](HttpTestServer& s) { s.serve("/a.txt", "trouble", 500); }, "/a.txt",
         DownloadFailure::ErrorStatus, 500},
        {"forbidden", [](HttpTestServer& s) { s.serve("/a.txt", "no", 403); }, "/a.txt",
         DownloadFailure::ErrorStatus, 403},
        // The error statuses begin at 400; the one before is no body either.
        {"bad request", [](HttpTestServer& s) { s.serve("/a.txt", "no", 400); }, "/a.txt",
         DownloadFailure::ErrorStatus, 400},
        {"last of the 3xx", [](HttpTestServer& s) { s.serve("/a.txt", "no", 399); }, "/a.txt",
         DownloadFailure::BadRedirect, 399},
        // Five redirects on the host are followed; a sixth is one too many.
        {"five redirects", [](HttpTestServer& s) { redirectChain(s, 5); }, "/r1.txt",
         DownloadFailure::None, 200},
        {"six redirects", [](HttpTestServer& s) { redirectChain(s, 6); }, "/r1.txt",
         DownloadFailure::BadRedirect, 302},
        {"same host redirect",
         [](HttpTestServer& s) {
             s.redirect("/old.txt", "/a.txt");
             s.serve("/a.txt", "body");
         },
         "/old.txt", DownloadFailure::None, 200},
        {"other host redirect",
         [](HttpTestServer& s) { s.redirect("/old.txt", "http://localhost:1/a.txt"); }, "/old.txt",
         DownloadFailure::BadRedirect, 302},
        {"other scheme redirect",
         [](HttpTestServer& s) { s.redirect("/old.txt", "ftp://127.0.0.1/a.txt"); }, "/old.txt",
         DownloadFailure::BadRedirect, 302},
        {"redirect loop",
         [](HttpTestServer& s) {
             s.redirect("/a.txt", "/b.txt");
             s.redirect("/b.txt", "/a.txt");
         },
         "/a.txt", DownloadFailure::BadRedirect, 302},
    };
    test::TestMachine m;
    for (const HttpCase& c : cases) {
        SCOPED_TRACE(c.name);
        HttpTestServer server;
        c.setUp(server);
        CurlTransfer inet(m.files(), quickLimits());
        std::u16string url = fromUtf8(server.base() + c.path);
        Download result = inet.download(url);
        EXPECT_EQ(result.failure, c.failure);
        EXPECT_EQ(result.status, c.status);
        // openUrl gives a body only when the download succeeded.
        EXPECT_EQ(inet.openUrl(url).has_value(), c.failure == DownloadFailure::None);
        EXPECT_EQ(result.body, result.ok() ? "body" : "");
        EXPECT_EQ(downloadFailureWord(result).empty(), result.ok());
        // A redirect loop is cut after a few rounds.
        EXPECT_LE(server.requests().size(), 14u);
    }
}

struct RawCase {
    const char* name;
    RawServer::Behaviour behaviour;
    DownloadFailure failure;
};

TEST(HostileServer, SilenceCutsAndEndlessBodiesEndWithinTheLimits) {
    const RawCase cases[] = {
        {"accepts and says nothing", [](RawServer& s, int) { s.holdSilent(); },
         DownloadFailure::Stalled},
        {"stops inside the body",
         [](RawServer& s, int socket) {
             RawServer::send(socket, "HTTP/1.1 200 OK\r\nContent-Length: 1000\r\n\r\nabc");
             s.holdSilent();
         },
         DownloadFailure::Stalled},
        {"closes inside the body",
         [](RawServer&, int socket) { RawServer::closeMidBody(socket, 1000, 100); },
         DownloadFailure::CutShort},
        {"closes before answering", [](RawServer&, int) {}, DownloadFailure::NoAnswer},
        {"endless chunked body", [](RawServer& s, int socket) { s.endlessBody(socket); },
         DownloadFailure::TooLarge},
        {"announces a body over the limit",
         [](RawServer& s, int socket) {
             RawServer::send(socket, "HTTP/1.1 200 OK\r\nContent-Length: 99999999999\r\n\r\n");
             s.holdSilent();
         },
         DownloadFailure::TooLarge},
        {"a body that says gzip and is not",
         [](RawServer&, int socket) {
             RawServer::send(socket, "HTTP/1.1 200 OK\r\nContent-Encoding: gzip\r\n"
                                     "Content-Length: 12\r\n\r\nnot gzipped!");
         },
         DownloadFailure::Damaged},
        {"garbage instead of HTTP",
         [](RawServer&, int socket) { RawServer::send(socket, "\x81\x40 hello\r\n\r\n"); },
         DownloadFailure::NoAnswer},
    };
    test::TestMachine m;
    for (const RawCase& c : cases) {
        SCOPED_TRACE(c.name);
        RawServer server(c.behaviour);
        CurlTransfer inet(m.files(), quickLimits());
        auto start = Clock::now();
        Download result = inet.download(fromUtf8(server.base() + "/swim/2010/list.txt"));
        auto seconds = std::chrono::duration<double>(Clock::now() - start).count();
        EXPECT_EQ(result.failure, c.failure);
        EXPECT_TRUE(result.body.empty());
        EXPECT_LT(seconds, 9.0);  // a stall of two seconds, measured over libcurl's average
    }
}

// A server that drips its answer is a stalled one: below a kilobyte a second
// over the stall time the download is given up, while an answer that comes at
// twice that pace, slowly but for longer than the stall time, arrives whole.
TEST(HostileServer, AServerThatDripsItsAnswerIsAStall) {
    auto paced = [](size_t total, size_t piece) {
        return [total, piece](RawServer& s, int socket) {
            RawServer::send(socket, "HTTP/1.1 200 OK\r\nContent-Length: " + std::to_string(total) +
                                        "\r\n\r\n");
            for (size_t sent = 0; sent < total && !s.stopping(); sent += piece) {
                if (!RawServer::send(socket, std::string(std::min(piece, total - sent), 'x')))
                    return;
                std::this_thread::sleep_for(std::chrono::milliseconds(250));
            }
        };
    };
    struct Case {
        const char* what;
        RawServer::Behaviour behaviour;
        DownloadFailure failure;
        size_t size;
    };
    const Case cases[] = {
        {"2 bytes a quarter second", paced(4000, 2), DownloadFailure::Stalled, 0},
        {"2 KB a second for 4 s", paced(8192, 512), DownloadFailure::None, 8192},
    };
    test::TestMachine m;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        RawServer server(c.behaviour);
        CurlTransfer inet(m.files(), quickLimits());
        auto start = Clock::now();
        Download result = inet.download(fromUtf8(server.base() + "/swim/2010/list.txt"));
        auto seconds = std::chrono::duration<double>(Clock::now() - start).count();
        EXPECT_EQ(result.failure, c.failure);
        EXPECT_EQ(result.body.size(), c.size);
        EXPECT_LT(seconds, 9.0);
    }
}

// The body cap, held at its size and one byte past it, for a body whose
// length is announced and for one that ends when the server closes.
TEST(HostileServer, ABodyOfExactlyTheCapIsTakenAndOneByteMoreIsNot) {
    constexpr size_t kCap = 1000;
    struct Case {
        const char* name;
        bool announced;
        size_t length;
        DownloadFailure failure;
    };
    const Case cases[] = {
        {"unannounced, at the cap", false, kCap, DownloadFailure::None},
        {"unannounced, one byte past", false, kCap + 1, DownloadFailure::TooLarge},
        {"announced, at the cap", true, kCap, DownloadFailure::None},
        {"announced, one byte past", true, kCap + 1, DownloadFailure::TooLarge},
    };
    test::TestMachine m;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string body(c.length, 'x');
        const std::string length = c.announced
                                       ? "Content-Length: " + std::to_string(c.length) + "\r\n"
                                       : std::string("Connection: close\r\n");
        const std::string head = "HTTP/1.1 200 OK\r\n" + length + "\r\n";
        RawServer server([&](RawServer&, int socket) { RawServer::send(socket, head + body); });
        CurlTransfer::Limits limits = quickLimits();
        limits.maxBodyBytes = kCap;
        CurlTransfer inet(m.files(), limits);
        Download result = inet.download(fromUtf8(server.base() + "/swim/2010/list.txt"));
        EXPECT_EQ(result.failure, c.failure);
        EXPECT_EQ(result.body, result.ok() ? body : "");
    }
}

TEST(HostileServer, TheDefaultLimitsStopAnEndlessBodyAt64MegabytesAndASilentServerInTenSeconds) {
    test::TestMachine m;
    CurlTransfer inet(m.files());
    {
        RawServer endless([](RawServer& s, int socket) { s.endlessBody(socket); });
        Download result = inet.download(fromUtf8(endless.base() + "/big"));
        EXPECT_EQ(result.failure, DownloadFailure::TooLarge);
    }
    RawServer silent([](RawServer& s, int) { s.holdSilent(); });
    auto start = Clock::now();
    EXPECT_EQ(inet.openUrl(fromUtf8(silent.base() + "/swim/2010/list.txt")), std::nullopt);
    auto seconds = std::chrono::duration<double>(Clock::now() - start).count();
    EXPECT_GE(seconds, 9.0);
    EXPECT_LT(seconds, 15.0);
}

// The publisher's client keeps to the same limits and follows no redirect.
TEST(HostileServer, ThePublishersClientKeepsToTheSameLimits) {
    const std::pair<const char*, RawServer::Behaviour> cases[] = {
        {"body too large", [](RawServer& s, int socket) { s.endlessBody(socket); }},
        {"body too large",
         [](RawServer& s, int socket) {
             RawServer::send(socket, "HTTP/1.1 200 OK\r\nContent-Length: 99999999999\r\n\r\n");
             s.holdSilent();
         }},
        {"", [](RawServer& s, int) { s.holdSilent(); }},  // a stall
    };
    HttpClient http(quickLimits());
    for (const auto& [error, behaviour] : cases) {
        RawServer server(behaviour);
        auto start = Clock::now();
        HttpAnswer answer = http.put(server.base() + "/swim/a.txt", "bytes");
        EXPECT_FALSE(answer.answered());
        EXPECT_EQ(answer.failure == DownloadFailure::TooLarge, *error != '\0');
        EXPECT_NE(answer.failure, DownloadFailure::None);
        // A PUT waits for the server's 100-continue before its body, and the
        // stall is counted again after: about 7 s to a silent server, well
        // within the 20 s of the transfer and the publisher's own 30 s stall.
        EXPECT_LT(std::chrono::duration<double>(Clock::now() - start).count(), 15.0);
    }
    HttpTestServer server;
    server.redirect("/old.txt", "/a.txt");
    server.serve("/a.txt", "body");
    EXPECT_EQ(http.get(server.base() + "/old.txt").status, 302);
    EXPECT_TRUE(http.put(server.base() + "/swim/b.txt", "bytes").ok());
    EXPECT_EQ(server.putBody("/swim/b.txt"), "bytes");
}

// A lap file rewritten within the second of its last change keeps its
// Last-Modified and, at a web server that makes its ETag of that time and the
// size, its ETag: such validators are not kept for the next look.
TEST(HostileServer, ValidatorsOfAFileChangedInTheSecondOfTheAnswerAreNotKept) {
    const std::pair<const char*, bool> cases[] = {
        {"Tue, 08 Dec 2026 10:00:00 GMT", false},  // changed in the second of the answer
        {"Tue, 08 Dec 2026 10:00:01 GMT", false},  // a clock ahead of the answer's
        {"Tue, 08 Dec 2026 09:59:59 GMT", true},
    };
    HttpClient http(quickLimits());
    for (const auto& [modified, kept] : cases) {
        std::string answer = std::string("HTTP/1.1 200 OK\r\nDate: Tue, 08 Dec 2026 10:00:00 GMT\r\n") +
                             "Last-Modified: " + modified + "\r\nETag: \"6a-10\"\r\n" +
                             "Content-Length: 4\r\nConnection: close\r\n\r\nbody";
        RawServer server([answer](RawServer&, int socket) { RawServer::send(socket, answer); });
        HttpAnswer got = http.get(server.base() + "/swim/lap/r0001.txt");
        EXPECT_EQ(got.status, 200);
        EXPECT_EQ(got.body, "body");
        EXPECT_EQ(got.validators.empty(), !kept) << modified;
    }
}

TEST(HostileServer, AddressesThatCannotBeUsedAreRefused) {
    test::TestMachine m;
    CurlTransfer inet(m.files(), quickLimits());
    HttpTestServer server;
    server.serve("/a.txt", "body");
    const std::u16string refused[] = {
        fromUtf8(server.base()) + std::u16string(u"/a.txt\0/../b", 12),  // NUL inside
        fromUtf8(server.base()) + u"/a.txt\r\nX: y",
        u"file:///etc/passwd",
        u"",
    };
    for (const std::u16string& url : refused) {
        Download result = inet.download(url);
        EXPECT_EQ(result.failure, DownloadFailure::BadAddress) << toUtf8(url);
    }
    EXPECT_TRUE(server.requests().empty());
    EXPECT_FALSE(inet.execute(fromUtf8(server.base()) + std::u16string(u"/x\0y", 4),
                              u"PUT c:\\quendro\\temp\\list.dat"));
}

}  // namespace
}  // namespace quendro
