#include "platform/event_loop.h"

#include <chrono>
#include <thread>

namespace quendro {

void IdleEventLoop::processEvents() {
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
}

}  // namespace quendro
