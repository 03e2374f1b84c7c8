// A download that another thread stops: the window's Esc reaches the transfer
// this way while a server keeps it waiting.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <future>
#include <string>

#include "platform/curl_transfer.h"
#include "tests/support/test_machine.h"

namespace quendro {
namespace {

// Takes connections on 127.0.0.1 and never answers.
struct SilentPort {
    SilentPort() {
        fd = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t size = sizeof address;
        bool ok = fd >= 0 && ::bind(fd, reinterpret_cast<sockaddr*>(&address), size) == 0 &&
                  ::listen(fd, 16) == 0 &&
                  ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &size) == 0;
        EXPECT_TRUE(ok);
        port = ntohs(address.sin_port);
    }
    ~SilentPort() {
        if (fd >= 0) ::close(fd);
    }
    int fd = -1;
    int port = 0;
};

TEST(TransferCancel, AStalledDownloadStopsSoonAndLaterOnesRun) {
    test::TestMachine m;
    CurlTransfer inet(m.files(), CurlTransfer::Limits{5, 30});
    SilentPort silent;
    std::u16string url = u"http://127.0.0.1:";
    for (char c : std::to_string(silent.port)) url.push_back(static_cast<char16_t>(c));
    url += u"/swim/2010/list.txt";

    auto started = std::chrono::steady_clock::now();
    auto stalled = std::async(std::launch::async, [&] { return inet.openUrl(url); });
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    inet.cancel();
    ASSERT_EQ(stalled.wait_for(std::chrono::seconds(5)), std::future_status::ready);
    EXPECT_FALSE(stalled.get());
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(5));

    // The cancel was for the download that ran; the next one is fetched.
    m.server().serve("/swim/2010/list.txt", "\"1234567 A\"\r\n");
    auto body = inet.openUrl(m.serverBase() + u"2010/list.txt");
    ASSERT_TRUE(body);
    EXPECT_EQ(*body, "\"1234567 A\"\r\n");
}

}  // namespace
}  // namespace quendro
