#include "app/program.h"

#include "app/form1.h"
#include "engine/setupprint_form.h"
#include "maker/advset_form.h"
#include "tools/filename_form.h"
#include "ui/about_form.h"
#include "ui/msg_form.h"

namespace app {

// Every window of the program, each made anew with its design-time values when referred to
// after an unload.
struct Program::Windows {
    explicit Windows(Program& p)
        : form1(p.runtime_, [&p] { return std::make_unique<Form1>(p); }),
          advset(p.runtime_,
                 [&p] {
                     return std::make_unique<maker::AdvsetForm>(
                         p.runtime_, [&p](const std::string& name) { p.form1().showSaved(name); });
                 }),
          setupprint(p.runtime_, [&p] { return std::make_unique<engine::SetupprintForm>(p); }),
          msg(p.runtime_, [&p] { return std::make_unique<ui::MsgForm>(p.runtime_); }),
          about(p.runtime_, [&p] { return std::make_unique<ui::AboutForm>(p.runtime_); }),
          filename(p.runtime_, [&p] {
              return std::make_unique<tools::FilenameForm>(p.runtime_,
                                                           [&p] { return p.form1().copyStart(); });
          }) {}

    forms::FormSlot<Form1> form1;
    forms::FormSlot<maker::AdvsetForm> advset;
    forms::FormSlot<engine::SetupprintForm> setupprint;
    forms::FormSlot<ui::MsgForm> msg;
    forms::FormSlot<ui::AboutForm> about;
    forms::FormSlot<tools::FilenameForm> filename;
};

Program::Program(platform::Services& services, forms::Backend& backend, forms::ErrorSink* errors)
    : logged_(services),
      services_(logged_.services()),
      outcome_(services.log),
      runtime_(backend, services_, errors),
      notice_([this]() -> ui::MsgForm& { return msg(); }),
      windows_(std::make_unique<Windows>(*this)) {
}

Program::~Program() = default;

Form1& Program::form1() {
    return windows_->form1();
}
maker::AdvsetForm& Program::advset() {
    return windows_->advset();
}
engine::SetupprintForm& Program::setupprint() {
    return windows_->setupprint();
}
ui::MsgForm& Program::msg() {
    return windows_->msg();
}
ui::AboutForm& Program::about() {
    return windows_->about();
}
tools::FilenameForm& Program::filename() {
    return windows_->filename();
}

void Program::startInstall(profile::UserChoice choice) {
    choice_ = std::move(choice);
    setupprint().show(false);
}

void Program::hideMainWindow() {
    form1().hide();
}

void Program::run() {
    services_.log.write("開始：" + services_.process.exeName() + "，資料夾 " +
                        services_.process.exeFolder());
    runtime_.run([this]() -> forms::Form& { return form1(); });
}

forms::Form* Program::findLoaded(const std::string& formName) const {
    for (forms::Form* form : runtime_.loadedForms()) {
        if (form->name() == formName)
            return form;
    }
    return nullptr;
}

}  // namespace app
