#include "engine/setupprint_form.h"

#include "app/program.h"

namespace engine {

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
}

}  // namespace engine
