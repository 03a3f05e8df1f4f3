#include "ui/notice_window.h"

namespace ui {

void NoticeWindow::open() {
    window_().show(false);
}

void NoticeWindow::showPrinterName(const std::string& name) {
    window_().PrintNameLabel.setText(name);
}

void NoticeWindow::showProgress(const std::string& text) {
    window_().Label2.setText(text);
}

void NoticeWindow::minimize() {
    window_().setWindowState(forms::WindowState::Minimized);
    window_().hide();
}

void NoticeWindow::hide() {
    window_().hide();
}

void NoticeWindow::close() {
    window_().unload();
}

}  // namespace ui
