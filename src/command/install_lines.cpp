#include "command/install_lines.h"

#include "command/quote.h"
#include "platform/error.h"
#include "platform/number.h"
#include "text/text.h"

namespace command {

std::vector<InstallPass> planPasses(std::string_view third, const std::string& printerName) {
    bool twoPrinters = third.size() == 1 && third[0] >= '1' && third[0] <= '9';
    if (!twoPrinters)
        return {{printerName, profile::kBlackFile}};
    return {{printerName + kColorSuffix, profile::kColorFile},
            {printerName + kBlackSuffix, profile::kBlackFile}};
}

OptionSteps optionStepsFor(std::string_view pair) {
    // The two pairs compared as numbers: flags "10" and "11".
    constexpr double kDefaultPrinterPair = 10;
    constexpr double kBothPair = 11;
    std::optional<double> number;
    try {
        number = platform::toNumber(pair);
    } catch (const platform::Error&) {
        // The first comparison fails in evaluation; the run goes on into its steps.
        return OptionSteps::DefaultPrinter;
    }
    if (*number == kDefaultPrinterPair)
        return OptionSteps::DefaultPrinter;
    if (pair == "01")
        return OptionSteps::PreferenceFile;
    if (*number == kBothPair)
        return OptionSteps::Both;
    if (pair == "00")
        return OptionSteps::Neither;
    return OptionSteps::Nothing;
}

bool isNetworkPath(std::string_view address) {
    return text::contains(address, "\\\\");
}
std::string tcpPortName(const std::string& address) {
    return "IP_" + address;
}
std::string installLine(const std::string& printerName, const std::string& infFile,
                        const PortName& port, const std::string& model) {
    const std::string portArgument =
        port.networkPath ? command::quoted(port.name) : command::bare(port.name);
    return "rundll32 printui.dll,PrintUIEntry /if /b " + command::quoted(printerName) + " /f " +
           command::bare(infFile) + " /r " + portArgument + " /m " + command::quoted(model);
}

std::string preferenceLine(const std::string& printerName, const std::string& preferenceFile) {
    return "rundll32 printui.dll,PrintUIEntry  /Sr /n " + command::quoted(printerName) + " /a " +
           command::bare(preferenceFile) + " d g u ";
}

std::string wqlString(const std::string& value) {
    std::string out = "'";
    for (char c : value) {
        if (c == '\\' || c == '\'')
            out += '\\';
        out += c;
    }
    return out + "'";
}

std::string printerQuery(const std::string& printerName) {
    return "Select * From Win32_Printer Where DeviceID = " + wqlString(printerName);
}

std::string printersOnPortQuery(const std::string& portName) {
    return "Select * From Win32_Printer Where PortName = " + wqlString(portName);
}

std::string tcpPortQuery(const std::string& portName) {
    return "Select * From Win32_TCPIPPrinterPort Where Name = " + wqlString(portName);
}

std::string sharePath(const std::string& host, const std::string& share) {
    return "\\\\" + host + "\\" + share;
}

}  // namespace command
