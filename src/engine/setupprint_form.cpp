#include "engine/setupprint_form.h"

#include "command/quote.h"
#include "engine/engine_steps.h"
#include "forms/damaged_package.h"
#include "inf/model_check.h"
#include "profile/address_check.h"
#include "profile/profile_store.h"
#include "text/text.h"

namespace engine {

namespace {

// The first of the texts that would reach a command line and cannot be passed whole, as the
// damaged-package reason naming it.
std::optional<std::string> unsafeField(const profile::InstallRequest& request) {
    const std::pair<const char*, const std::string*> fields[] = {
        {"印表機IP", &request.address},
        {"印表機名稱", &request.printerName},
        {"印表機模組", &request.model},
        {"INF檔名", &request.infFile},
    };
    for (const auto& [name, value] : fields) {
        if (auto why = command::refusal(*value, command::Receiver::Argv))
            return std::string("「") + name + "」" + command::refusalText(*why) + "。";
    }
    return std::nullopt;
}

// The profile's line split whole; a profile that cannot be read ends the run with its failure,
// and one short of fields, or holding what no field can, is a damaged package: installing from
// it would guess.
std::vector<std::string> readProfile(EngineContext& ctx) {
    profile::ProfileStore store(ctx.os.files, ctx.os.codepage);
    ctx.task("建立 ip.ini", [&] { store.ensureExists(); });
    std::optional<std::string> line;
    ctx.task("讀取 ip.ini", [&] { line = store.readFirstLine(); });
    if (!line) {
        tellFailures(ctx);
        ctx.runtime.endProgram(ctx.outcome.exitCode());
    }
    ctx.os.log.write("ip.ini：" + *line);
    std::vector<std::string> parts = profile::splitLine(*line, profile::Separator::Comma);
    if (auto damage = profile::damageOf(parts))
        forms::stopDamagedPackage(ctx.runtime, ctx.os, *damage);
    return parts;
}

// Nobody has set the address yet: the main program asks for it, and its exit code is the run's.
[[noreturn]] void askThroughMainProgram(EngineContext& ctx, forms::Form& engineWindow) {
    ctx.step([&] { engineWindow.setWindowState(forms::WindowState::Minimized); });
    ctx.step([&] { ctx.notice.minimize(); });
    // A package that ships only the installer still reaches the main window through it.
    // A folder that cannot be looked into keeps the designed main program.
    bool shipsMainProgram = true;
    ctx.step([&] { shipsMainProgram = ctx.os.files.exists(command::kMainProgram); });
    const std::string mainProgram = shipsMainProgram ? std::string(command::kMainProgram)
                                                     : command::quoted(ctx.os.process.exeName());
    long long mainExit = 0;
    if (!ctx.task("啟動主程式 " + mainProgram, [&] {
            mainExit = ctx.os.shell.run(mainProgram, platform::window_style::kNormal, true);
        })) {
        tellFailures(ctx);
        ctx.runtime.endProgram(ctx.outcome.exitCode());
    }
    ctx.runtime.endProgram(static_cast<int>(mainExit));
}

// The probe's verdict before the first change: a printer that does not answer ends the run
// when the user says so, or when the question could not be asked.
void goOnOnlyIfPrinterAnswers(EngineContext& ctx) {
    const ProbeVerdict verdict = probePrinter(ctx);
    if (verdict == ProbeVerdict::GoOn)
        return;
    ctx.step([&] { ctx.notice.close(); });
    if (verdict == ProbeVerdict::Declined) {
        ctx.os.log.write("印表機沒有回應，使用者選擇不安裝");
        ctx.runtime.endProgram(forms::exit_code::kUserCancelled);
    }
    tellFailures(ctx);
    ctx.runtime.endProgram(ctx.outcome.exitCode());
}

// A pass without a port adds no printer: its printer is named as not installed, by the name
// the notice shows (a copy's or a typed one).
void tellPrinterWithoutPort(EngineContext& ctx, const std::string& printerName) {
    const std::string& address = ctx.request.address;
    const std::string port =
        command::isNetworkPath(address) ? address : command::tcpPortName(address);
    ctx.outcome.fail("安裝印表機「" + printerName + "」",
                     "連接埠 " + port + " 沒有建立，這台印表機沒有安裝。");
}

// Every pass of the profile's printers, then the check that they exist and the end of the
// run. A run that cannot give the package's printer (a port or a printer failed) takes back
// what it made.
[[noreturn]] void installPrinters(EngineContext& ctx) {
    const profile::InstallRequest& request = ctx.request;
    const OptionSteps steps = command::optionStepsFor(text::chars(request.flags, 0, 2));
    const std::vector<InstallPass> passes =
        command::planPasses(text::charAt(request.flags, 2), request.printerName);
    bool portFailed = false;
    std::vector<std::string> installed;  // the passes whose steps ran
    for (const InstallPass& pass : passes) {
        // The name the user knows the printer by: typed, a copy's, or the pass's own.
        const std::string shownName =
            request.typedName.value_or(request.copyName.value_or(pass.printerName));
        ctx.step([&] { ctx.notice.showPrinterName(shownName); });
        if (&pass == &passes.front())
            goOnOnlyIfPrinterAnswers(ctx);
        ctx.progress("正在...新增連接埠");
        const std::optional<PortName> port = createPort(ctx, request.address);
        if (!port) {
            tellPrinterWithoutPort(ctx, shownName);
            portFailed = true;
            break;
        }
        const bool alreadyInstalled =
            steps != OptionSteps::Nothing &&
            keepOrClearEarlierPrinter(ctx, pass.printerName, *port, request.model);
        if (steps != OptionSteps::Nothing && !alreadyInstalled)
            ctx.made.printers.push_back(pass.printerName);
        const bool ran = runPassSteps(
            ctx, steps, pass.printerName,
            command::installLine(pass.printerName, request.infFile, *port, request.model),
            command::preferenceLine(pass.printerName, pass.preferenceFile), pass.preferenceFile,
            alreadyInstalled);
        if (ran)
            installed.push_back(pass.printerName);
    }
    const bool missing =
        !installed.empty() && verifyPrinters(ctx, installed, request.model, request.infFile);
    if (portFailed || missing)
        undoRun(ctx, portFailed ? "連接埠沒有建立" : "印表機安裝後找不到");
    finishRun(ctx, !installed.empty(), passes.size() > 1);
}

}  // namespace

// The window's design: positions and sizes in twips, as its designer laid them out.
// NOLINTBEGIN(readability-magic-numbers)
SetupprintForm::SetupprintForm(EngineHost& host)
    : Form(host.runtime(), "setupprint", 3735, 2220),
      USB_Label(*this, "USB_Label", {360, 360, 975, 495}, "安裝方式"),
      USB_install(*this, "USB_install", {360, 1080, 1455, 495}, "USB本機安裝"),
      host_(host) {
    // NOLINTEND(readability-magic-numbers)
    designCaption("安裝驅動程式");
    startPosition = forms::StartPosition::CenterScreen;
    USB_install.onClick = [this] { USB_install_Click(); };
}

void SetupprintForm::Form_Load() {
    platform::Services& os = runtime().services();
    EngineContext ctx{os, runtime(), host_.outcome(), host_.notice(), {}};
    hide();
    ctx.localSystem = os.process.runsAsLocalSystem();

    // From here on a failing step is skipped and the run goes on; what the user's order asked
    // for and did not happen is told at the end.
    ctx.step([&] { ctx.notice.open(); });
    const std::vector<std::string> profileParts = readProfile(ctx);
    const profile::NameParts names = profile::namePartsOf(os.process.exeName());
    ctx.request = profile::requestFrom(profileParts, names, host_.choice());

    if (ctx.request.mode == profile::InstallMode::Usb) {
        ctx.step([&] { usbInstall(ctx, host_); });
        ctx.step([&] { ctx.notice.close(); });
        return;
    }
    if (ctx.request.mode == profile::InstallMode::Share)
        connectShareFromProfile(ctx);
    if (names.at(0) == "SHARE")
        connectShareFromName(ctx, names);

    // A copy's own name is checked as a typed address is: anything else in its place would
    // become a port and a printer of nonsense.
    if (ctx.request.addressFrom == profile::Origin::CopyName &&
        !profile::isAcceptableAddress(ctx.request.address, os.codepage)) {
        forms::stopDamagedPackage(runtime(), os,
                                  "安裝程式的檔名「" + os.process.exeName() + "」中的位址「" +
                                      ctx.request.address + "」不是 IP 位址或網路路徑。");
    }
    if (ctx.request.address == profile::kPlaceholderAddress) {
        // Nobody is there to type it: installing the example address would install nothing.
        if (ctx.request.unattended) {
            forms::stopDamagedPackage(
                runtime(), os,
                std::string("安裝套件的印表機位址仍是範例位址 ") +
                    std::string(profile::kPlaceholderAddress) +
                    "，無人值守的安裝無法詢問位址。請在套件中設定位址，或以 /ip=位址 指定。");
        }
        askThroughMainProgram(ctx, *this);
    }
    if (auto unsafe = unsafeField(ctx.request))
        forms::stopDamagedPackage(runtime(), os, *unsafe);
    if (auto why = inf::undeclaredModel(os, ctx.request.infFile, ctx.request.model))
        forms::stopDamagedPackage(runtime(), os, *why);
    installPrinters(ctx);
}

void SetupprintForm::Form_Activate() {
    unload();
}

void SetupprintForm::Form_Unload(bool&) {
    // The user's own setting: a LocalSystem run leaves it, as it leaves the default printer.
    if (!runtime().services().process.runsAsLocalSystem())
        writeLegacyDefaultPrinterMode(runtime().services().shell);
}

void SetupprintForm::USB_install_Click() {
    EngineContext ctx{runtime().services(), runtime(), host_.outcome(), host_.notice(), {}};
    ctx.request.printerName =
        profile::fromParts(profile::ProfileStore(ctx.os.files, ctx.os.codepage).readParts())
            .printerName;
    usbInstall(ctx, host_);
}

}  // namespace engine
