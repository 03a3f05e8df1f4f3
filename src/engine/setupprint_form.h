#pragma once
// The install engine window. It stays hidden: the whole install runs in its load step.

#include "engine/install_notice.h"
#include "forms/control.h"
#include "forms/form.h"
#include "forms/outcome.h"
#include "profile/install_request.h"

namespace engine {

// What the install needs from the program around it.
class EngineHost {
  public:
    virtual ~EngineHost() = default;
    virtual forms::Runtime& runtime() = 0;
    virtual forms::Outcome& outcome() = 0;
    virtual InstallNotice& notice() = 0;
    // What the user chose for this install.
    virtual const profile::UserChoice& choice() = 0;
    // The USB install runs with the main window out of sight.
    virtual void hideMainWindow() = 0;
};

class SetupprintForm : public forms::Form {
  public:
    explicit SetupprintForm(EngineHost& host);

    void Form_Load() override;
    void Form_Activate() override;
    void Form_Unload(bool& cancel) override;
    void USB_install_Click();

    forms::Label USB_Label;
    forms::CommandButton USB_install;

  private:
    EngineHost& host_;
};

}  // namespace engine
