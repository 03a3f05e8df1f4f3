#include "app/program.h"

#include "app/form1.h"

namespace app {

Program::Program(platform::Services& services, forms::Backend& backend, forms::ErrorSink* errors)
    : services_(services),
      runtime_(backend, services, errors),
      form1_(runtime_, [this] { return std::make_unique<Form1>(*this); }) {}

Program::~Program() = default;

Form1& Program::form1() { return form1_(); }

void Program::run() {
    runtime_.run([this]() -> forms::Form& { return form1(); });
}

forms::Form* Program::findLoaded(const std::string& formName) const {
    if (formName == "Form1") return form1_.loaded() ? static_cast<forms::Form*>(form1_.peek()) : nullptr;
    return nullptr;
}

forms::Form* Program::reference(const std::string& formName) {
    if (formName == "Form1") return &form1();
    return nullptr;
}

}  // namespace app
