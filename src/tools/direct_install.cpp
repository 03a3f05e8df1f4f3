#include "tools/direct_install.h"

#include "command/install_lines.h"
#include "command/quote.h"
#include "platform/printer_network.h"

namespace tools {

namespace {

using platform::Value;

std::string forCmd(const std::string& text) {
    return command::quoted(text, command::Receiver::Cmd);
}

}  // namespace

std::string programFolder(const std::string& exeFolder) {
    std::string folder = exeFolder;
    if (folder.size() == 2 && folder[1] == ':')
        return folder + "\\";
    // "C:\" is the root and keeps its backslash; any other folder loses its last one.
    if (folder.size() > 3 && folder.back() == '\\')
        folder.pop_back();
    return folder;
}

std::string pathLine(const std::string& programFolder) {
    return "本程式的路徑為：" + programFolder;
}

platform::Properties tcpPortRecord(const std::string& address) {
    return {{"Name", Value::text(command::tcpPortName(address))},
            {"Protocol", Value::int16(1)},
            {"HostAddress", Value::text(address)},
            {"PortNumber", Value::text(std::to_string(platform::kRawPrintPort))},
            {"SNMPEnabled", Value::fromBool(false)}};
}

platform::Properties driverRecord(WmiInstallButton button, const std::string& model,
                                  const std::string& infFile, const std::string& folder) {
    if (button == WmiInstallButton::Vbs) {
        return {{"Name", Value::text(model)},
                {"SupportedPlatform", Value::text("Windows NT x86\\")},
                {"Version", Value::text("3")},
                {"FilePath", Value::text(".\\")},
                {"Infname", Value::text(infFile)}};
    }
    // Infname is set first, to the bare name, and last to the full path: it keeps its place.
    return {{"Infname", Value::text("\"" + folder + "\\" + infFile + "\"")},
            {"Name", Value::text(model)},
            {"SupportedPlatform", Value::text("Windows NT x86")},
            {"Version", Value::text("3")},
            {"FilePath", Value::text("\"" + folder + "\\\\\"")}};
}

platform::Properties printerRecord(const std::string& model, const std::string& address,
                                   const std::string& printerName) {
    return {{"drivername", Value::text(model)},
            {"portname", Value::text(command::tcpPortName(address))},
            {"DeviceID", Value::text(printerName)},
            {"Location", Value::text("")},
            {"Network", Value::fromBool(true)},
            {"Shared", Value::fromBool(false)},
            {"ShareName", Value::text("")},
            {"Comment", Value::text("")}};
}

std::string directInstallCommand(const std::string& printerName, const std::string& infFile,
                                 const std::string& portName, const std::string& model) {
    return "rundll32 printui.dll,PrintUIEntry /if /b " + forCmd(printerName) + " /f " +
           command::bare(infFile, command::Receiver::Cmd) + " /r " +
           command::bare(portName, command::Receiver::Cmd) + " /m " + forCmd(model);
}

std::string directPreferenceCommand(const std::string& installCommand,
                                    const std::string& printerName,
                                    const std::string& preferenceFile) {
    return installCommand + " /Sr " + " /n " + forCmd(printerName) + " /a " +
           command::bare(preferenceFile, command::Receiver::Cmd) + " d g u ";
}

std::string directDefaultCommand(const std::string& printerName) {
    return "rundll32 printui.dll,PrintUIEntry /y /n " + forCmd(printerName);
}

std::optional<std::string> launchLine(std::string_view optionPair,
                                      const std::string& installCommand,
                                      const std::string& preferenceCommand,
                                      const std::string& defaultCommand) {
    // "start /wait" holds the chain until printui has ended.
    switch (command::optionStepsFor(optionPair)) {
        case command::OptionSteps::DefaultPrinter:
            return "cmd /c start  /wait " + installCommand + " && " + defaultCommand;
        case command::OptionSteps::PreferenceFile:
            return "cmd /c  start /wait " + installCommand + " && " + preferenceCommand;
        case command::OptionSteps::Both:
            return "cmd /c  start /wait " + installCommand + " && " + preferenceCommand + " && " +
                   defaultCommand;
        case command::OptionSteps::Neither:
            return "cmd /c  start /wait " + installCommand;
        case command::OptionSteps::Nothing:
            break;
    }
    return std::nullopt;
}

std::optional<std::string> refusedCommandPiece(
    const std::vector<std::pair<std::string, std::string>>& namedTexts) {
    for (const auto& [name, value] : namedTexts) {
        if (auto why = command::refusal(value, command::Receiver::Cmd)) {
            return "「" + name + "」" + command::refusalText(*why) +
                   "，不能放進安裝的命令列。\r\n\r\n沒有安裝任何東西。";
        }
    }
    return std::nullopt;
}

std::string stepFailureText(const std::string& step, const std::string& consequence,
                            const std::string& reason) {
    return "無法" + step + (consequence.empty() ? "" : "，" + consequence) + "。\r\n\r\n" + reason;
}

}  // namespace tools
