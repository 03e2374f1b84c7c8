#include "app/view/qt_event_loop.h"

#include <QCoreApplication>
#include <chrono>
#include <thread>

namespace quendro::view {

void QtEventLoop::processEvents() {
    QCoreApplication::processEvents();
    // A short rest, so that waiting does not spin the processor.
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
}

}  // namespace quendro::view
