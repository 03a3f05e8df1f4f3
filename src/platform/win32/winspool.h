#pragma once
// The print spooler's functions. winspool.drv is not a known DLL: imported, it would be looked
// for in the package folder first, so each function is looked up in the system folder's copy.

#include <windows.h>

#include <string>

#include "platform/win32/system_library.h"
#include "platform/win32/wide.h"

namespace platform::win32 {

// Raises the lookup's failure as a failure of the call named.
template <typename Function>
Function* winspool(const char* name, const std::string& call) {
    Function* function = systemFunction<Function>(L"winspool.drv", name);
    if (function == nullptr)
        throw lastError(call, ERROR_PROC_NOT_FOUND);
    return function;
}

}  // namespace platform::win32
