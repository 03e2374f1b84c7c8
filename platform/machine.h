#pragma once

#include "platform/clock.h"
#include "platform/event_loop.h"
#include "platform/files.h"
#include "platform/internet_transfer.h"
#include "platform/printer.h"

namespace quendro {

// What the window needs of the machine. main() hands it the real adapters; tests
// hand it their own.
struct Machine {
    FileSystem& files;
    Clock& clock;
    InternetTransfer& inet;
    Printer& printer;
    EventLoop& events;
};

}  // namespace quendro
