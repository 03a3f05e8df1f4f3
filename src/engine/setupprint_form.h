#pragma once
// The install engine window. It stays hidden: the whole install runs in its load step.

#include <string>

#include "forms/control.h"
#include "forms/form.h"

namespace app {
class Program;
}

namespace engine {

class SetupprintForm : public forms::Form {
  public:
    explicit SetupprintForm(app::Program& program);

    void Form_Load() override;
    void Form_Activate() override;
    void Form_Unload(bool& cancel) override;
    void USB_install_Click();

    forms::Label USB_Label;
    forms::Label changeNameText;
    forms::CommandButton USB_install;
    // The engine's working copy of the profile, outside the visible area.
    forms::TextBox Text1;
    forms::TextBox Text2;
    forms::TextBox Text3;
    forms::TextBox Text4;
    forms::TextBox Text5;

  private:
    app::Program& program_;
};

}  // namespace engine
