#pragma once

#include <chrono>
#include <cstddef>
#include <memory>

namespace quendro::test {

// A slow link between 127.0.0.1 and itself: a TCP relay on a free port that
// forwards every connection to a target port, each direction's bytes arriving
// half a round trip after they were sent. With a rate, each direction is one
// link shared by every connection: a chunk waits for the link to be free, holds
// it for its own length at that rate, and arrives half a round trip after it
// has gone through. A connection costs its round trip as on a real link: the
// client's first bytes arrive a round trip and a half after it connected. An
// end of sending is passed on after the bytes before it.
// Everything stops and closes when the object goes.
class LatencyRelay {
  public:
    LatencyRelay(int targetPort, std::chrono::milliseconds roundTrip,
                 double bitsPerSecond = 0 /* no cap */);
    ~LatencyRelay();
    LatencyRelay(const LatencyRelay&) = delete;
    LatencyRelay& operator=(const LatencyRelay&) = delete;

    // The relay's port on 127.0.0.1 (0 when it could not listen).
    int port() const;
    // Connections accepted so far.
    std::size_t connections() const;
    // Bytes carried so far from the clients to the target, and back.
    std::size_t bytesUp() const;
    std::size_t bytesDown() const;

  private:
    struct State;
    std::unique_ptr<State> state_;
};

}  // namespace quendro::test
