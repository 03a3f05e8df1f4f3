#pragma once
// The installing notice: stays above every window while an install runs and shows its
// progress.

#include "forms/control.h"
#include "forms/form.h"

namespace ui {

inline constexpr const char* kModeProfile = "安裝方式";

class MsgForm : public forms::Form {
  public:
    explicit MsgForm(forms::Runtime& runtime);
    void Form_Load() override;

    forms::Shape Shape1;
    forms::Label Label1;
    forms::Label PrintNameLabel;
    forms::Label Label2;
    forms::Label USB_Label;
};

}  // namespace ui
