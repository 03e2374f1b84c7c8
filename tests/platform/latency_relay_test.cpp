// The slow link of the tests and benchmarks: its delay, its rate, its
// connections, and bytes that arrive whole and in order.
#include "tests/support/latency_relay.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

#include <list>
#include <mutex>
#include <thread>

#include "platform/http_client.h"
#include "tests/support/http_server.h"

using namespace std::chrono_literals;

namespace quendro {
namespace {

using Clock = std::chrono::steady_clock;
using test::LatencyRelay;

// Sends back whatever comes on a connection, and ends its sending when the
// other side has ended its own.
class EchoServer {
  public:
    EchoServer() {
        listen_ = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        if (::bind(listen_, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
            ::listen(listen_, 16) == 0 &&
            ::getsockname(listen_, reinterpret_cast<sockaddr*>(&address), &length) == 0)
            port_ = ntohs(address.sin_port);
        acceptor_ = std::thread([this] { acceptLoop(); });
    }
    ~EchoServer() {
        ::shutdown(listen_, SHUT_RDWR);  // wakes accept()
        acceptor_.join();
        for (std::thread& t : echoes_) t.join();
        ::close(listen_);
    }
    int port() const { return port_; }

  private:
    void acceptLoop() {
        for (;;) {
            int fd = ::accept(listen_, nullptr, nullptr);
            if (fd < 0) return;
            std::lock_guard<std::mutex> lock(mutex_);
            echoes_.emplace_back([fd] {
                char buffer[4096];
                ssize_t n;
                while ((n = ::recv(fd, buffer, sizeof buffer, 0)) > 0)
                    if (::send(fd, buffer, static_cast<size_t>(n), MSG_NOSIGNAL) != n) break;
                ::close(fd);
            });
        }
    }

    int listen_ = -1;
    int port_ = 0;
    std::thread acceptor_;
    std::mutex mutex_;
    std::list<std::thread> echoes_;
};

int connectTo(int port) {
    int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(static_cast<uint16_t>(port));
    if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        ::close(fd);
        return -1;
    }
    int one = 1;
    ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    return fd;
}

// Everything until the other side ends its sending.
std::string readToEnd(int fd) {
    std::string all;
    char buffer[4096];
    ssize_t n;
    while ((n = ::recv(fd, buffer, sizeof buffer, 0)) > 0) all.append(buffer, static_cast<size_t>(n));
    return all;
}

double secondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

std::string portOf(const std::string& base) { return base.substr(base.rfind(':') + 1); }

// The connection's handshake, then the question and its answer.
TEST(LatencyRelay, ANewConnectionAndOneQuestionTakeTwoRoundTrips) {
    test::HttpTestServer server;
    server.serve("/swim/2026/list.txt", "list");
    LatencyRelay relay(std::stoi(portOf(server.base())), 100ms);
    ASSERT_GT(relay.port(), 0);
    HttpClient client;
    Clock::time_point start = Clock::now();
    HttpAnswer answer =
        client.get("http://127.0.0.1:" + std::to_string(relay.port()) + "/swim/2026/list.txt");
    double took = secondsSince(start);
    EXPECT_EQ(answer.status, 200);
    EXPECT_EQ(answer.body, "list");
    EXPECT_GE(took, 0.200);
    EXPECT_LT(took, 0.280);
}

TEST(LatencyRelay, AMegabyteAtEightMegabitsTakesASecond) {
    test::HttpTestServer server;
    std::string big(1'000'000, '\0');
    for (size_t i = 0; i < big.size(); ++i) big[i] = static_cast<char>(i * 7919 % 251);
    server.serve("/big.bin", big);
    LatencyRelay relay(std::stoi(portOf(server.base())), 10ms, 8'000'000);
    HttpClient client;
    Clock::time_point start = Clock::now();
    HttpAnswer answer = client.get("http://127.0.0.1:" + std::to_string(relay.port()) + "/big.bin");
    double took = secondsSince(start);
    EXPECT_EQ(answer.status, 200);
    EXPECT_TRUE(answer.body == big);
    EXPECT_GE(took, 0.95);
    EXPECT_LT(took, 2.5);
}

// Two answers of half a megabyte at the same time share the one link: both
// together take the second that one megabyte takes.
TEST(LatencyRelay, ConnectionsShareTheLink) {
    test::HttpTestServer server;
    std::string half(500'000, 'h');
    server.serve("/a.bin", half);
    server.serve("/b.bin", half);
    LatencyRelay relay(std::stoi(portOf(server.base())), 10ms, 8'000'000);
    std::string base = "http://127.0.0.1:" + std::to_string(relay.port());
    HttpAnswer a, b;
    Clock::time_point start = Clock::now();
    std::thread other([&] { b = HttpClient().get(base + "/b.bin"); });
    a = HttpClient().get(base + "/a.bin");
    other.join();
    double took = secondsSince(start);
    EXPECT_EQ(a.body.size(), half.size());
    EXPECT_EQ(b.body.size(), half.size());
    EXPECT_GE(took, 0.95);
    EXPECT_LT(took, 2.5);
    EXPECT_EQ(relay.connections(), 2u);
}

TEST(LatencyRelay, CountsTheConnectionsItAccepted) {
    EchoServer echo;
    LatencyRelay relay(echo.port(), 2ms);
    EXPECT_EQ(relay.connections(), 0u);
    for (size_t n = 1; n <= 3; ++n) {
        int fd = connectTo(relay.port());
        ASSERT_GE(fd, 0);
        ASSERT_EQ(::send(fd, "x", 1, 0), 1);
        char c = 0;
        EXPECT_EQ(::recv(fd, &c, 1, 0), 1);  // through, so accepted
        EXPECT_EQ(c, 'x');
        ::close(fd);
        EXPECT_EQ(relay.connections(), n);
    }
}

// Thousands of small chunks, each of its own length and bytes, come back
// whole and in order, and the end of sending is passed on after them both ways;
// the relay counts the bytes it carried.
TEST(LatencyRelay, ManySmallChunksKeepTheirOrderAndBytes) {
    struct Case {
        const char* name;
        double bitsPerSecond;
    };
    for (Case c : {Case{"no cap", 0}, Case{"50 Mbit/s", 50e6}}) {
        EchoServer echo;
        LatencyRelay relay(echo.port(), 20ms, c.bitsPerSecond);
        int fd = connectTo(relay.port());
        ASSERT_GE(fd, 0) << c.name;
        std::string sent;
        std::thread reader;
        std::string received;
        reader = std::thread([&] { received = readToEnd(fd); });
        for (int i = 0; i < 3000; ++i) {
            std::string chunk(static_cast<size_t>(1 + i % 97), static_cast<char>(i % 256));
            chunk[0] = static_cast<char>(i / 256);
            ASSERT_EQ(::send(fd, chunk.data(), chunk.size(), 0), ssize_t(chunk.size()));
            sent += chunk;
        }
        ::shutdown(fd, SHUT_WR);
        reader.join();  // ends only when the echo's end of sending came through
        ::close(fd);
        EXPECT_EQ(received.size(), sent.size()) << c.name;
        EXPECT_TRUE(received == sent) << c.name;
        // Every byte counted once each way.
        EXPECT_EQ(relay.bytesUp(), sent.size()) << c.name;
        EXPECT_EQ(relay.bytesDown(), sent.size()) << c.name;
    }
}

// A target that refuses: the relay closes the connection it accepted.
TEST(LatencyRelay, ATargetThatRefusesClosesTheConnection) {
    int closedPort;
    {
        EchoServer gone;
        closedPort = gone.port();
    }
    LatencyRelay relay(closedPort, 10ms);
    int fd = connectTo(relay.port());
    ASSERT_GE(fd, 0);
    EXPECT_EQ(readToEnd(fd), "");
    ::close(fd);
    EXPECT_EQ(relay.connections(), 1u);
}

// Stopping with a connection open ends it at once: the client sees its end.
TEST(LatencyRelay, StoppingEndsTheOpenConnections) {
    EchoServer echo;
    int fd;
    {
        LatencyRelay relay(echo.port(), 400ms);
        fd = connectTo(relay.port());
        ASSERT_GE(fd, 0);
        ASSERT_EQ(::send(fd, "held", 4, 0), 4);
        Clock::time_point start = Clock::now();
        while (relay.connections() == 0 && secondsSince(start) < 5) std::this_thread::sleep_for(1ms);
    }
    // The echo of "held" was still on the way: nothing arrives, only the end.
    EXPECT_EQ(readToEnd(fd), "");
    ::close(fd);
}

}  // namespace
}  // namespace quendro
