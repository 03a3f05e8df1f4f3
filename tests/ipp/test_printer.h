#pragma once
// A real IPP printer for the tests: CUPS' ippeveprinter on a free port of 127.0.0.1, and the
// HTTP POST that carries a request to it. Nothing else is contacted.

#include <sys/types.h>
#include <string>

#include "http_reply.h"

namespace testing_support {

// A started program, ended (and waited for) when the object goes.
class ChildProcess {
  public:
    ChildProcess() = default;
    explicit ChildProcess(pid_t pid) : pid_(pid) {}
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;
    ChildProcess(ChildProcess&& other) noexcept;
    ChildProcess& operator=(ChildProcess&& other) noexcept;

    // Whether it has ended (and is then reaped).
    bool ended();
    pid_t pid() const { return pid_; }

  private:
    pid_t pid_ = -1;
};

// A new folder of its own, removed with everything in it when the object goes.
class TemporaryFolder {
  public:
    TemporaryFolder();
    ~TemporaryFolder();
    TemporaryFolder(const TemporaryFolder&) = delete;
    TemporaryFolder& operator=(const TemporaryFolder&) = delete;
    const std::string& path() const { return path_; }

  private:
    std::string path_;
};

class TestPrinter {
  public:
    // Starts `ippeveprinter -M make -m model -p PORT -r off name` and returns once it accepts
    // connections. Throws std::runtime_error when it cannot be started or does not come up
    // within ten seconds, with what it wrote.
    TestPrinter(const std::string& make, const std::string& model, const std::string& name);
    TestPrinter(const TestPrinter&) = delete;
    TestPrinter& operator=(const TestPrinter&) = delete;

    int port() const { return port_; }

  private:
    // Ended in reverse order, also when the start fails half way.
    TemporaryFolder folder_;  // its spool folder and the output of both programs
    ChildProcess bus_;
    ChildProcess printer_;
    int port_ = 0;
};

// The request as an HTTP/1.1 POST to /ipp/print on 127.0.0.1:port, Content-Type
// application/ipp; the reply once whole. Throws std::runtime_error when there is none within
// ten seconds.
HttpReply postIpp(int port, const std::string& request);

}  // namespace testing_support
