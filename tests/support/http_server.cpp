#include "tests/support/http_server.h"

#include <httplib.h>

#include <chrono>
#include <stdexcept>

namespace quendro::test {

HttpTestServer::HttpTestServer() : server_(std::make_unique<httplib::Server>()) {
    // Every request is counted here, whichever handler or folder answers it.
    server_->set_pre_routing_handler([this](const httplib::Request& request, httplib::Response&) {
        std::chrono::milliseconds held{0};
        std::function<void()> asked;
        {
            std::lock_guard lock(mutex_);
            requests_.push_back(request.method + " " + request.target);  // as sent, not decoded
            clientPorts_.insert(request.remote_port);
            if (auto found = heldBack_.find(request.path); found != heldBack_.end())
                held = found->second;
            if (auto found = whenAsked_.find(request.path); found != whenAsked_.end())
                asked = found->second;
        }
        if (asked) asked();
        // Requests in their latency at the same time were open at once.
        long now = ++open_;
        for (long most = mostOpen_.load(); now > most && !mostOpen_.compare_exchange_weak(most, now);) {
        }
        if (long long ms = latencyMs_.load(); ms > 0)
            std::this_thread::sleep_for(std::chrono::milliseconds(ms));
        if (held.count() > 0) std::this_thread::sleep_for(held);
        --open_;
        return httplib::Server::HandlerResponse::Unhandled;
    });
    // Connections stay open for as many requests as a client sends on them.
    server_->set_keep_alive_max_count(100000);
    // Answers go out at once, as a web server's do, not held back for the
    // client's acknowledgement of the previous one.
    server_->set_tcp_nodelay(true);
    server_->Get(".*", [this](const httplib::Request& request, httplib::Response& response) {
        std::lock_guard lock(mutex_);
        auto found = resources_.find(request.path);
        if (found == resources_.end()) {
            response.status = 404;
            response.set_content(kErrorPage, "text/html");
            return;
        }
        response.status = found->second.status;
        if (!found->second.location.empty())
            response.set_header("Location", found->second.location);
        response.set_content(found->second.body, "application/octet-stream");
    });
    server_->Put(".*", [this](const httplib::Request& request, httplib::Response& response) {
        std::lock_guard lock(mutex_);
        puts_[request.path] = request.body;
        response.status = putStatus_;
        if (keepPuts_ && putStatus_ >= 200 && putStatus_ < 300)
            resources_[request.path] = Resource{request.body, 200, {}};
    });
    port_ = server_->bind_to_any_port("127.0.0.1");
    if (port_ <= 0) throw std::runtime_error("no port for the test server");
    thread_ = std::thread([this] { server_->listen_after_bind(); });
    // stop() before the server runs would be lost and join() would hang.
    while (!server_->is_running()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

HttpTestServer::~HttpTestServer() {
    server_->stop();
    thread_.join();
}

std::string HttpTestServer::base() const {
    return "http://127.0.0.1:" + std::to_string(port_);
}

void HttpTestServer::serve(const std::string& path, std::string body, int status) {
    std::lock_guard lock(mutex_);
    resources_[path] = Resource{std::move(body), status, {}};
}

void HttpTestServer::redirect(const std::string& path, std::string location, int status) {
    std::lock_guard lock(mutex_);
    resources_[path] = Resource{"moved", status, std::move(location)};
}

void HttpTestServer::serveFolder(const std::string& prefix, const std::string& folder) {
    if (!server_->set_mount_point(prefix, folder))
        throw std::runtime_error("cannot serve the folder " + folder);
}

void HttpTestServer::answerUncompressed() {
    // The library compresses text types only.
    server_->set_file_extension_and_mimetype_mapping("txt", "application/octet-stream");
}

void HttpTestServer::setLatency(std::chrono::milliseconds latency) {
    latencyMs_ = latency.count();
}

void HttpTestServer::holdBack(const std::string& path, std::chrono::milliseconds wait) {
    std::lock_guard lock(mutex_);
    heldBack_[path] = wait;
}

void HttpTestServer::whenAsked(const std::string& path, std::function<void()> call) {
    std::lock_guard lock(mutex_);
    whenAsked_[path] = std::move(call);
}

void HttpTestServer::answerPutWith(int status) {
    std::lock_guard lock(mutex_);
    putStatus_ = status;
}

std::string HttpTestServer::putBody(const std::string& path) const {
    std::lock_guard lock(mutex_);
    auto found = puts_.find(path);
    return found == puts_.end() ? std::string() : found->second;
}

size_t HttpTestServer::connectionCount() const {
    std::lock_guard lock(mutex_);
    return clientPorts_.size();
}

std::vector<std::string> HttpTestServer::requests() const {
    std::lock_guard lock(mutex_);
    return requests_;
}

}  // namespace quendro::test
