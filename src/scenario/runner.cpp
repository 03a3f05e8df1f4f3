#include "scenario/runner.h"

#include <optional>
#include <stdexcept>

#include "app/program.h"
#include "platform/sim/printer_network.h"
#include "platform/sim/services.h"
#include "platform/sim/ui/backend.h"
#include "scenario/scenario.h"

namespace scenario {

namespace {

// One simulated machine with every service, the program on it, and the user's script.
class Simulation {
  public:
    Simulation(const Scenario& s, sim::Transcript& transcript)
        : machine_(transcript),
          codepage_(s.codepage),
          script_(s.actions),
          wmi_(machine_),
          shell_(machine_, codepage_),
          network_(machine_),
          launcher_(machine_, codepage_),
          files_(machine_, codepage_),
          profileApi_(machine_, codepage_),
          messageBoxes_(machine_, script_),
          clock_(machine_),
          process_(machine_),
          spooler_(machine_),
          log_(machine_),
          backend_(machine_, script_),
          printerNetwork_(machine_),
          services_{wmi_,      shell_,      network_,      launcher_,      files_,
                    codepage_, profileApi_, messageBoxes_, clock_,         backend_,
                    process_,  spooler_,    log_,          printerNetwork_} {
        prepareMachine(s, machine_);
        for (const FolderFile& f : s.folder) {
            sim::SimFile& file = machine_.createFile(f.name);
            file.bytes = f.isText ? codepage_.encode(f.text) : f.bytes;
            file.hidden = f.hidden;
        }
    }

    // Runs the program until it ends or the actions run out.
    void run() {
        app::Program program(services_, backend_, &backend_);
        backend_.attach(program.runtime(),
                        [&program](const std::string& name) { return program.findLoaded(name); });
        try {
            program.run();
        } catch (const sim::ProcessEnded&) {
        } catch (const sim::ActionsExhausted&) {
            machine_.record(sim::Transcript::line("idle"));
        }
    }

    sim::json::Value state() const { return machine_.state(codepage_); }
    sim::Machine& machine() { return machine_; }

  private:
    sim::Machine machine_;
    sim::SimCodepage codepage_;
    sim::Script script_;
    sim::SimWmi wmi_;
    sim::SimShell shell_;
    sim::SimNetwork network_;
    sim::SimLauncher launcher_;
    sim::SimFiles files_;
    sim::SimProfileApi profileApi_;
    sim::SimMessageBoxes messageBoxes_;
    sim::SimClock clock_;
    sim::SimProcess process_;
    sim::SimSpooler spooler_;
    sim::SimLog log_;
    sim::SimBackend backend_;
    sim::SimPrinterNetwork printerNetwork_;
    platform::Services services_;
};

sim::json::Value scenarioError(const std::string& message) {
    sim::json::Value line = sim::Transcript::line("scenario-error");
    line.set("message", message);
    return line;
}

}  // namespace

int runScenario(const std::string& scenarioText, std::ostream& out) {
    sim::Transcript transcript(&out);
    Scenario s;
    std::optional<Simulation> simulation;
    try {
        s = parseScenario(sim::json::parse(scenarioText));
        simulation.emplace(s, transcript);
    } catch (const std::exception& e) {
        transcript.write(scenarioError(e.what()));
        // Still the last line: the state of an untouched default machine.
        sim::Transcript scratch;
        sim::Machine empty(scratch);
        sim::SimCodepage codepage(platform::kTraditionalChineseCodepage);
        transcript.write(empty.state(codepage));
        return 2;
    }
    int status = 0;
    try {
        simulation->run();
    } catch (const sim::ScenarioError& e) {
        transcript.write(scenarioError(e.message));
        status = 2;
    } catch (const std::exception& e) {
        // An action field of the wrong type surfaces here.
        transcript.write(scenarioError(e.what()));
        status = 2;
    }
    transcript.write(simulation->state());
    return status;
}

}  // namespace scenario
