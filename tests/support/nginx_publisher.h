#pragma once

#include <filesystem>
#include <string>

namespace quendro::test {

// The project's publisher (scripts/publisher.sh: nginx with the project's
// configuration) on a free port of 127.0.0.1, serving a tree in a folder of its
// own, for as long as the object lives.
class NginxPublisher {
  public:
    // home holds nginx's configuration, logs and the served tree.
    explicit NginxPublisher(const std::filesystem::path& home);
    ~NginxPublisher();
    NginxPublisher(const NginxPublisher&) = delete;
    NginxPublisher& operator=(const NginxPublisher&) = delete;

    bool running() const { return running_; }
    int port() const { return port_; }
    // "http://127.0.0.1:<port>/swim/"
    std::string base() const;
    // The served folder of the season folders.
    const std::filesystem::path& tree() const { return tree_; }

  private:
    int script(const std::string& arguments) const;

    std::filesystem::path home_;
    std::filesystem::path tree_;
    int port_ = 0;
    bool running_ = false;
};

// The whole output and exit status of a shell command.
struct CommandResult {
    int status = -1;
    std::string output;
};
CommandResult runCommand(const std::string& command);

// A free TCP port of 127.0.0.1 at the time of asking.
int freeLoopbackPort();

// A word for the shell, in single quotes.
std::string shellQuoted(const std::string& word);

}  // namespace quendro::test
