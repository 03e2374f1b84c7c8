#include <gtest/gtest.h>

#include <chrono>
#include <map>

#include "platform/curl_transfer.h"
#include "platform/host_files.h"
#include "platform/text_rules.h"
#include "tests/support/http_server.h"
#include "tests/support/test_machine.h"

namespace quendro {
namespace {

using test::HttpTestServer;
using test::TestMachine;

// Many downloads at once over a few kept connections: every body in list
// order, each resource asked for once.
TEST(BatchDownload, EveryBodyInListOrderOverKeptConnections) {
    TestMachine m;
    HttpTestServer& server = m.server();
    server.setLatency(std::chrono::milliseconds(5));
    std::vector<std::u16string> urls;
    std::map<size_t, std::string> bodies;
    for (size_t i = 0; i < 40; ++i) {
        std::string path = "/lap/r" + std::to_string(1000 + i) + ".txt";
        bodies[i] = std::string(1000 + i * 300, static_cast<char>('a' + i % 26));
        server.serve(path, bodies[i]);
        urls.push_back(fromUtf8(server.base() + path));
    }
    urls.push_back(fromUtf8(server.base() + "/lap/missing.txt"));  // an error page is no body
    urls.push_back(u"http://127.0.0.1:1/\nx");                      // no usable address
    CurlTransfer inet(m.files(), CurlTransfer::Limits{5, 20});
    std::vector<size_t> progress;
    auto batch = inet.openUrls(urls, [&](size_t done, size_t total) {
        EXPECT_EQ(total, urls.size());
        progress.push_back(done);
    });
    for (size_t i = 0; i < 40; ++i) {
        Download body = batch->body(i);
        ASSERT_TRUE(body.ok()) << i;
        EXPECT_EQ(body.body, bodies[i]) << i;
    }
    Download missing = batch->body(40);
    EXPECT_EQ(missing.failure, DownloadFailure::ErrorStatus);
    EXPECT_EQ(missing.status, 404);
    EXPECT_TRUE(missing.body.empty());
    EXPECT_EQ(batch->body(41).failure, DownloadFailure::BadAddress);
    EXPECT_FALSE(batch->body(3).ok());   // handed out once
    EXPECT_FALSE(batch->body(99).ok());  // not in the list
    ASSERT_EQ(progress.size(), urls.size());
    EXPECT_EQ(progress.back(), urls.size());
    EXPECT_EQ(server.requests().size(), urls.size() - 1);
    EXPECT_LE(server.connectionCount(), CurlTransfer::kParallel);
    EXPECT_GE(server.connectionCount(), 2u);  // several at a time
}

// The batch runs ahead of the body asked for by its window and no further:
// while the first answer is held back, a list of exactly the window's length
// is asked for whole, and of one more, all but its last.
TEST(BatchDownload, NeverMoreDownloadsAheadThanTheWindow) {
    for (size_t length : {CurlTransfer::kAhead, CurlTransfer::kAhead + 1}) {
        SCOPED_TRACE(length);
        TestMachine m;
        HttpTestServer& server = m.server();
        std::vector<std::u16string> urls;
        for (size_t i = 0; i < length; ++i) {
            std::string path = "/lap/r" + std::to_string(1000 + i) + ".txt";
            server.serve(path, path);
            urls.push_back(fromUtf8(server.base() + path));
        }
        server.holdBack("/lap/r1000.txt", std::chrono::milliseconds(2000));
        CurlTransfer inet(m.files(), CurlTransfer::Limits{5, 20});
        auto batch = inet.openUrls(urls);
        ASSERT_TRUE(batch->body(0).ok());
        // Nothing starts between the bodies asked for: these came while the first was held.
        EXPECT_EQ(server.requests().size(), CurlTransfer::kAhead);
        for (size_t i = 1; i < length; ++i) EXPECT_TRUE(batch->body(i).ok()) << i;
        EXPECT_EQ(server.requests().size(), length);
    }
}

TEST(BatchDownload, AServerThatDoesNotAnswerGivesNoBodies) {
    TestMachine m;
    std::string base;
    {
        HttpTestServer gone;
        base = gone.base();
    }  // its port is closed now
    CurlTransfer inet(m.files(), CurlTransfer::Limits{2, 5});
    auto batch = inet.openUrls({fromUtf8(base + "/a"), fromUtf8(base + "/b")});
    EXPECT_EQ(batch->body(1).failure, DownloadFailure::NoConnection);
    EXPECT_EQ(batch->body(0).failure, DownloadFailure::NoConnection);
}

}  // namespace
}  // namespace quendro
