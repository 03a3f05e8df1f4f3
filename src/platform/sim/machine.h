#pragma once
// The simulated Windows machine: what a real one would hold (adapters, printers, ports,
// drivers, services, registry, the package folder's files, which programs exist), the faults
// it has been told to raise, and the transcript every call goes into.

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/error.h"
#include "platform/sim/json.h"
#include "platform/sim/network_hosts.h"
#include "platform/sim/transcript.h"
#include "platform/system.h"
#include "platform/wmi.h"
#include "text/text.h"

namespace sim {

struct SimFile {
    std::string name;  // as created; lookups ignore ASCII case, as Windows does
    std::string bytes;
    bool hidden = false;
    std::int64_t written = 0;  // the machine's write count at its last write
};

struct Fault {
    json::Value match;  // every field given must equal the call's transcript line
    std::optional<long long> times;
    std::optional<long long> skip;  // matches let through before the fault takes effect
    std::optional<long long> number;
    std::optional<std::string> description;
    // A WMI method that returns this code instead of raising, and does nothing; for a run,
    // the program's exit code.
    std::optional<long long> result;
};

struct Port {
    std::string name;
    std::string hostAddress;
    std::string portNumber;
    long long protocol = 1;
    bool snmpEnabled = false;
};

class Machine {
  public:
    explicit Machine(Transcript& transcript) : transcript_(transcript) {}

    Transcript& transcript() { return transcript_; }

    // Raises the call's fault when one matches its would-be line; a matched fault with
    // "times" counts down. The error carries the line as its call, and the text of its number
    // unless the fault gives one.
    void check(const json::Value& callLine, long long defaultNumber);
    // Fails the call as the OS would: its error line is held in the transcript (see
    // Transcript::hold) and the error raised.
    [[noreturn]] void fail(long long number, const json::Value& callLine);
    [[noreturn]] void raise(const platform::Error& error);
    // Builds the error line of a failed call, naming where it happened; the forms backend
    // sets it, since only it knows the window and reaction that are running.
    std::function<json::Value(const platform::Error&)> errorLine;
    // The code a matching fault with a result makes the method return, counted down as
    // check() does; nothing when no such fault matches.
    std::optional<long long> forcedResult(const json::Value& callLine);
    // Writes the line of a call that went through.
    void record(const json::Value& line) { transcript_.write(line); }

    // Files of the package folder.
    SimFile* file(const std::string& name);
    // The file of that name, made when missing, marked as written now: every write goes
    // through here.
    SimFile& createFile(const std::string& name);
    void removeFile(const std::string& name);
    std::vector<SimFile>& files() { return files_; }

    // Programs: whether a program name (first word of a command line) can be started.
    bool programExists(const std::string& program) const;

    std::string normalizedRegistryPath(const std::string& path) const;

    // The state line written at the end of every run.
    json::Value state(const class SimCodepage& codepage) const;

    // Everything a scenario may set.
    std::string computerName = "PC01";
    std::string exeName = "Velmora.exe";
    std::string folder = "C:\\Package";
    std::vector<std::string> arguments;  // after the program's name
    bool localSystem = false;            // the account the program runs as
    std::vector<platform::WmiObject> adapters;
    std::vector<platform::WmiObject> printers;
    std::vector<Port> ports;
    std::vector<std::string> drivers;
    std::optional<std::string> defaultPrinter;
    std::vector<std::string> connections;
    std::vector<std::pair<std::string, std::string>> preferences;  // printer, file applied
    std::vector<std::pair<std::string, json::Value>> registry;     // in the order first written
    std::map<std::string, std::string> services{{"Spooler", "Running"}};
    std::string osCaption = "Microsoft Windows 10 Pro";
    std::string osVersion = "10.0.19045";
    platform::Architecture architecture = platform::Architecture::Amd64;
    std::uint16_t language = platform::kTaiwanLanguage;  // the user interface language
    std::set<std::string> missingPrograms;               // lower case, without ".exe"
    std::vector<Fault> faults;
    double clock = 0;              // seconds of virtual time
    std::vector<std::string> log;  // the install log's events, kept in memory
    // Printers on the network; without it every address is one that says nothing of itself.
    std::optional<NetworkHosts> network;

    void setRegistry(const std::string& path, json::Value value);
    const json::Value* registryValue(const std::string& path) const;
    platform::WmiObject* printer(const std::string& name);

  private:
    Transcript& transcript_;
    std::vector<SimFile> files_;
    std::int64_t writes_ = 0;
};

// The Windows the machine runs: its architecture and language, and the version that
// Win32_OperatingSystem reports ("10.0.19045": major, minor, build).
platform::WindowsTarget targetOf(const Machine& machine);

using text::asciiLower;

// The program a command line starts: its first word, without quotes, folder or ".exe", in
// lower case ("C:\\Windows\\reg.exe add ..." gives "reg").
std::string programOf(const std::string& commandLine);

}  // namespace sim
