#pragma once
// The forms runtime: loading on first reference, showing (modal with a nested loop), closing
// with query-unload, activation, the dispatcher that turns an untrapped error into the
// standard stop, error traps, and the end of the program.

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "forms/backend.h"
#include "forms/form.h"
#include "platform/error.h"
#include "platform/services.h"

namespace forms {

// Told of every error a reaction meets: trapped ones were skipped, untrapped ones stop.
class ErrorSink {
  public:
    virtual ~ErrorSink() = default;
    virtual void errorRaised(const platform::Error& error, bool trapped) = 0;
};

inline constexpr const char* kAppTitle = "Velmora";

// What the program's end tells a deployment script, after Windows Installer's conventions.
namespace exit_code {
inline constexpr int kSuccess = 0;            // did all it was asked
inline constexpr int kUserCancelled = 1602;   // ended without installing, as the user chose
inline constexpr int kFailed = 1603;          // a step failed, or the program stopped on an error
inline constexpr int kDamagedPackage = 1620;  // the package cannot be installed from
inline constexpr int kBadCommandLine = 1639;  // a switch or value the program does not take
}  // namespace exit_code

// The text of the standard stop message for an untrapped error.
std::string standardStopText(const platform::Error& error);

class Runtime {
  public:
    Runtime(Backend& backend, platform::Services& services, ErrorSink* errors = nullptr);
    Runtime(const Runtime&) = delete;
    Runtime& operator=(const Runtime&) = delete;

    Backend& backend() { return backend_; }
    platform::Services& services() { return services_; }

    // Loads a form that a slot has just made: its load reaction runs. release hands the form's
    // ownership back when it is unloaded.
    void load(Form& form, std::function<std::unique_ptr<Form>()> release);
    void show(Form& form, bool modal);
    void hide(Form& form);
    // The program unloads a form: query-unload (reason Code), unload; either may cancel.
    bool unload(Form& form);
    // A close asked by the user's close box, the system or the task manager.
    bool close(Form& form, CloseReason reason);
    // The form became the active window; its activate reaction runs once per change.
    void activate(Form& form);
    Form* activeForm() const { return active_; }

    // The window that takes input now: the innermost open modal window, or none when no modal
    // window is open (every visible window takes input then).
    Form* modalForm() const { return modal_.empty() ? nullptr : modal_.back(); }
    bool acceptsInput(const Form& form) const;
    // The one rule for whether the user's input reaches a control, for every backend: the
    // window takes input (above), and the control and each of its containers (a menu item:
    // each menu above it) is visible and enabled.
    bool acceptsUserInput(const Control& control) const;
    // Whether the keyboard may move to the control (Tab, mnemonics): a tab stop that takes user
    // input and does not lie wholly outside its window's client area. What the eye cannot see,
    // the keyboard cannot reach; the program can still set and invoke it.
    bool keyboardReachable(const Control& control) const;

    // Runs one reaction from the event loop. An untrapped platform::Error shows the standard
    // stop and ends the program.
    void dispatch(const std::function<void()>& reaction);
    // An error trap around one step: a failing step is told to the error sink and skipped.
    // Returns the error it caught, for a caller that keeps or tells it; nothing when the step
    // ran through.
    std::optional<platform::Error> trap(const std::function<void()>& step);

    // The window and reaction running now ("Form1", "Command1_Click"), innermost first; an
    // error raised inside a reaction is told with where it happened.
    struct Reaction {
        std::string form;
        std::string name;
    };
    class ReactionScope {
      public:
        ReactionScope(Runtime& runtime, std::string form, std::string name);
        ~ReactionScope();
        ReactionScope(const ReactionScope&) = delete;
        ReactionScope& operator=(const ReactionScope&) = delete;

      private:
        Runtime& runtime_;
        int exceptions_;
    };
    // Where the error being told was raised: the reaction it left, or the one running now.
    std::optional<Reaction> failedReaction() const;
    // The innermost reaction running now.
    std::optional<Reaction> currentReaction() const;

    [[noreturn]] void stop(const platform::Error& error);
    // Ends at once with the exit code given, or the one set for an ordinary end.
    [[noreturn]] void endProgram();
    [[noreturn]] void endProgram(int exitCode);
    // The code an end reports when no other is given, including the end that comes when the
    // last window is unloaded.
    void setExitCode(int exitCode) { exitCode_ = exitCode; }
    int exitCode() const { return exitCode_; }

    // The start: loads and shows the start form, runs the loop until no window is loaded,
    // then ends the program.
    [[noreturn]] void run(const std::function<Form&()>& startForm);
    // The same for a start that shows no window of its own (a run without windows).
    [[noreturn]] void runFrom(const std::function<void()>& start);

    std::size_t loadedCount() const { return loaded_.size(); }
    const std::vector<Form*>& loadedForms() const { return loaded_; }

  private:
    bool unloadFor(Form& form, CloseReason reason);
    void forget(Form& form);

    Backend& backend_;
    platform::Services& services_;
    ErrorSink* errors_;
    std::vector<Form*> loaded_;
    std::vector<Form*> modal_;
    std::vector<std::pair<Form*, std::function<std::unique_ptr<Form>()>>> releases_;
    // Unloaded windows live on until no reaction of theirs can still be running.
    std::vector<std::unique_ptr<Form>> unloaded_;
    Form* active_ = nullptr;
    int depth_ = 0;
    int exitCode_ = exit_code::kSuccess;
    std::vector<Reaction> reactions_;
    std::optional<Reaction> leftByError_;
};

// Owns one window of the program and loads it on first reference; after an unload the next
// reference makes it anew with its design-time values.
template <class T>
class FormSlot {
  public:
    FormSlot(Runtime& runtime, std::function<std::unique_ptr<T>()> make)
        : runtime_(runtime), make_(std::move(make)) {}

    T& operator()() {
        if (!form_) {
            form_ = make_();
            T& made = *form_;
            runtime_.load(made, [this]() -> std::unique_ptr<Form> { return std::move(form_); });
        }
        return *form_;
    }
    bool loaded() const { return form_ != nullptr; }
    T* peek() const { return form_.get(); }

  private:
    Runtime& runtime_;
    std::function<std::unique_ptr<T>()> make_;
    std::unique_ptr<T> form_;
};

}  // namespace forms
