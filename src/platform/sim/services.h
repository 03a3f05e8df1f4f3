#pragma once
// The platform services of the simulated machine. Each call builds its transcript line, lets
// a matching fault fail it, takes effect on the machine and records the line.

#include <memory>

#include "platform/services.h"
#include "platform/sim/codepage.h"
#include "platform/sim/machine.h"
#include "platform/sim/script.h"
#include "platform/spooler.h"

namespace sim {

class SimWmi : public platform::Wmi {
  public:
    explicit SimWmi(Machine& machine) : machine_(machine) {}
    std::unique_ptr<platform::WmiService> connect(const std::string& moniker) override;

  private:
    Machine& machine_;
};

class SimShell : public platform::Shell {
  public:
    SimShell(Machine& machine, const SimCodepage& codepage)
        : machine_(machine), codepage_(codepage) {}
    long long run(const std::string& command, std::optional<int> style, bool wait) override;
    void regWrite(const std::string& path, const std::string& value,
                  const std::string& type) override;
    void open(const std::string& file, const std::string& verb, int style) override;

  private:
    Machine& machine_;
    const SimCodepage& codepage_;
};

class SimNetwork : public platform::Network {
  public:
    explicit SimNetwork(Machine& machine) : machine_(machine) {}
    void setDefaultPrinter(const std::string& name) override;
    void addWindowsPrinterConnection(const std::string& path) override;

  private:
    Machine& machine_;
};

class SimLauncher : public platform::Launcher {
  public:
    SimLauncher(Machine& machine, const SimCodepage& codepage)
        : machine_(machine), codepage_(codepage) {}
    void start(const std::string& command, int style) override;

  private:
    Machine& machine_;
    const SimCodepage& codepage_;
};

class SimFiles : public platform::Files {
  public:
    SimFiles(Machine& machine, const SimCodepage& codepage)
        : machine_(machine), codepage_(codepage) {}
    bool exists(const std::string& name) override;
    std::string readAll(const std::string& name) override;
    void writeAtomically(const std::string& name, const std::string& bytes) override;
    void append(const std::string& name, const std::string& bytes) override;
    void copy(const std::string& from, const std::string& to) override;
    std::optional<platform::FileStamp> stamp(const std::string& name) override;
    void remove(const std::string& name) override;
    std::vector<std::string> list(const std::string& pattern) override;

  private:
    Machine& machine_;
    const SimCodepage& codepage_;
};

class SimProfileApi : public platform::ProfileApi {
  public:
    SimProfileApi(Machine& machine, const SimCodepage& codepage)
        : machine_(machine), codepage_(codepage) {}
    std::vector<std::string> names(const std::string& file,
                                   const std::optional<std::string>& section) override;

  private:
    Machine& machine_;
    const SimCodepage& codepage_;
};

class SimMessageBoxes : public platform::MessageBoxes {
  public:
    SimMessageBoxes(Machine& machine, Script& script) : machine_(machine), script_(script) {}
    platform::Answer show(const std::string& text, const std::string& title, platform::Icon icon,
                          platform::Buttons buttons) override;

  private:
    Machine& machine_;
    Script& script_;
};

class SimClock : public platform::Clock {
  public:
    explicit SimClock(Machine& machine) : machine_(machine) {}
    double now() override { return machine_.clock; }
    void sleep(double seconds) override;

  private:
    Machine& machine_;
};

class SimProcess : public platform::Process {
  public:
    explicit SimProcess(Machine& machine) : machine_(machine) {}
    std::string exeName() override { return machine_.exeName; }
    std::string exeFolder() override { return machine_.folder; }
    std::vector<std::string> arguments() override { return machine_.arguments; }
    bool runsAsLocalSystem() override { return machine_.localSystem; }
    platform::WindowsTarget target() override;
    [[noreturn]] void end(int exitCode) override;

  private:
    Machine& machine_;
};

// Removals: "printer.remove" and "port.remove" lines, each with "removed" after the call.
class SimSpooler : public platform::Spooler {
  public:
    explicit SimSpooler(Machine& machine) : machine_(machine) {}
    bool removePrinter(const std::string& name) override;
    bool removePort(const std::string& name) override;

  private:
    Machine& machine_;
};

// The install log, in memory: the final state shows it, the transcript does not.
class SimLog : public platform::Log {
  public:
    explicit SimLog(Machine& machine) : machine_(machine) {}
    void write(const std::string& event) noexcept override;
    // The copy is a file of the package folder, in UTF-8; a path with a folder in it cannot be
    // written, as the simulated machine has no other folders.
    void copyTo(const std::string& path) noexcept override;

  private:
    Machine& machine_;
    std::string copy_;
};

// Thrown by the simulated process's end, so the whole program unwinds to the runner.
struct ProcessEnded {};

// Matches a file name against a pattern with * and ?, ignoring ASCII case.
bool wildcardMatch(const std::string& pattern, const std::string& name);

}  // namespace sim
