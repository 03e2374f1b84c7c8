#pragma once

#include "platform/event_loop.h"

namespace quendro::view {

// The window's own event loop, run from inside a procedure that waits.
class QtEventLoop : public EventLoop {
  public:
    void processEvents() override;
};

}  // namespace quendro::view
