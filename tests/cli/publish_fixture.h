#pragma once

#include <gtest/gtest.h>
#include <sys/types.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>

#include "tests/support/nginx_publisher.h"
#include "tests/support/test_machine.h"

namespace quendro::test {

// The program, run in a folder of the test's own with a drives folder of its
// own; env are variables for it, as shell words.
std::string publishCommand(const std::filesystem::path& root, const std::string& arguments,
                           const std::string& env = "");

// A program running on its own, its output into a log, until stopped.
class RunningProgram {
  public:
    RunningProgram(const std::string& command, std::filesystem::path log);
    ~RunningProgram();
    pid_t pid() const { return pid_; }
    std::string log() const;
    // Sends the signal and waits for the end: the exit status, or -1 after a
    // signal; how long the end took.
    int stop(int signal, std::chrono::milliseconds& took);

  private:
    pid_t pid_ = -1;
    std::filesystem::path log_;
};

int countOf(const std::string& text, const std::string& part);

template <typename Done>
bool waitFor(Done done, std::chrono::milliseconds limit = std::chrono::seconds(12)) {
    auto end = std::chrono::steady_clock::now() + limit;
    while (!done()) {
        if (std::chrono::steady_clock::now() > end) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return true;
}

// The bytes the server serves for a file of its tree: NAME.gz unpacked when the
// publisher stored it so, else NAME ("" when neither is there).
std::string heldOnServer(const std::filesystem::path& file);
// Whether the tree holds the file, as NAME or as NAME.gz.
bool onServer(const std::filesystem::path& file);

// Every file under the folder, by its path inside it.
std::vector<std::string> filesUnder(const std::filesystem::path& folder);

// A copy of the sample meet as the timing system's data folder, and the
// project's nginx publisher to put it on, season 2026.
class PublishedMeetTest : public ::testing::Test {
  protected:
    PublishedMeetTest() : nginx(m.root() / "publisher") {
        std::filesystem::copy(std::filesystem::path(QUENDRO_SOURCE_DIR) / "sample" / "meet",
                              meet(), std::filesystem::copy_options::recursive);
    }
    std::filesystem::path meet() const { return m.driveD() / "meet"; }
    std::filesystem::path served(const std::string& path) const {
        return nginx.tree() / "2026" / path;
    }
    std::string arguments(const std::string& options = "") const {
        return options + " --season 2026 " + shellQuoted(meet().string()) + " " + nginx.base();
    }
    CommandResult publish(const std::string& options = "") {
        return runCommand(publishCommand(m.root(), arguments(options)));
    }

    TestMachine m;
    NginxPublisher nginx;
};

}  // namespace quendro::test
