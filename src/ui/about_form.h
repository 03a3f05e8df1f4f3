#pragma once
// The about window: the version and a link to the maker's web site.

#include "forms/control.h"
#include "forms/form.h"

namespace ui {

inline constexpr const char* kMakerWebAddress = "https://velmora.example.com";
inline constexpr int kAboutPictureResource = 101;  // 359 x 111 pixels, 24 bits per pixel

class AboutForm : public forms::Form {
  public:
    explicit AboutForm(forms::Runtime& runtime);

    void Label4_Click();
    void Command5_Click();

    forms::Label VER_Label;
    forms::Label Label4;
    forms::CommandButton Command5;
};

// "cmd.exe /c  start  ADDRESS": the command interpreter's start opens the page in the browser.
std::string browserCommand(const std::string& address);

}  // namespace ui
