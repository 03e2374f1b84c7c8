#pragma once

#include <atomic>
#include <chrono>
#include <functional>
#include <map>
#include <set>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace httplib {
class Server;
}

namespace quendro::test {

// A real HTTP server on 127.0.0.1, on a free port, for as long as the object
// lives. It answers GET with the bodies given to serve() (404 with an error page
// for any other path) and keeps what PUT sends.
class HttpTestServer {
  public:
    HttpTestServer();
    ~HttpTestServer();
    HttpTestServer(const HttpTestServer&) = delete;
    HttpTestServer& operator=(const HttpTestServer&) = delete;

    // "http://127.0.0.1:<port>"
    std::string base() const;
    void serve(const std::string& path, std::string body, int status = 200);
    // Answers GET of path with a redirect to location.
    void redirect(const std::string& path, std::string location, int status = 302);
    // Answers GET below the prefix ("/swim/2026/2026001") with the files of a
    // host folder.
    void serveFolder(const std::string& prefix, const std::string& folder);
    // Files of a served folder go as they lie, never gzip on the way: the
    // library compresses text at a few hundred kilobytes a second, far
    // slower than a web server, and sends nothing of a large file until it is
    // done (a client then gives it up as stalled).
    void answerUncompressed();
    // Every answer waits this long first, like a server far away.
    void setLatency(std::chrono::milliseconds latency);
    // The answer to GET of path waits this long first, on top of the latency.
    void holdBack(const std::string& path, std::chrono::milliseconds wait);
    // Runs call, on the server's thread, as a GET of path comes in (before any
    // hold): the test's user acts while the server holds the file back.
    void whenAsked(const std::string& path, std::function<void()> call);
    // The status that PUT answers with.
    void answerPutWith(int status);
    // The body of the last PUT to path ("" when none came).
    std::string putBody(const std::string& path) const;
    // From now on a PUT the server takes is what GET answers at its path, as a
    // web server that keeps the files sent to it.
    void keepPuts() { keepPuts_ = true; }
    // How many connections the requests so far came on.
    size_t connectionCount() const;
    // The highest number of requests that were open at the same time.
    long mostAtOnce() const { return mostOpen_.load(); }
    // Every request so far, as "GET /path" with the path as it was sent.
    std::vector<std::string> requests() const;

    static constexpr const char* kErrorPage = "<HTML><BODY>404 Not Found</BODY></HTML>";

  private:
    struct Resource {
        std::string body;
        int status;
        std::string location;
    };

    std::unique_ptr<httplib::Server> server_;
    std::thread thread_;
    int port_ = 0;
    mutable std::mutex mutex_;
    std::map<std::string, Resource> resources_;
    std::map<std::string, std::string> puts_;
    std::map<std::string, std::chrono::milliseconds> heldBack_;
    std::map<std::string, std::function<void()>> whenAsked_;
    std::vector<std::string> requests_;
    std::set<int> clientPorts_;
    int putStatus_ = 201;
    std::atomic<bool> keepPuts_{false};
    std::atomic<long long> latencyMs_{0};
    std::atomic<long> open_{0};
    std::atomic<long> mostOpen_{0};
};

}  // namespace quendro::test
