#pragma once
// Waiting on the window thread for something outside it (a connect, a worker thread) while the
// program's windows go on painting.

#include <windows.h>

#include <chrono>
#include <string>

namespace platform::win32 {

using WaitDeadline = std::chrono::steady_clock::time_point;

// Whether the handle is signalled before the deadline. Meanwhile the thread repaints its windows
// and answers what other threads and programs send it, but runs none of the program's reactions:
// posted messages and keyboard and mouse input stay queued for the program's own loop after the
// wait, so a click made meanwhile cannot start a second action inside the first. Throws, naming
// the call, when the wait itself fails.
bool waitPainting(HANDLE handle, WaitDeadline deadline, const std::string& call);

}  // namespace platform::win32
