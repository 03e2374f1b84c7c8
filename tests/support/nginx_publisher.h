#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace quendro::test {

// The project's publisher (scripts/publisher.sh: nginx with the project's
// configuration) on a free port of 127.0.0.1, serving a tree in a folder of its
// own, for as long as the object lives.
class NginxPublisher {
  public:
    struct Options {
        bool startNow = true;  // otherwise start() starts it, on the port chosen now
        // A tmpfs of this many bytes mounted over the tree before the start
        // (root only; treeMounted() tells whether it was); 0: none.
        std::size_t treeDiskBytes = 0;
        // Variables for the script, e.g. QUENDRO_PUBLISH_USER=..., as words for the shell.
        std::string environment;
        // HTTPS (HTTP/2 offered) on the port instead of plain HTTP/1.1.
        bool tls = false;
        // The certificate and key served with tls; empty: the publisher's own,
        // signed by its authority (caFile()).
        std::filesystem::path certificate;
        std::filesystem::path key;
    };
    // home holds nginx's configuration, logs and the served tree.
    explicit NginxPublisher(const std::filesystem::path& home);
    NginxPublisher(const std::filesystem::path& home, Options options);
    ~NginxPublisher();
    NginxPublisher(const NginxPublisher&) = delete;
    NginxPublisher& operator=(const NginxPublisher&) = delete;

    bool running() const { return running_; }
    int port() const { return port_; }
    // "http://127.0.0.1:<port>/swim/", "https://..." with tls.
    std::string base() const;
    // The publisher's own certificate authority, which signs the certificate
    // it serves with tls unless another was given (made at the first start).
    std::filesystem::path caFile() const;
    // The folder of the publisher's authority and certificate.
    std::filesystem::path tlsFolder() const;
    // nginx's access log, one line an answer.
    std::filesystem::path accessLog() const;
    // The served folder of the season folders.
    const std::filesystem::path& tree() const { return tree_; }

    // Starts or stops the server on its port; start() is true when it runs.
    bool start();
    void stop();
    bool treeMounted() const { return mounted_; }
    const std::string& why() const { return why_; }
    // Writes a file into the tree as the server's worker would own it.
    void place(const std::string& relative, const std::string& bytes) const;
    // The user ids of nginx's worker processes.
    std::vector<unsigned> workerUsers() const;

  private:
    int script(const std::string& arguments) const;

    std::filesystem::path home_;
    std::filesystem::path tree_;
    Options options_;
    int port_ = 0;
    bool running_ = false;
    bool mounted_ = false;
    std::string why_;
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
