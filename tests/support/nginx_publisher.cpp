#include "tests/support/nginx_publisher.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>

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
    : NginxPublisher(home, Options{}) {}

NginxPublisher::NginxPublisher(const std::filesystem::path& home, Options options)
    : home_(home), tree_(home / "tree"), options_(std::move(options)) {
    std::filesystem::create_directories(tree_);
    if (options_.treeDiskBytes > 0) {
        if (::geteuid() != 0) {
            why_ = "not root: no small disk can be mounted";
        } else if (::mount("tmpfs", tree_.c_str(), "tmpfs", 0,
                           ("size=" + std::to_string(options_.treeDiskBytes)).c_str()) != 0) {
            why_ = std::string("tmpfs cannot be mounted here: ") + std::strerror(errno);
        } else {
            mounted_ = true;
        }
    }
    port_ = freeLoopbackPort();
    if (!options_.startNow) return;
    // Another program may take the port between the asking and nginx's start.
    for (int attempt = 0; attempt < 5 && !running_; ++attempt) {
        if (attempt > 0) port_ = freeLoopbackPort();
        start();
    }
}

NginxPublisher::~NginxPublisher() {
    stop();
    if (mounted_) ::umount2(tree_.c_str(), MNT_DETACH);
}

bool NginxPublisher::start() {
    running_ = port_ > 0 && script(std::string("start ") + (options_.tls ? "--tls " : "") +
                                   std::to_string(port_) + " " +
                                   shellQuoted(tree_.string())) == 0;
    return running_;
}

void NginxPublisher::stop() {
    if (running_) script("stop " + std::to_string(port_));
    running_ = false;
}

std::filesystem::path NginxPublisher::accessLog() const {
    return home_ / ("nginx-" + std::to_string(port_)) / "logs" / "access.log";
}

void NginxPublisher::place(const std::string& relative, const std::string& bytes) const {
    struct stat tree {};
    ::stat(tree_.c_str(), &tree);
    std::filesystem::path file = tree_ / relative;
    std::filesystem::create_directories(file.parent_path());
    {
        std::ofstream out(file, std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    }
    for (std::filesystem::path p = file; p != tree_ && p.has_relative_path(); p = p.parent_path())
        if (::chown(p.c_str(), tree.st_uid, tree.st_gid) != 0) break;
}

std::vector<unsigned> NginxPublisher::workerUsers() const {
    std::vector<unsigned> users;
    std::ifstream pidFile(home_ / ("nginx-" + std::to_string(port_)) / "logs" / "nginx.pid");
    long master = 0;
    if (!(pidFile >> master)) return users;
    for (const auto& entry : std::filesystem::directory_iterator("/proc")) {
        std::ifstream status(entry.path() / "status");
        std::string line;
        long parent = -1;
        unsigned uid = 0;
        bool haveUid = false;
        while (std::getline(status, line)) {
            if (line.rfind("PPid:", 0) == 0) parent = std::stol(line.substr(5));
            if (line.rfind("Uid:", 0) == 0) {
                uid = static_cast<unsigned>(std::stoul(line.substr(4)));
                haveUid = true;
            }
        }
        if (parent == master && haveUid) users.push_back(uid);
    }
    return users;
}

std::string NginxPublisher::base() const {
    return std::string(options_.tls ? "https" : "http") + "://127.0.0.1:" +
           std::to_string(port_) + "/swim/";
}

std::filesystem::path NginxPublisher::tlsFolder() const { return home_ / "tls"; }

std::filesystem::path NginxPublisher::caFile() const { return tlsFolder() / "ca.pem"; }

int NginxPublisher::script(const std::string& arguments) const {
    std::string certificate;
    if (!options_.certificate.empty() || !options_.key.empty())
        certificate = " QUENDRO_TLS_CERT=" + shellQuoted(options_.certificate.string()) +
                      " QUENDRO_TLS_KEY=" + shellQuoted(options_.key.string());
    std::string command = options_.environment + certificate + " QUENDRO_PUBLISHER_HOME=" +
                          shellQuoted(home_.string()) + " " +
                          shellQuoted(std::string(QUENDRO_SOURCE_DIR) + "/scripts/publisher.sh") +
                          " " + arguments + " >/dev/null 2>&1";
    int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace quendro::test
