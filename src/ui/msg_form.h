#pragma once
// The installing notice: stays above every window while an install runs, shows its progress,
// and carries the install mode from the main window to the engine.

#include "forms/control.h"
#include "forms/form.h"

namespace app {
class Program;
}

namespace ui {

inline constexpr const char* kModeShare = "SHARE_SETUP";
inline constexpr const char* kModeUsb = "USB_SETUP";
inline constexpr const char* kModeProfile = "安裝方式";

class MsgForm : public forms::Form {
  public:
    explicit MsgForm(app::Program& program);
    void Form_Load() override;

    forms::Shape Shape1;
    forms::Label Label1;
    forms::Label PrintNameLabel;
    forms::Label Label2;
    forms::Label USB_Label;

  private:
    app::Program& program_;
};

}  // namespace ui
