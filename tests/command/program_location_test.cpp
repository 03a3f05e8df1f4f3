// Where each started program comes from: every command line the program starts names a program
// of the system folder (explorer: the Windows folder) or one the package ships, never one found
// by a search.

#include <gtest/gtest.h>

#include "app/form1.h"
#include "command/install_lines.h"
#include "command/program_location.h"
#include "engine/usb_models.h"
#include "ui/about_form.h"

namespace {

using command::Folders;
using command::programPath;

const Folders kFolders{"C:\\Windows\\system32", "C:\\Windows", "D:\\印表機\\二樓 Office"};

const std::string kSystem = "C:\\Windows\\system32\\";
const std::string kWindows = "C:\\Windows\\";
const std::string kPackage = "D:\\印表機\\二樓 Office\\";

struct Case {
    std::string line;
    std::optional<std::string> path;
};

void expectPaths(const std::vector<Case>& cases, const Folders& folders = kFolders) {
    for (const Case& c : cases) {
        EXPECT_EQ(programPath(c.line, folders), c.path) << c.line;
    }
}

TEST(ProgramPath, EveryDesignedLineStartsItsProgramFromWhereItBelongs) {
    expectPaths({
        {app::kUncCheckCommand, kSystem + "reg.exe"},
        {ui::browserCommand(app::kHelpPageAddress), kSystem + "cmd.exe"},
        {ui::browserCommand(ui::kMakerWebAddress), kSystem + "cmd.exe"},
        {"rundll32 printui.dll,PrintUIEntry /if /b \"Office\" /f x.inf /r IP_1.2.3.4 /m \"M\"",
         kSystem + "rundll32.exe"},
        {"rundll32 printui.dll,PrintUIEntry  /Sr /n \"Office\" /a black.dat d g u ",
         kSystem + "rundll32.exe"},
        {command::kPrintersFolder, kSystem + "rundll32.exe"},
        {command::kControlPrinters, kSystem + "control.exe"},
        {engine::kDevconRescan, kPackage + "devcon.exe"},
        {command::kMainProgram, kPackage + "Velmora.exe"},
        // The installer started again by its own name when the package lacks Velmora.exe.
        {"\"安裝.exe\"", kPackage + "安裝.exe"},
        {"\"安裝_10.0.0.8_彩色 二樓.exe\"", kPackage + "安裝_10.0.0.8_彩色 二樓.exe"},
        {"安裝_10.0.0.8_Office.exe", kPackage + "安裝_10.0.0.8_Office.exe"},
        // The package maker's preference recording.
        {"cmd /c start  /wait rundll32 printui.dll,PrintUIEntry /Ss /n \"Office\" /a black.dat",
         kSystem + "cmd.exe"},
        {"explorer x.inf", kWindows + "explorer.exe"},
        {"msg * 安裝完成", kSystem + "msg.exe"},
    });
}

TEST(ProgramPath, EveryUsbLineStartsThePackagesDevcon) {
    std::size_t lines = 0;
    for (const engine::UsbModel& model : engine::usbModels()) {
        for (const char* line : model.lines) {
            EXPECT_EQ(programPath(line, kFolders), kPackage + "devcon.exe") << line;
            ++lines;
        }
    }
    EXPECT_GE(lines, 10u);
}

TEST(ProgramPath, SystemProgramsInAnySpellingComeFromTheSystemFolder) {
    expectPaths({
        {"REG ADD x", kSystem + "reg.exe"},
        {"Reg.Exe add x", kSystem + "reg.exe"},
        {"\"cmd.exe\" /c x", kSystem + "cmd.exe"},
        {"\"CONTROL\"", kSystem + "control.exe"},
        {"rundll32.EXE\tshell32.dll,x", kSystem + "rundll32.exe"},
        {"  control printers", kSystem + "control.exe"},
        {"\"reg \" add", kSystem + "reg.exe"},
        {"pnputil /add-driver x.inf", kSystem + "pnputil.exe"},
        {"EXPLORER.EXE", kWindows + "explorer.exe"},
        {"regedit", kWindows + "regedit.exe"},
        // Only the system's own kind of file is the system's program.
        {"reg.bat add", kPackage + "reg.bat"},
        {"cmd.com", kPackage + "cmd.com"},
        {"regx add", kPackage + "regx.exe"},
    });
}

TEST(ProgramPath, PathsAreTakenAsWrittenAndFoldersFromThePackage) {
    expectPaths({
        {"C:\\Tools\\devcon.exe rescan", "C:\\Tools\\devcon.exe"},
        {"\"C:\\Program Files\\x\\a b.exe\" /q", "C:\\Program Files\\x\\a b.exe"},
        {"c:/windows/system32/reg.exe add", "c:\\windows\\system32\\reg.exe"},
        {"\\\\server\\share\\setup /q", "\\\\server\\share\\setup.exe"},
        {"C:\\Tools\\reg", "C:\\Tools\\reg.exe"},
        // A folder named in front makes the program the package's, even with a system name.
        {".\\devcon rescan", kPackage + "devcon.exe"},
        {".\\reg.exe add", kPackage + "reg.exe"},
        {"tools\\devcon.exe update x.inf", kPackage + "tools\\devcon.exe"},
        {"tools/./devcon", kPackage + "tools\\devcon.exe"},
        {"\"INSTDATA\\安裝 工具\\setup.exe\"", kPackage + "INSTDATA\\安裝 工具\\setup.exe"},
        // An unclosed quote runs to the end, as Windows reads it.
        {"\"安裝.exe", kPackage + "安裝.exe"},
    });
}

TEST(ProgramPath, LinesThatNameNoSingleProgramStartNothing) {
    expectPaths({
        {"", std::nullopt},
        {"   \t", std::nullopt},
        {"\"\" x", std::nullopt},
        {"\"  \"", std::nullopt},
        // Out of the package, or wherever the current drive or folder happens to be.
        {"..\\reg.exe", std::nullopt},
        {"tools\\..\\..\\x.exe", std::nullopt},
        {"\\reg.exe add", std::nullopt},
        {"C:reg.exe add", std::nullopt},
        {"tools\\\\devcon", std::nullopt},
        {"tools\\", std::nullopt},
        {".", std::nullopt},
        // Not a file name at all, or one Windows would read as another file.
        {"reg*.exe", std::nullopt},
        {"dev?on", std::nullopt},
        {"a<b", std::nullopt},
        {"a|b x", std::nullopt},
        {"reg\"x\" add", std::nullopt},
        {"devcon\nrescan", std::nullopt},
        {"reg. add", std::nullopt},
        {"\"devcon.exe.\"", std::nullopt},
        {"C:\\Tools\\devcon.exe:hidden", std::nullopt},
        {"\\\\?\\C:\\Windows\\system32\\reg.exe", std::nullopt},
    });
}

TEST(ProgramPath, TheFoldersAreJoinedWithOneBackslashAndNeverLeftOut) {
    expectPaths({{"devcon", "E:\\devcon.exe"}, {"reg", "C:\\Windows\\system32\\reg.exe"}},
                {"C:\\Windows\\system32", "C:\\Windows", "E:\\"});
    // An unknown folder would leave a relative name for Windows to search.
    expectPaths({{"reg add", std::nullopt},
                 {"explorer x.inf", std::nullopt},
                 {"devcon rescan", std::nullopt},
                 {"C:\\Tools\\devcon.exe", "C:\\Tools\\devcon.exe"}},
                {"", "", ""});
}

}  // namespace
