#include "platform/curl_transfer.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "platform/text_rules.h"
#include "tests/support/http_server.h"
#include "tests/support/test_machine.h"

namespace quendro {
namespace {

using test::HttpTestServer;
using test::TestMachine;

std::u16string wide(const std::string& text) {
    return fromUtf8(text);
}

// Waits for the executed transfer to end, as the upload does, at most ten seconds.
bool waitForTransfer(InternetTransfer& inet) {
    for (int i = 0; i < 1000 && inet.stillExecuting(); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return !inet.stillExecuting();
}

TEST(CurlTransfer, DownloadsTheWholeBodyAndNoErrorPage) {
    HttpTestServer server;
    std::string list = "\r\n,\"1234567 \x8C\xA7\x91\x49\x8E\xE8\x8C\xA0\"\r\n";
    std::string big(3'000'000, 'x');
    server.serve("/swim/2010/list.txt", list);
    server.serve("/swim/2010/big.bin", big);
    server.serve("/swim/2010/broken.txt", "server trouble", 500);
    TestMachine m;
    CurlTransfer inet(m.files(), {5, 20});

    EXPECT_EQ(inet.openUrl(wide(server.base() + "/swim/2010/list.txt")), list);
    EXPECT_EQ(openUrlAsText(inet, wide(server.base() + "/swim/2010/list.txt")),
              u"\r\n,\"1234567 県選手権\"\r\n");
    EXPECT_EQ(inet.openUrl(wide(server.base() + "/swim/2010/big.bin")), big);
    // An error page is no body.
    EXPECT_EQ(inet.openUrl(wide(server.base() + "/swim/2009/list.txt")), std::nullopt);
    EXPECT_EQ(inet.download(wide(server.base() + "/swim/2009/list.txt")).status, 404);
    EXPECT_EQ(inet.openUrl(wide(server.base() + "/swim/2010/broken.txt")), std::nullopt);
    EXPECT_EQ(server.requests().front(), "GET /swim/2010/list.txt");
}

TEST(CurlTransfer, NoAnswerIsNoBody) {
    TestMachine m;
    CurlTransfer inet(m.files(), {5, 20});
    int closedPort;
    {
        HttpTestServer server;  // a port that was just free again
        closedPort = std::stoi(server.base().substr(server.base().rfind(':') + 1));
    }
    EXPECT_EQ(inet.openUrl(wide("http://127.0.0.1:" + std::to_string(closedPort) + "/list.txt")),
              std::nullopt);
    EXPECT_EQ(inet.openUrl(u"not a url at all"), std::nullopt);
    EXPECT_EQ(inet.openUrl(u""), std::nullopt);
}

TEST(CurlTransfer, PutSendsTheLocalFileWhileTheWindowGoesOn) {
    HttpTestServer server;
    TestMachine m;
    test::writeFile(m.workingFolder() / "list.dat", ",\"1234567 ABC\"\r\n");
    CurlTransfer inet(m.files(), {5, 20});
    std::u16string season = wide(server.base() + "/swim/2010/");
    inet.setUrl(season);
    EXPECT_EQ(inet.url(), season);

    ASSERT_TRUE(inet.execute(season + u"list.dat", u"PUT c:\\quendro\\temp\\list.dat"));
    ASSERT_TRUE(waitForTransfer(inet));
    EXPECT_FALSE(inet.executeFailed());
    EXPECT_EQ(server.putBody("/swim/2010/list.dat"), ",\"1234567 ABC\"\r\n");

    server.answerPutWith(403);
    ASSERT_TRUE(inet.execute(season + u"list.dat", u"PUT c:\\quendro\\temp\\list.dat"));
    ASSERT_TRUE(waitForTransfer(inet));
    EXPECT_TRUE(inet.executeFailed());
}

TEST(CurlTransfer, AnOperationThatCannotStartIsRefused) {
    TestMachine m;
    CurlTransfer inet(m.files(), {5, 20});
    EXPECT_FALSE(inet.execute(u"http://127.0.0.1:1/list.dat", u"PUT c:\\quendro\\temp\\list.dat"));
    EXPECT_FALSE(inet.execute(u"http://127.0.0.1:1/list.dat", u"DELETE x"));
    EXPECT_FALSE(inet.stillExecuting());
}

}  // namespace
}  // namespace quendro
