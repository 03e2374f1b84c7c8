// The one driver of libcurl's multi handle: its connection policy, and an
// https batch that goes as streams of a single connection.
#include <gtest/gtest.h>

#include <chrono>
#include <limits>
#include <string>

#include "platform/curl_multi.h"
#include "platform/http_client.h"
#include "platform/text_rules.h"
#include "tests/support/latency_relay.h"
#include "tests/support/nginx_publisher.h"
#include "tests/support/test_machine.h"

namespace quendro {
namespace {

constexpr size_t kNoWindow = std::numeric_limits<size_t>::max();

// Downloads over https go as many streams from the start, over http one kept
// connection each; uploads stay within the HTTP/1.1 connections until an
// answer shows HTTP/2.
TEST(MultiPolicy, TransfersAtOnceAndTheWindowAhead) {
    struct Row {
        const char* what;
        MultiPolicy policy;
        size_t atStart, overHttp2, ahead;
    };
    const Row rows[] = {
        {"downloads over https", downloadPolicy(true), 96, 96, 128},
        {"downloads over http", downloadPolicy(false), 8, 8, 48},
        {"uploads, none asked", uploadPolicy(0), 1, 1, kNoWindow},
        {"uploads, one", uploadPolicy(1), 1, 1, kNoWindow},
        {"uploads at the connections", uploadPolicy(8), 8, 8, kNoWindow},
        {"uploads one past them", uploadPolicy(9), 8, 9, kNoWindow},
        {"uploads, the client's streams", uploadPolicy(HttpClient::kStreams), 8, 64, kNoWindow},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(row.policy.atStart, row.atStart) << row.what;
        EXPECT_EQ(row.policy.overHttp2, row.overHttp2) << row.what;
        EXPECT_EQ(row.policy.ahead, row.ahead) << row.what;
    }
}

// Uploads over https, as many as start at once, one more, and the client's
// streams: all of them on the one connection that the first opened.
TEST(CurlMulti, AnHttpsBatchOfUploadsSharesOneConnection) {
    test::TestMachine m;
    test::NginxPublisher::Options tls;
    tls.tls = true;
    test::NginxPublisher nginx(m.root() / "publisher", tls);
    ASSERT_TRUE(nginx.running()) << nginx.why();
    HttpClient::Limits limits = HttpClient::uploadLimits();
    limits.caFile = nginx.caFile().string();
    for (size_t count : {MultiPolicy::kConnections, MultiPolicy::kConnections + 1,
                         HttpClient::kStreams}) {
        SCOPED_TRACE(count);
        test::LatencyRelay relay(nginx.port(), std::chrono::milliseconds(20));
        HttpClient http(limits);
        std::vector<Upload> uploads;
        for (size_t i = 0; i < count; ++i)
            uploads.push_back({"https://127.0.0.1:" + std::to_string(relay.port()) +
                                   "/swim/2026/2026001/lap/r" + std::to_string(1000 + i) + ".txt",
                               std::string(2000 + i, 'x')});
        std::vector<HttpAnswer> answers = http.putAll(uploads);
        ASSERT_EQ(answers.size(), count);
        for (size_t i = 0; i < count; ++i) EXPECT_TRUE(answers[i].ok()) << i << toUtf8(failureWord(answers[i]));
        EXPECT_EQ(relay.connections(), 1u);
    }
}

}  // namespace
}  // namespace quendro
