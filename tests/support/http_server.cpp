#include "tests/support/http_server.h"

#include <httplib.h>

#include <chrono>
#include <stdexcept>

namespace quendro::test {

HttpTestServer::HttpTestServer() : server_(std::make_unique<httplib::Server>()) {
    server_->Get(".*", [this](const httplib::Request& request, httplib::Response& response) {
        std::lock_guard lock(mutex_);
        requests_.push_back("GET " + request.target);  // as sent, not decoded
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
        requests_.push_back("PUT " + request.target);
        puts_[request.path] = request.body;
        response.status = putStatus_;
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

void HttpTestServer::answerPutWith(int status) {
    std::lock_guard lock(mutex_);
    putStatus_ = status;
}

std::string HttpTestServer::putBody(const std::string& path) const {
    std::lock_guard lock(mutex_);
    auto found = puts_.find(path);
    return found == puts_.end() ? std::string() : found->second;
}

std::vector<std::string> HttpTestServer::requests() const {
    std::lock_guard lock(mutex_);
    return requests_;
}

}  // namespace quendro::test
