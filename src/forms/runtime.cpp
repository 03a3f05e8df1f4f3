#include "forms/runtime.h"

#include <algorithm>
#include <exception>

#include "platform/error_texts.h"
#include "platform/logging.h"

namespace forms {

std::string standardStopText(const platform::Error& error) {
    return "執行階段錯誤 '" + std::to_string(error.number()) + "':\r\n\r\n" + error.description();
}

Runtime::Runtime(Backend& backend, platform::Services& services, ErrorSink* errors)
    : backend_(backend), services_(services), errors_(errors) {
}

Runtime::ReactionScope::ReactionScope(Runtime& runtime, std::string form, std::string name)
    : runtime_(runtime), exceptions_(std::uncaught_exceptions()) {
    runtime_.reactions_.push_back({std::move(form), std::move(name)});
}

Runtime::ReactionScope::~ReactionScope() {
    // Left by an error: the first reaction it leaves is where it was raised.
    if (std::uncaught_exceptions() > exceptions_ && !runtime_.leftByError_)
        runtime_.leftByError_ = runtime_.reactions_.back();
    runtime_.reactions_.pop_back();
}

std::optional<Runtime::Reaction> Runtime::failedReaction() const {
    if (leftByError_)
        return leftByError_;
    if (!reactions_.empty())
        return reactions_.back();
    return std::nullopt;
}

std::optional<Runtime::Reaction> Runtime::currentReaction() const {
    if (reactions_.empty())
        return std::nullopt;
    return reactions_.back();
}

void Runtime::load(Form& form, std::function<std::unique_ptr<Form>()> release) {
    form.loaded_ = true;
    loaded_.push_back(&form);
    releases_.emplace_back(&form, std::move(release));
    backend_.formLoaded(form);
    ReactionScope scope(*this, form.name(), "Form_Load");
    form.Form_Load();
}

void Runtime::show(Form& form, bool modal) {
    if (!form.loaded_)
        return;  // a load reaction that unloaded its own window
    Form* owner = active_;
    form.visible_ = true;
    backend_.formShown(form, modal);
    activate(form);
    if (!modal)
        return;
    modal_.push_back(&form);
    backend_.runUntil([&form] { return !form.loaded_ || !form.visible_; });
    modal_.erase(std::find(modal_.begin(), modal_.end(), &form));
    if (owner != nullptr && owner != &form &&
        std::find(loaded_.begin(), loaded_.end(), owner) != loaded_.end() && owner->visible_) {
        activate(*owner);
    }
}

void Runtime::hide(Form& form) {
    if (!form.loaded_ || !form.visible_) {
        form.visible_ = false;
        return;
    }
    form.visible_ = false;
    backend_.formHidden(form);
    if (active_ == &form)
        active_ = nullptr;
}

bool Runtime::unload(Form& form) {
    return unloadFor(form, CloseReason::Code);
}

bool Runtime::close(Form& form, CloseReason reason) {
    return unloadFor(form, reason);
}

bool Runtime::unloadFor(Form& form, CloseReason reason) {
    if (!form.loaded_)
        return true;
    bool cancel = false;
    {
        ReactionScope scope(*this, form.name(), "Form_QueryUnload");
        form.Form_QueryUnload(cancel, reason);
    }
    if (cancel || !form.loaded_)
        return false;
    {
        ReactionScope scope(*this, form.name(), "Form_Unload");
        form.Form_Unload(cancel);
    }
    if (cancel || !form.loaded_)
        return false;
    if (form.visible_) {
        form.visible_ = false;
        backend_.formHidden(form);
    }
    backend_.formUnloaded(form);
    forget(form);
    return true;
}

void Runtime::forget(Form& form) {
    form.loaded_ = false;
    if (active_ == &form)
        active_ = nullptr;
    loaded_.erase(std::remove(loaded_.begin(), loaded_.end(), &form), loaded_.end());
    auto it = std::find_if(releases_.begin(), releases_.end(),
                           [&form](const auto& entry) { return entry.first == &form; });
    if (it != releases_.end()) {
        auto release = std::move(it->second);
        releases_.erase(it);
        unloaded_.push_back(release());
    }
}

void Runtime::activate(Form& form) {
    if (active_ == &form || !form.loaded_ || !form.visible_)
        return;
    active_ = &form;
    backend_.formActivated(form);
    ReactionScope scope(*this, form.name(), "Form_Activate");
    form.Form_Activate();
}

bool Runtime::acceptsInput(const Form& form) const {
    if (!form.loaded_ || !form.visible_)
        return false;
    const Form* modal = modalForm();
    return modal == nullptr || modal == &form;
}

bool Runtime::acceptsUserInput(const Control& control) const {
    if (!acceptsInput(control.form()) || !control.enabledInForm())
        return false;
    if (control.kind() == ControlKind::MenuItem) {
        for (const MenuItem* m = &static_cast<const MenuItem&>(control); m != nullptr;
             m = m->parent()) {
            if (!m->visible())
                return false;
        }
        return true;
    }
    return control.shownInForm();
}

bool Runtime::keyboardReachable(const Control& control) const {
    return acceptsInput(control.form()) && control.keyboardPlaceable();
}

void Runtime::dispatch(const std::function<void()>& reaction) {
    ++depth_;
    try {
        reaction();
    } catch (const platform::Error& error) {
        stop(error);
    } catch (const std::exception& error) {
        // A fault of the program itself; stop it the same way rather than crash.
        stop(platform::Error(
            platform::errors::kInternalError,
            platform::errorText(platform::errors::kInternalError) + ": " + error.what()));
    }
    --depth_;
    if (depth_ == 0)
        unloaded_.clear();
}

std::optional<platform::Error> Runtime::trap(const std::function<void()>& step) {
    try {
        step();
        return std::nullopt;
    } catch (const platform::Error& error) {
        if (errors_ != nullptr)
            errors_->errorRaised(error, true);
        leftByError_.reset();
        return error;
    }
}

void Runtime::stop(const platform::Error& error) {
    if (errors_ != nullptr)
        errors_->errorRaised(error, false);
    services_.log.write("停止：" + platform::failureText(error));
    // Even the stop message may fail to show; the program still ends with its code.
    try {
        services_.messageBoxes.show(standardStopText(error), kAppTitle, platform::Icon::Stop,
                                    platform::Buttons::Ok);
    } catch (const platform::Error& e) {
        services_.log.write("無法顯示訊息：" + platform::failureText(e));
    }
    endProgram(exit_code::kFailed);
}

void Runtime::endProgram() {
    endProgram(exitCode_);
}

void Runtime::endProgram(int exitCode) {
    services_.log.write("結束，結束代碼 " + std::to_string(exitCode));
    services_.process.end(exitCode);
    std::terminate();  // end() does not return; the compiler cannot see that through a virtual
}

void Runtime::run(const std::function<Form&()>& startForm) {
    runFrom([&] { show(startForm(), false); });
}

void Runtime::runFrom(const std::function<void()>& start) {
    dispatch(start);
    backend_.runUntil([this] { return loaded_.empty(); });
    endProgram();
}

}  // namespace forms
