#pragma once
// What every window procedure of ours runs inside. Exceptions must not cross into the system's
// code: the model's reactions go through forms::Runtime::dispatch, which stops the program
// cleanly, and anything else that escapes our own code ends here. The scope also counts our
// procedures on the stack, so a window unloaded from inside one of them is freed only once
// none is running any more.

#include <windows.h>

#include <utility>

namespace forms {
class Runtime;
}

namespace platform::win32::ui {

class ProcScope {
  public:
    ProcScope() { ++depth_; }
    ~ProcScope() { --depth_; }
    ProcScope(const ProcScope&) = delete;
    ProcScope& operator=(const ProcScope&) = delete;
    static int depth() { return depth_; }

  private:
    static inline int depth_ = 0;
};

// Shows the standard stop for a fault of our own and ends the program.
[[noreturn]] void internalFault(forms::Runtime* runtime) noexcept;

template <class F>
LRESULT guarded(forms::Runtime* runtime, F&& body) noexcept {
    ProcScope scope;
    try {
        return std::forward<F>(body)();
    } catch (...) {
        internalFault(runtime);
    }
}

}  // namespace platform::win32::ui
