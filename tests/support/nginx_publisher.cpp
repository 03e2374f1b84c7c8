#include "tests/support/nginx_publisher.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>

namespace quendro::test {

std::string shellQuoted(const std::string& word) {
    std::string quoted = "'";
    for (char c : word) {
        if (c == '\'')
            quoted += "'\\''";
        else
            quoted += c;
    }
    return quoted + "'";
}

CommandResult runCommand(const std::string& command) {
    CommandResult result;
    FILE* pipe = ::popen((command + " 2>&1").c_str(), "r");
    if (!pipe) return result;
    char buffer[4096];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) result.output.append(buffer, n);
    int status = ::pclose(pipe);
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

int freeLoopbackPort() {
    int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    if (fd < 0) return 0;
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = 0;
    socklen_t length = sizeof address;
    int port = 0;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) == 0)
        port = ntohs(address.sin_port);
    ::close(fd);
    return port;
}

NginxPublisher::NginxPublisher(const std::filesystem::path& home)
    : home_(home), tree_(home / "tree") {
    std::filesystem::create_directories(tree_);
    // Another program may take the port between the asking and nginx's start.
    for (int attempt = 0; attempt < 5 && !running_; ++attempt) {
        port_ = freeLoopbackPort();
        running_ = port_ > 0 && script("start " + std::to_string(port_) + " " +
                                       shellQuoted(tree_.string())) == 0;
    }
}

NginxPublisher::~NginxPublisher() {
    if (running_) script("stop " + std::to_string(port_));
}

std::string NginxPublisher::base() const {
    return "http://127.0.0.1:" + std::to_string(port_) + "/swim/";
}

int NginxPublisher::script(const std::string& arguments) const {
    std::string command = "QUENDRO_PUBLISHER_HOME=" + shellQuoted(home_.string()) + " " +
                          shellQuoted(std::string(QUENDRO_SOURCE_DIR) + "/scripts/publisher.sh") +
                          " " + arguments + " >/dev/null 2>&1";
    int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace quendro::test
