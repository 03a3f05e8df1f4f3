#include "app/uninstall.h"

#include <algorithm>

#include "app/program.h"
#include "command/install_lines.h"
#include "forms/damaged_package.h"
#include "forms/tell_failures.h"
#include "profile/profile_store.h"
#include "text/text.h"

namespace app {

namespace {

// The profile as ip.ini holds it; it is only read, never made.
profile::InstallRequest packageRequest(Program& program) {
    platform::Services& os = program.services();
    std::optional<std::string> line;
    if (auto e = program.runtime().trap(
            [&] { line = profile::ProfileStore(os.files, os.codepage).readFirstLine(); })) {
        forms::stopDamagedPackage(program.runtime(), os, "無法讀取 ip.ini：" + forms::reasonOf(*e));
    }
    const std::vector<std::string> parts = profile::splitLine(*line, profile::Separator::Comma);
    if (auto damage = profile::damageOf(parts))
        forms::stopDamagedPackage(program.runtime(), os, *damage);
    profile::UserChoice choice;
    choice.address = program.switches().ip;
    choice.packageName = program.switches().name;
    return profile::requestFrom(parts, profile::namePartsOf(os.process.exeName()), choice);
}

void removePrinters(Program& program, const std::vector<std::string>& names) {
    platform::Services& os = program.services();
    for (const std::string& name : names) {
        // The spooler's log says whether there was one to remove.
        if (auto e = program.runtime().trap([&] { os.spooler.removePrinter(name); }))
            program.outcome().fail("移除印表機「" + name + "」", *e);
    }
}

// The package's TCP/IP port, unless a printer other than the package's still prints to it.
void removePort(Program& program, const profile::InstallRequest& request) {
    platform::Services& os = program.services();
    if (command::isNetworkPath(request.address) ||
        request.address == profile::kPlaceholderAddress) {
        return;  // a path port is the printer's share; the example address made none
    }
    const std::string port = command::tcpPortName(request.address);
    std::size_t users = 0;
    if (auto e = program.runtime().trap([&] {
            users = os.wmi.connect(command::kCimv2Moniker)
                        ->execQuery(command::printersOnPortQuery(port), std::nullopt)
                        .size();
        })) {
        program.outcome().fail("移除連接埠 " + port,
                               "無法確認沒有其他印表機使用它：" + forms::reasonOf(*e));
        return;
    }
    if (users > 0) {
        os.log.write("連接埠 " + port + " 仍有 " + std::to_string(users) +
                     " 台其他印表機使用，保留它");
        return;
    }
    if (auto e = program.runtime().trap([&] { os.spooler.removePort(port); }))
        program.outcome().fail("移除連接埠 " + port, *e);
}

}  // namespace

std::vector<std::string> installedNamesOf(const profile::InstallRequest& request) {
    const auto passes = command::planPasses(text::charAt(request.flags, 2), request.printerName);
    std::vector<std::string> names;
    names.reserve(passes.size() + 1);
    for (const command::InstallPass& pass : passes)
        names.push_back(pass.printerName);
    if (request.copyName && passes.size() == 1 &&
        !text::sameIgnoringAsciiCase(*request.copyName, request.printerName)) {
        names.push_back(*request.copyName);
    }
    return names;
}

void uninstallPackage(Program& program, bool ask) {
    platform::Services& os = program.services();
    forms::Runtime& runtime = program.runtime();
    const profile::InstallRequest request = packageRequest(program);
    const std::vector<std::string> names = installedNamesOf(request);
    if (ask) {
        std::string shown;
        for (const std::string& name : names)
            shown += (shown.empty() ? "" : "」、「") + name;
        const platform::Answer answer =
            os.messageBoxes.show("是否移除印表機「" + shown + "」？", forms::kAppTitle,
                                 platform::Icon::Question, platform::Buttons::YesNo);
        if (answer != platform::Answer::Yes)
            runtime.endProgram(forms::exit_code::kUserCancelled);
    }
    removePrinters(program, names);
    removePort(program, request);
    forms::tellFailures(runtime, program.outcome());
    runtime.endProgram(program.outcome().exitCode());
}

}  // namespace app
