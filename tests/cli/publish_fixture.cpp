#include "tests/cli/publish_fixture.h"

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>

#include "platform/gzip.h"

namespace fs = std::filesystem;

namespace quendro::test {

std::string publishCommand(const fs::path& root, const std::string& arguments,
                           const std::string& env) {
    return "cd " + shellQuoted(root.string()) +
           " && exec env XDG_DATA_HOME=" + shellQuoted((root / "xdg").string()) + " " + env + " " +
           shellQuoted(QUENDRO_PUBLISH_PROGRAM) + " " + arguments;
}

RunningProgram::RunningProgram(const std::string& command, fs::path log) : log_(std::move(log)) {
    pid_ = fork();
    if (pid_ == 0) {
        std::string line = command + " >" + shellQuoted(log_.string()) + " 2>&1";
        execl("/bin/sh", "sh", "-c", line.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
}

RunningProgram::~RunningProgram() {
    if (pid_ > 0) {
        kill(pid_, SIGKILL);
        waitpid(pid_, nullptr, 0);
    }
}

std::string RunningProgram::log() const {
    return readFile(log_);
}

int RunningProgram::stop(int signal, std::chrono::milliseconds& took) {
    auto start = std::chrono::steady_clock::now();
    kill(pid_, signal);
    int status = 0;
    // Bounded: a program that does not end is killed after 15 seconds.
    for (;;) {
        pid_t done = waitpid(pid_, &status, WNOHANG);
        if (done == pid_) break;
        if (std::chrono::steady_clock::now() - start > std::chrono::seconds(15)) kill(pid_, SIGKILL);
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    took = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() -
                                                                 start);
    pid_ = -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

int countOf(const std::string& text, const std::string& part) {
    int n = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
    return n;
}

std::string heldOnServer(const fs::path& file) {
    fs::path gzip = file;
    gzip += ".gz";
    if (!fs::exists(gzip)) return readFile(file);
    return gunzipBytes(readFile(gzip), std::size_t{64} << 20).value_or("(no whole gzip)");
}

bool onServer(const fs::path& file) {
    fs::path gzip = file;
    gzip += ".gz";
    return fs::exists(file) || fs::exists(gzip);
}

std::vector<std::string> filesUnder(const fs::path& folder) {
    std::vector<std::string> files;
    std::error_code ec;
    for (const auto& entry : fs::recursive_directory_iterator(folder, ec)) {
        if (!entry.is_directory()) files.push_back(fs::relative(entry.path(), folder).string());
    }
    std::sort(files.begin(), files.end());
    return files;
}

}  // namespace quendro::test
