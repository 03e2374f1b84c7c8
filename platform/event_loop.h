#pragma once

namespace quendro {

// Lets the window handle the events that wait, from inside a procedure that
// waits for something else (the end of an upload).
class EventLoop {
  public:
    virtual ~EventLoop() = default;
    // Handles what waits, or rests a moment when nothing does.
    virtual void processEvents() = 0;
};

// The event loop of a program without a window: nothing waits, so it only rests.
class IdleEventLoop : public EventLoop {
  public:
    void processEvents() override;
};

}  // namespace quendro
