#pragma once
// The notice window as the install sees it. Each call refers to the window anew, so a call after
// the window closed loads it again, as any reference to a window does.

#include <functional>

#include "engine/install_notice.h"
#include "ui/msg_form.h"

namespace ui {

class NoticeWindow : public engine::InstallNotice {
  public:
    explicit NoticeWindow(std::function<MsgForm&()> window) : window_(std::move(window)) {}

    void open() override;
    void showPrinterName(const std::string& name) override;
    void showProgress(const std::string& text) override;
    void minimize() override;
    void hide() override;
    void close() override;

  private:
    std::function<MsgForm&()> window_;
};

}  // namespace ui
