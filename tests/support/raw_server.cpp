#include "tests/support/raw_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <stdexcept>

namespace quendro::test {
namespace {

// Reads up to the blank line that ends a request's header (or until the other
// side goes quiet for a second).
void readRequestHeader(int socket) {
    std::string seen;
    char buffer[4096];
    while (seen.find("\r\n\r\n") == std::string::npos) {
        pollfd p{socket, POLLIN, 0};
        if (::poll(&p, 1, 1000) <= 0) return;
        ssize_t n = ::recv(socket, buffer, sizeof buffer, 0);
        if (n <= 0) return;
        seen.append(buffer, static_cast<size_t>(n));
    }
}

}  // namespace

RawServer::RawServer(Behaviour behaviour) : behaviour_(std::move(behaviour)) {
    listener_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (listener_ < 0) throw std::runtime_error("no socket for the raw server");
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = 0;
    socklen_t size = sizeof address;
    if (::bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(listener_, 16) != 0 ||
        ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &size) != 0) {
        ::close(listener_);
        throw std::runtime_error("no port for the raw server");
    }
    port_ = ntohs(address.sin_port);
    acceptor_ = std::thread([this] { acceptLoop(); });
}

RawServer::~RawServer() {
    stopping_ = true;
    acceptor_.join();
    ::close(listener_);
    std::lock_guard lock(mutex_);
    for (std::thread& t : handlers_) t.join();
}

std::string RawServer::base() const {
    return "http://127.0.0.1:" + std::to_string(port_);
}

void RawServer::acceptLoop() {
    while (!stopping_) {
        pollfd p{listener_, POLLIN, 0};
        if (::poll(&p, 1, 20) <= 0) continue;
        int socket = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
        if (socket < 0) continue;
        ++connections_;
        std::lock_guard lock(mutex_);
        handlers_.emplace_back([this, socket] {
            readRequestHeader(socket);
            behaviour_(*this, socket);
            ::close(socket);
        });
    }
}

bool RawServer::send(int socket, const std::string& bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        ssize_t n = ::send(socket, bytes.data() + done, bytes.size() - done, MSG_NOSIGNAL);
        if (n <= 0) return false;
        done += static_cast<size_t>(n);
    }
    return true;
}

void RawServer::holdSilent() const {
    while (!stopping_) std::this_thread::sleep_for(std::chrono::milliseconds(10));
}

void RawServer::closeMidBody(int socket, size_t length, size_t sent) {
    send(socket, "HTTP/1.1 200 OK\r\nContent-Length: " + std::to_string(length) +
                     "\r\nConnection: close\r\n\r\n" + std::string(sent, 'x'));
}

void RawServer::endlessBody(int socket) const {
    if (!send(socket, "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n")) return;
    const std::string chunk = "10000\r\n" + std::string(0x10000, 'x') + "\r\n";
    while (!stopping_ && send(socket, chunk)) {
    }
}

}  // namespace quendro::test
