#include "engine/setupprint_form.h"

#include "app/address_check.h"
#include "app/damaged_package.h"
#include "app/form1.h"
#include "app/inf_check.h"
#include "app/program.h"
#include "command/quote.h"
#include "engine/engine_steps.h"
#include "profile/profile_store.h"
#include "text/text.h"
#include "ui/msg_form.h"

namespace engine {

namespace {

std::string quoted(const std::string& text) {
    return command::quoted(text);
}

// The first of the texts that would reach a command line and cannot be passed whole, as the
// damaged-package reason naming it.
std::optional<std::string> unsafeField(
    const std::vector<std::pair<const char*, std::string>>& fields) {
    for (const auto& [name, value] : fields) {
        if (auto why = command::refusal(value, command::Receiver::Argv))
            return std::string("「") + name + "」" + command::refusalText(*why) + "。";
    }
    return std::nullopt;
}

}  // namespace

SetupprintForm::SetupprintForm(app::Program& program)
    : Form(program.runtime(), "setupprint", 3735, 2220),
      USB_Label(*this, "USB_Label", {360, 360, 975, 495}, "安裝方式"),
      changeNameText(*this, "changeNameText", {360, 720, 3015, 255}, ""),
      USB_install(*this, "USB_install", {360, 1080, 1455, 495}, "USB本機安裝"),
      Text1(*this, "Text1", {5640, 2640, 3015, 270}, "Text1"),
      Text2(*this, "Text2", {5640, 3240, 3015, 270}, "Text2"),
      Text3(*this, "Text3", {5640, 3720, 3015, 375}, "Text3"),
      Text4(*this, "Text4", {5640, 4320, 3015, 270}, "Text4"),
      Text5(*this, "Text5", {5640, 4920, 3015, 270}, "Text5"),
      program_(program) {
    designCaption("安裝驅動程式");
    startPosition = forms::StartPosition::CenterScreen;
    USB_install.onClick = [this] { USB_install_Click(); };
}

void SetupprintForm::Form_Load() {
    platform::Services& os = program_.services();
    EngineContext ctx{program_, os, runtime(), *this, program_.outcome()};
    hide();

    // From here on a failing step is skipped and the run goes on; what the user's order asked
    // for and did not happen is told at the end.
    ctx.step([&] {
        app::Form1& main = program_.form1();
        changeNameText.setText(main.print_nameLabel.text() != main.Text2.text() ? main.Text2.text()
                                                                                : "");
    });
    ctx.step([&] { program_.msg().show(false); });
    profile::ProfileStore store(os.files, os.codepage);
    ctx.task("建立 ip.ini", [&] { store.ensureExists(); });
    std::optional<std::string> line;
    ctx.task("讀取 ip.ini", [&] { line = store.readFirstLine(); });
    if (!line) {
        tellFailures(ctx);
        runtime().endProgram(ctx.outcome.exitCode());
    }
    os.log.write("ip.ini：" + *line);
    std::vector<std::string> profileParts = profile::splitLine(*line, profile::Separator::Comma);
    // A line that is short of fields, or holds what no field can, is a damaged package:
    // installing from it would guess.
    if (auto damage = profile::damageOf(profileParts))
        app::stopDamagedPackage(runtime(), os, *damage);
    ctx.step([&] { Text1.setText(profileParts[1]); });
    ctx.step([&] { Text2.setText(profileParts[2]); });
    ctx.step([&] { Text3.setText(profileParts[3]); });
    ctx.step([&] { Text4.setText(profileParts[4]); });
    ctx.step([&] { Text5.setText(profileParts[5]); });

    const NameParts names = namePartsOf(os.process.exeName());
    if (auto address = names.nonEmpty(1)) {
        ctx.step([&] { Text1.setText(*address); });
        profileParts[1] = *address;
    }
    // What the user confirmed is what is installed: over a copy's own address, and whatever
    // ip.ini holds now (a copy's run does not write it; a read-only one could not be written).
    const std::optional<std::string>& confirmed = program_.confirmedAddress();
    if (confirmed && *confirmed != profileParts[1]) {
        ctx.step([&] { Text1.setText(*confirmed); });
        profileParts[1] = *confirmed;
    }

    const std::string mode = program_.msg().USB_Label.text();
    if (mode == ui::kModeUsb) {
        ctx.step([&] { usbInstall(ctx); });
        ctx.step([&] { program_.msg().unload(); });
        return;
    }
    if (mode == ui::kModeShare)
        connectShareFromProfile(ctx);
    if (names.at(0) == "SHARE")
        connectShareFromName(ctx, names);

    // A copy's own name is checked as a typed address is: anything else in its place would
    // become a port and a printer of nonsense.
    if (auto address = names.nonEmpty(1);
        !confirmed && address && !app::isAcceptableAddress(*address, os.codepage)) {
        app::stopDamagedPackage(runtime(), os,
                                "安裝程式的檔名「" + os.process.exeName() + "」中的位址「" +
                                    *address + "」不是 IP 位址或網路路徑。");
    }

    if (profileParts[1] == profile::kPlaceholderAddress) {
        // Nobody has set the address yet: the main program asks for it.
        ctx.step([&] { setWindowState(forms::WindowState::Minimized); });
        ctx.step([&] {
            program_.msg().setWindowState(forms::WindowState::Minimized);
            program_.msg().hide();
        });
        // A package that ships only the installer still reaches the main window through it.
        // A folder that cannot be looked into keeps the designed main program.
        bool shipsMainProgram = true;
        ctx.step([&] { shipsMainProgram = os.files.exists(kMainProgram); });
        std::string mainProgram = kMainProgram;
        if (!shipsMainProgram)
            mainProgram = quoted(os.process.exeName());
        long long mainExit = 0;
        if (!ctx.task("啟動主程式 " + mainProgram, [&] {
                mainExit = os.shell.run(mainProgram, platform::window_style::kNormal, true);
            })) {
            tellFailures(ctx);
            runtime().endProgram(ctx.outcome.exitCode());
        }
        // The main program did the install, or not, and its code says which.
        runtime().endProgram(static_cast<int>(mainExit));
    }

    const std::string address = Text1.text();
    const std::string printerName = Text2.text();
    const std::string model = Text3.text();
    const std::string infFile = Text4.text();
    const std::string flags = Text5.text();
    if (auto unsafe = unsafeField({{"印表機IP", address},
                                   {"印表機名稱", printerName},
                                   {"印表機模組", model},
                                   {"INF檔名", infFile}})) {
        app::stopDamagedPackage(runtime(), os, *unsafe);
    }
    app::stopUnlessModelDeclared(runtime(), os, infFile, model);
    const OptionSteps steps = optionStepsFor(text::chars(flags, 0, 2));
    const std::vector<InstallPass> passes = planPasses(text::charAt(flags, 2), printerName);
    PortName port;
    bool installStepRan = false;
    std::vector<std::string> installed;
    ui::MsgForm& notice = program_.msg();
    for (const InstallPass& pass : passes) {
        ctx.step(
            [&] { notice.PrintNameLabel.setText(names.nonEmpty(2).value_or(pass.printerName)); });
        if (!changeNameText.text().empty()) {
            ctx.step([&] { notice.PrintNameLabel.setText(changeNameText.text()); });
        }
        ctx.progress("正在...新增連接埠");
        port = createPort(ctx, address, port);
        bool ran = runPassSteps(
            ctx, steps, pass.printerName, installLine(pass.printerName, infFile, port, model),
            preferenceLine(pass.printerName, pass.preferenceFile), pass.preferenceFile);
        if (ran)
            installed.push_back(pass.printerName);
        installStepRan = installStepRan || ran;
    }
    if (!installed.empty())
        verifyPrinters(ctx, installed, model, infFile);
    finishRun(ctx, names, installStepRan, passes.size() > 1);
}

void SetupprintForm::Form_Activate() {
    unload();
}

void SetupprintForm::Form_Unload(bool&) {
    writeLegacyDefaultPrinterMode(program_.services().shell);
}

void SetupprintForm::USB_install_Click() {
    EngineContext ctx{program_, program_.services(), runtime(), *this, program_.outcome()};
    usbInstall(ctx);
}

}  // namespace engine
