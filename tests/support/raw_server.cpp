#include "tests/support/raw_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cctype>
#include <chrono>
#include <sstream>
#include <stdexcept>

namespace quendro::test {
namespace {

// Reads up to the blank line that ends a request's header (or until the other
// side goes quiet for a second).
std::string readRequestHeader(int socket) {
    std::string seen;
    char buffer[4096];
    while (seen.find("\r\n\r\n") == std::string::npos) {
        pollfd p{socket, POLLIN, 0};
        if (::poll(&p, 1, 1000) <= 0) break;
        ssize_t n = ::recv(socket, buffer, sizeof buffer, 0);
        if (n <= 0) break;
        seen.append(buffer, static_cast<size_t>(n));
    }
    return seen;
}

}  // namespace

RawServer::RawServer(Behaviour behaviour)
    : RawServer(RequestBehaviour([behaviour = std::move(behaviour)](
          RawServer& server, int socket, const std::string&) { behaviour(server, socket); })) {}

RawServer::RawServer(RequestBehaviour behaviour) : behaviour_(std::move(behaviour)) {
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
            std::string request = readRequestHeader(socket);
            behaviour_(*this, socket, request);
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

std::string RawServer::requestBody(int socket, const std::string& request) {
    size_t headerEnd = request.find("\r\n\r\n");
    if (headerEnd == std::string::npos) return {};
    std::string lower = request.substr(0, headerEnd);
    for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    size_t at = lower.find("content-length:");
    size_t length = at == std::string::npos ? 0 : std::stoul(lower.substr(at + 15));
    std::string body = request.substr(headerEnd + 4);
    if (lower.find("expect: 100-continue") != std::string::npos && body.size() < length)
        send(socket, "HTTP/1.1 100 Continue\r\n\r\n");
    char buffer[4096];
    while (body.size() < length) {
        pollfd p{socket, POLLIN, 0};
        if (::poll(&p, 1, 1000) <= 0) break;
        ssize_t n = ::recv(socket, buffer, sizeof buffer, 0);
        if (n <= 0) break;
        body.append(buffer, static_cast<size_t>(n));
    }
    return body;
}

RawListServer::RawListServer(std::string list, End end, int dropPuts)
    : list_(std::move(list)), end_(end), dropPuts_(dropPuts),
      server_([this](RawServer&, int socket, const std::string& request) {
          answer(socket, request);
      }) {}

std::string RawListServer::list() const {
    std::lock_guard lock(mutex_);
    return list_;
}

void RawListServer::answer(int socket, const std::string& request) {
    if (request.starts_with("PUT ")) {
        std::string body = RawServer::requestBody(socket, request);
        if (++puts_ > dropPuts_) {
            std::lock_guard lock(mutex_);
            list_ = std::move(body);
        }
        RawServer::send(socket, "HTTP/1.1 201 Created\r\nContent-Length: 0\r\n"
                                "Connection: close\r\n\r\n");
        return;
    }
    std::string list = this->list();
    std::string head = "HTTP/1.1 200 OK\r\nConnection: close\r\n";
    switch (end_) {
        case End::Unstated: RawServer::send(socket, head + "\r\n" + list); break;
        case End::Length:
            RawServer::send(socket, head + "Content-Length: " + std::to_string(list.size()) +
                                        "\r\n\r\n" + list);
            break;
        case End::Chunked: {
            std::ostringstream size;
            size << std::hex << list.size();
            RawServer::send(socket, head + "Transfer-Encoding: chunked\r\n\r\n" +
                                        (list.empty() ? "" : size.str() + "\r\n" + list + "\r\n") +
                                        "0\r\n\r\n");
            break;
        }
    }
}

}  // namespace quendro::test
