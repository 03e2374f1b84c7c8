#include "tests/support/latency_relay.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <condition_variable>
#include <deque>
#include <list>
#include <mutex>
#include <string>
#include <thread>

namespace quendro::test {

using Clock = std::chrono::steady_clock;

namespace {

constexpr std::size_t kChunkBytes = 16 * 1024;
// A direction reads ahead at most this much before the far end takes it.
constexpr std::size_t kMostQueued = 8 << 20;

// One direction's link, shared by every connection: when it is next free.
struct Link {
    std::mutex mutex;
    Clock::time_point free{};
};

struct Chunk {
    Clock::time_point due;
    std::string bytes;
    bool end = false;  // the sender will send no more
};

void noDelay(int socket) {
    int one = 1;
    ::setsockopt(socket, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
}

bool sendAll(int socket, const std::string& bytes) {
    std::size_t sent = 0;
    while (sent < bytes.size()) {
        ssize_t n = ::send(socket, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        sent += static_cast<std::size_t>(n);
    }
    return true;
}

}  // namespace

struct Direction {
    int from = -1;
    int to = -1;
    Link* link = nullptr;
    // Nothing arrives before this: the client's first bytes go only once the
    // connection's own handshake has made its round trip.
    Clock::time_point notBefore{};
    std::mutex mutex;
    std::condition_variable changed;
    std::deque<Chunk> queue;
    std::size_t queued = 0;
    bool failed = false;  // the far end takes nothing more
};

struct Connection {
    int client = -1;
    int server = -1;
    Direction up;    // client to server
    Direction down;  // server to client
    std::thread threads[4];
    std::atomic<int> running{4};
};

struct LatencyRelay::State {
    int targetPort = 0;
    Clock::duration halfTrip{};
    double bitsPerSecond = 0;
    int listenFd = -1;
    int wakeFd = -1;
    int port = 0;
    std::atomic<bool> stopping{false};
    std::atomic<std::size_t> accepted{0};
    std::atomic<std::size_t> carriedUp{0}, carriedDown{0};
    Link upLink, downLink;
    std::mutex connectionsMutex;
    std::list<Connection> connections;
    std::thread acceptor;

    // When a chunk of n bytes read at t arrives at the far end.
    Clock::time_point arrival(Link& link, Clock::time_point t, std::size_t n) {
        if (bitsPerSecond <= 0) return t + halfTrip;
        std::lock_guard<std::mutex> lock(link.mutex);
        Clock::time_point start = std::max(t, link.free);
        link.free = start + std::chrono::duration_cast<Clock::duration>(
                                std::chrono::duration<double>(double(n) * 8.0 / bitsPerSecond));
        return link.free + halfTrip;
    }

    void read(Direction& d) {
        char buffer[kChunkBytes];
        for (;;) {
            {
                std::unique_lock<std::mutex> lock(d.mutex);
                d.changed.wait(lock, [&] { return d.queued < kMostQueued || d.failed || stopping; });
                if (d.failed || stopping) return;
            }
            ssize_t n = ::recv(d.from, buffer, sizeof buffer, 0);
            if (n < 0 && errno == EINTR) continue;
            if (n > 0) (d.link == &upLink ? carriedUp : carriedDown) += static_cast<std::size_t>(n);
            Chunk chunk;
            chunk.end = n <= 0;
            if (!chunk.end) chunk.bytes.assign(buffer, static_cast<std::size_t>(n));
            chunk.due = std::max(arrival(*d.link, Clock::now(), chunk.bytes.size()), d.notBefore);
            {
                std::lock_guard<std::mutex> lock(d.mutex);
                d.queued += chunk.bytes.size();
                d.queue.push_back(std::move(chunk));
            }
            d.changed.notify_all();
            if (n <= 0) return;
        }
    }

    void write(Direction& d) {
        std::unique_lock<std::mutex> lock(d.mutex);
        for (;;) {
            d.changed.wait(lock, [&] { return !d.queue.empty() || stopping; });
            if (stopping) return;
            if (d.changed.wait_until(lock, d.queue.front().due, [&] { return stopping.load(); }))
                return;
            Chunk chunk = std::move(d.queue.front());
            d.queue.pop_front();
            d.queued -= chunk.bytes.size();
            lock.unlock();
            d.changed.notify_all();
            if (chunk.end) {
                ::shutdown(d.to, SHUT_WR);
                return;
            }
            if (!sendAll(d.to, chunk.bytes)) {
                lock.lock();
                d.failed = true;
                lock.unlock();
                d.changed.notify_all();
                ::shutdown(d.from, SHUT_RD);
                return;
            }
            lock.lock();
        }
    }

    void finish(Connection& c) {
        for (std::thread& t : c.threads)
            if (t.joinable()) t.join();
        ::close(c.client);
        ::close(c.server);
    }

    // Closes the connections whose four threads have all ended.
    void reapFinished() {
        std::lock_guard<std::mutex> lock(connectionsMutex);
        for (auto it = connections.begin(); it != connections.end();) {
            if (it->running == 0) {
                finish(*it);
                it = connections.erase(it);
            } else {
                ++it;
            }
        }
    }

    void start(int client, int server) {
        std::lock_guard<std::mutex> lock(connectionsMutex);
        Connection& c = connections.emplace_back();
        c.client = client;
        c.server = server;
        c.up.from = client;
        c.up.to = server;
        c.up.link = &upLink;
        // The relay accepted at once; on the link the connection is open one
        // round trip later, and the first bytes arrive half a trip after that.
        c.up.notBefore = Clock::now() + 3 * halfTrip;
        c.down.from = server;
        c.down.to = client;
        c.down.link = &downLink;
        auto run = [this, &c](auto step, Direction& d) {
            return std::thread([this, &c, step, &d] {
                (this->*step)(d);
                --c.running;
            });
        };
        c.threads[0] = run(&State::read, c.up);
        c.threads[1] = run(&State::write, c.up);
        c.threads[2] = run(&State::read, c.down);
        c.threads[3] = run(&State::write, c.down);
    }

    int connectToTarget() const {
        int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        if (fd < 0) return -1;
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        address.sin_port = htons(static_cast<uint16_t>(targetPort));
        if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
            ::close(fd);
            return -1;
        }
        return fd;
    }

    void acceptLoop() {
        for (;;) {
            pollfd fds[2] = {{listenFd, POLLIN, 0}, {wakeFd, POLLIN, 0}};
            if (::poll(fds, 2, -1) < 0) {
                if (errno == EINTR) continue;
                return;
            }
            if (fds[1].revents != 0 || stopping) return;
            int client = ::accept4(listenFd, nullptr, nullptr, SOCK_CLOEXEC);
            if (client < 0) continue;
            ++accepted;
            reapFinished();
            int server = connectToTarget();
            if (server < 0) {
                ::close(client);  // the far end refused: so does the link
                continue;
            }
            noDelay(client);
            noDelay(server);
            start(client, server);
        }
    }

    void stop() {
        stopping = true;
        if (wakeFd >= 0) {
            uint64_t one = 1;
            [[maybe_unused]] ssize_t n = ::write(wakeFd, &one, sizeof one);
        }
        if (acceptor.joinable()) acceptor.join();
        std::lock_guard<std::mutex> lock(connectionsMutex);
        for (Connection& c : connections) {
            ::shutdown(c.client, SHUT_RDWR);
            ::shutdown(c.server, SHUT_RDWR);
            for (Direction* d : {&c.up, &c.down}) {
                { std::lock_guard<std::mutex> directionLock(d->mutex); }
                d->changed.notify_all();
            }
        }
        for (Connection& c : connections) finish(c);
        connections.clear();
        if (listenFd >= 0) ::close(listenFd);
        if (wakeFd >= 0) ::close(wakeFd);
    }
};

LatencyRelay::LatencyRelay(int targetPort, std::chrono::milliseconds roundTrip,
                           double bitsPerSecond)
    : state_(std::make_unique<State>()) {
    State& s = *state_;
    s.targetPort = targetPort;
    s.halfTrip = std::chrono::duration_cast<Clock::duration>(roundTrip) / 2;
    s.bitsPerSecond = bitsPerSecond;
    s.listenFd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    s.wakeFd = ::eventfd(0, EFD_CLOEXEC);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (s.listenFd < 0 || s.wakeFd < 0 ||
        ::bind(s.listenFd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(s.listenFd, 128) != 0 ||
        ::getsockname(s.listenFd, reinterpret_cast<sockaddr*>(&address), &length) != 0)
        return;
    s.port = ntohs(address.sin_port);
    s.acceptor = std::thread([&s] { s.acceptLoop(); });
}

LatencyRelay::~LatencyRelay() { state_->stop(); }

int LatencyRelay::port() const { return state_->port; }

std::size_t LatencyRelay::connections() const { return state_->accepted.load(); }

std::size_t LatencyRelay::bytesUp() const { return state_->carriedUp.load(); }

std::size_t LatencyRelay::bytesDown() const { return state_->carriedDown.load(); }

}  // namespace quendro::test
