#include "ui/about_form.h"

#include "forms/runtime.h"

namespace ui {

std::string browserCommand(const std::string& address) {
    return "cmd.exe /c  start  " + address;
}

// The window's design: positions and sizes in twips and colours, as its designer laid them out.
// NOLINTBEGIN(readability-magic-numbers)
AboutForm::AboutForm(forms::Runtime& runtime)
    : Form(runtime, "form1_about", 5265, 2340),
      VER_Label(*this, "VER_Label", {0, 2040, 1335, 255}, "版本：2.8"),
      Label4(*this, "Label4", {1800, 1080, 3135, 375}, kMakerWebAddress),
      Command5(*this, "Command5", {4320, 1710, 900, 400}, "確定") {
    designCaption("關於");
    startPosition = forms::StartPosition::CenterOwner;
    pictureResourceId = kAboutPictureResource;
    VER_Label.foreColor = forms::Rgb{0x404040};
    Label4.foreColor = forms::Rgb{0x0000FF};
    Label4.backColor = forms::Rgb{0xFFFFFF};
    Label4.backTransparent = false;
    Label4.font.underline = true;
    // NOLINTEND(readability-magic-numbers)
    Command5.tabIndex = 0;
    Command5.isDefault = true;
    Command5.isCancel = true;  // Escape closes the window too
    Label4.onClick = [this] { Label4_Click(); };
    Command5.onClick = [this] { Command5_Click(); };
}

void AboutForm::Label4_Click() {
    runtime().services().launcher.start(browserCommand(kMakerWebAddress),
                                        platform::window_style::kMinimized);
}

void AboutForm::Command5_Click() {
    unload();
}

}  // namespace ui
