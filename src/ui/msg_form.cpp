#include "ui/msg_form.h"

#include "forms/runtime.h"

#include "ui/topmost.h"

namespace ui {

// The window's design: positions and sizes in twips, fonts and colours, as its designer laid
// them out.
// NOLINTBEGIN(readability-magic-numbers)
MsgForm::MsgForm(forms::Runtime& runtime)
    : Form(runtime, "msg", 3915, 1245),
      // A rule above the heading, clear of every label: labels paint their own background, so
      // a box round the window or a rule under the heading would be cut by them.
      Shape1(*this, "Shape1", {240, 150, 3435, 15}),
      Label1(*this, "Label1", {1320, 240, 1695, 495}, "安裝中..."),
      // 3675 wide, ending 120 twips inside the right edge as it starts 120 inside the left:
      // its centred text stands at the window's centre and a long name is cut evenly. Empty
      // until a pass names its printer: the notice shows only texts the program set.
      PrintNameLabel(*this, "PrintNameLabel", {120, 720, 3675, 255}, ""),
      // At 990 the label ends on the bottom edge of the 1245-twip client area, not past it.
      Label2(*this, "Label2", {840, 990, 2955, 255}, "請等待幾秒鐘"),
      USB_Label(*this, "USB_Label", {4680, 960, 1695, 255}, kModeProfile) {
    designCaption("安裝驅動程式");
    startPosition = forms::StartPosition::CenterScreen;
    Shape1.borderColor = forms::Rgb{0x808080};
    Label1.font.points = 12;
    Label1.font.bold = true;
    Label1.alignment = forms::Alignment::Center;
    PrintNameLabel.alignment = forms::Alignment::Center;
    Label2.foreColor = forms::Rgb{0x505050};  // grey, yet readable on the grey window
}
// NOLINTEND(readability-magic-numbers)

void MsgForm::Form_Load() {
    // A caller that only writes a label already gets a window that stays on top.
    SetWindowTopmost(runtime().services().windows, runtime().backend().handleOf(*this), true);
}

}  // namespace ui
