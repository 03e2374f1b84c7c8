#pragma once

#include <string>
#include <string_view>

#include "platform/files.h"

namespace quendro::test {

// An output kept in memory: what was written, and whether it was committed.
struct KeptOutput : OutputFile {
    std::string bytes;
    bool committed = false;
    bool write(std::string_view more) override {
        bytes += more;
        return true;
    }
    FileStatus commit() override {
        committed = true;
        return FileStatus::Ok;
    }
};

}  // namespace quendro::test
