#include "forms/damaged_package.h"

#include "forms/outcome.h"

namespace forms {

void stopDamagedPackage(forms::Runtime& runtime, platform::Services& os, const std::string& what) {
    os.log.write("安裝套件已損毀：" + what);
    runtime.trap([&] {
        os.messageBoxes.show(damagedPackageText(what), forms::kAppTitle, platform::Icon::Stop,
                             platform::Buttons::Ok);
    });
    runtime.endProgram(forms::exit_code::kDamagedPackage);
}

}  // namespace forms
