#pragma once

#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace quendro::test {

// A TCP server on 127.0.0.1, on a free port, that answers every connection with
// a behaviour of its own: the faults that a well-behaved HTTP server never
// shows (silence, a body cut short, a body without end).
class RawServer {
  public:
    // Runs on a thread of its own for each connection, after the request's
    // header has been read; the connection closes when it returns.
    using Behaviour = std::function<void(RawServer& server, int socket)>;

    explicit RawServer(Behaviour behaviour);
    // The same, given the request as read so far: its header and whatever of
    // its body came with it.
    using RequestBehaviour = std::function<void(RawServer& server, int socket, const std::string& request)>;
    explicit RawServer(RequestBehaviour behaviour);
    ~RawServer();
    RawServer(const RawServer&) = delete;
    RawServer& operator=(const RawServer&) = delete;

    // "http://127.0.0.1:<port>"
    std::string base() const;
    int connections() const { return connections_.load(); }
    bool stopping() const { return stopping_.load(); }

    // Behaviours.
    // Sends bytes; false when the other side has gone.
    static bool send(int socket, const std::string& bytes);
    // Says nothing until the server stops.
    void holdSilent() const;
    // A 200 answer announcing length bytes, of which only sent come before the close.
    static void closeMidBody(int socket, size_t length, size_t sent);
    // A chunked 200 answer that never ends, until the other side hangs up.
    void endlessBody(int socket) const;
    // The body of a request with a Content-Length, read to its end.
    static std::string requestBody(int socket, const std::string& request);

  private:
    void acceptLoop();

    RequestBehaviour behaviour_;
    int listener_ = -1;
    int port_ = 0;
    std::atomic<bool> stopping_{false};
    std::atomic<int> connections_{0};
    std::thread acceptor_;
    std::mutex mutex_;
    std::vector<std::thread> handlers_;
};

// A season's list.txt on a RawServer: every GET answers the list, its end
// stated as asked; a PUT replaces it, unless the server drops the first
// dropPuts PUTs it takes (answered 201 all the same).
class RawListServer {
  public:
    enum class End { Unstated, Chunked, Length };
    RawListServer(std::string list, End end, int dropPuts = 0);

    std::string base() const { return server_.base(); }
    std::string list() const;
    int puts() const { return puts_.load(); }
    int connections() const { return server_.connections(); }

  private:
    void answer(int socket, const std::string& request);

    mutable std::mutex mutex_;
    std::string list_;
    End end_;
    int dropPuts_;
    std::atomic<int> puts_{0};
    RawServer server_;
};

}  // namespace quendro::test
