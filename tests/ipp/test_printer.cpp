#include "test_printer.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <thread>
#include <utility>
#include <vector>

extern char** environ;

namespace testing_support {

namespace {

using Clock = std::chrono::steady_clock;
constexpr auto kStartTime = std::chrono::seconds(10);
constexpr auto kReplyTime = std::chrono::seconds(10);

class Descriptor {
  public:
    explicit Descriptor(int fd = -1) : fd_(fd) {}
    ~Descriptor() {
        if (fd_ >= 0)
            close(fd_);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return fd_; }

  private:
    int fd_;
};

sockaddr_in loopback(int port) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return address;
}

// A port of 127.0.0.1 that nothing listens on: the one the system hands out for port 0.
int freePort() {
    Descriptor s(socket(AF_INET, SOCK_STREAM, 0));
    sockaddr_in address = loopback(0);
    socklen_t size = sizeof address;
    if (s.get() < 0 || bind(s.get(), reinterpret_cast<sockaddr*>(&address), size) != 0 ||
        getsockname(s.get(), reinterpret_cast<sockaddr*>(&address), &size) != 0)
        throw std::runtime_error(std::string("no free port: ") + std::strerror(errno));
    return ntohs(address.sin_port);
}

// A connected socket to 127.0.0.1:port, or -1.
int connectLoopback(int port) {
    int s = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (s < 0)
        return -1;
    sockaddr_in address = loopback(port);
    if (connect(s, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        close(s);
        return -1;
    }
    return s;
}

std::string contentsOf(const std::string& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

// Starts a program found on PATH with its output in a file and that environment; replyFd, when
// given, is its descriptor 3.
ChildProcess spawn(const std::vector<std::string>& argv, int outputFd,
                   const std::vector<std::string>& environment, int replyFd = -1) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, outputFd, STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&actions, outputFd, STDERR_FILENO);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    if (replyFd >= 0)
        posix_spawn_file_actions_adddup2(&actions, replyFd, 3);
    std::vector<char*> args;
    for (const std::string& a : argv)
        args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    std::vector<char*> env;
    for (const std::string& e : environment)
        env.push_back(const_cast<char*>(e.c_str()));
    env.push_back(nullptr);
    pid_t pid = -1;
    int error = posix_spawnp(&pid, argv[0].c_str(), &actions, nullptr, args.data(), env.data());
    posix_spawn_file_actions_destroy(&actions);
    if (error != 0) {
        throw std::runtime_error(argv[0] + " cannot be started: " + std::strerror(error) +
                                 (argv[0] == "ippeveprinter" ? " (package cups-ipp-utils)" : ""));
    }
    return ChildProcess(pid);
}

// This process's environment with one variable set.
std::vector<std::string> environmentWith(const std::string& name, const std::string& value) {
    std::vector<std::string> out;
    for (char** e = environ; *e != nullptr; ++e) {
        if (std::strncmp(*e, (name + "=").c_str(), name.size() + 1) != 0)
            out.emplace_back(*e);
    }
    out.push_back(name + "=" + value);
    return out;
}

// A private message bus; its address once it has written it. The address comes through a pipe
// of its own: the bus goes on writing to its output, and a closed pipe there would end it.
std::string startBus(ChildProcess& bus, int outputFd) {
    int pipeFds[2];
    if (pipe2(pipeFds, O_CLOEXEC) != 0)
        throw std::runtime_error("no pipe for dbus-daemon");
    Descriptor readEnd(pipeFds[0]);
    {
        Descriptor writeEnd(pipeFds[1]);
        bus = spawn({"dbus-daemon", "--session", "--nofork", "--nopidfile", "--print-address=3"},
                    outputFd, environmentWith("LC_ALL", "C"), writeEnd.get());
    }
    std::string address;
    const auto deadline = Clock::now() + kStartTime;
    while (address.find('\n') == std::string::npos) {
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        pollfd p{readEnd.get(), POLLIN, 0};
        if (left.count() <= 0 || poll(&p, 1, static_cast<int>(left.count())) <= 0)
            throw std::runtime_error("dbus-daemon gave no address in time");
        char buffer[256];
        ssize_t n = read(readEnd.get(), buffer, sizeof buffer);
        if (n <= 0)
            throw std::runtime_error("dbus-daemon ended without an address: " + address);
        address.append(buffer, static_cast<std::size_t>(n));
    }
    return address.substr(0, address.find('\n'));
}

}  // namespace

ChildProcess::~ChildProcess() {
    if (pid_ <= 0)
        return;
    kill(pid_, SIGTERM);
    // A program that ignores the request to end is ended after a while.
    const auto deadline = Clock::now() + std::chrono::seconds(5);
    while (!ended()) {
        if (Clock::now() > deadline) {
            kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
            return;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

ChildProcess::ChildProcess(ChildProcess&& other) noexcept : pid_(std::exchange(other.pid_, -1)) {
}

ChildProcess& ChildProcess::operator=(ChildProcess&& other) noexcept {
    std::swap(pid_, other.pid_);
    return *this;
}

bool ChildProcess::ended() {
    if (pid_ <= 0)
        return true;
    if (waitpid(pid_, nullptr, WNOHANG) == pid_) {
        pid_ = -1;
        return true;
    }
    return false;
}

TestPrinter::TestPrinter(const std::string& make, const std::string& model,
                         const std::string& name) {
    std::filesystem::create_directory(folder_.path() + "/spool");
    const std::string log = folder_.path() + "/output.log";
    Descriptor output(open(log.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600));
    // ippeveprinter will not start unless its DNS-SD client reaches a D-Bus system bus, even
    // with announcing turned off; a private bus of its own stands in, and nothing is announced.
    std::string bus = startBus(bus_, output.get());
    port_ = freePort();
    printer_ = spawn({"ippeveprinter", "-M", make, "-m", model, "-p", std::to_string(port_), "-r",
                      "off", "-d", folder_.path() + "/spool", name},
                     output.get(), environmentWith("DBUS_SYSTEM_BUS_ADDRESS", bus));
    const auto deadline = Clock::now() + kStartTime;
    for (;;) {
        if (int s = connectLoopback(port_); s >= 0) {
            close(s);
            return;
        }
        if (printer_.ended())
            throw std::runtime_error("ippeveprinter ended at start: " + contentsOf(log));
        if (Clock::now() > deadline)
            throw std::runtime_error("ippeveprinter did not listen in time: " + contentsOf(log));
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

TemporaryFolder::TemporaryFolder() {
    char folder[] = "/tmp/velmora-ipp-XXXXXX";
    if (mkdtemp(folder) == nullptr)
        throw std::runtime_error("no temporary folder");
    path_ = folder;
}

TemporaryFolder::~TemporaryFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

HttpReply postIpp(int port, const std::string& request) {
    Descriptor s(connectLoopback(port));
    if (s.get() < 0)
        throw std::runtime_error("no connection to 127.0.0.1:" + std::to_string(port));
    const std::string message =
        "POST /ipp/print HTTP/1.1\r\nHost: 127.0.0.1:" + std::to_string(port) +
        "\r\nContent-Type: application/ipp\r\nContent-Length: " + std::to_string(request.size()) +
        "\r\n\r\n" + request;
    for (std::size_t sent = 0; sent < message.size();) {
        ssize_t n = send(s.get(), message.data() + sent, message.size() - sent, MSG_NOSIGNAL);
        if (n <= 0)
            throw std::runtime_error("the request could not be sent");
        sent += static_cast<std::size_t>(n);
    }
    std::string received;
    const auto deadline = Clock::now() + kReplyTime;
    for (;;) {
        if (std::optional<HttpReply> reply = completeHttpReply(received))
            return *reply;
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        pollfd p{s.get(), POLLIN, 0};
        if (left.count() <= 0 || poll(&p, 1, static_cast<int>(left.count())) <= 0)
            throw std::runtime_error("no whole reply in time; received: " + received);
        char buffer[16384];
        ssize_t n = recv(s.get(), buffer, sizeof buffer, 0);
        if (n <= 0)
            throw std::runtime_error("the connection closed before the reply was whole");
        received.append(buffer, static_cast<std::size_t>(n));
    }
}

}  // namespace testing_support
