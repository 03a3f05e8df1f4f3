#pragma once
// The edge between the program's UTF-8 text and Win32: UTF-16 conversion, and the translation of
// HRESULTs and Win32 error codes into platform::Error.

#include <windows.h>

#include <string>
#include <string_view>

#include "platform/error.h"

namespace platform::win32 {

// Malformed input becomes U+FFFD rather than failing: the text is shown or passed on, never
// trusted for its bytes.
std::wstring toWide(std::string_view utf8);
std::string toUtf8(std::wstring_view utf16);
std::string toUtf8(const wchar_t* utf16);  // null gives ""

// The system's text for an HRESULT or Win32 code, without its line end; "" when it has none.
std::string systemMessage(HRESULT hr);

// number: the HRESULT as a signed 32-bit value; call: what failed, e.g. "wmi.query Select ...".
platform::Error hresultError(HRESULT hr, std::string call);
platform::Error win32Error(DWORD code, std::string call);
// GetLastError at the moment of the call; a failure that set none still reports one.
platform::Error lastError(std::string call, DWORD whenUnset = ERROR_GEN_FAILURE);

// "0x80070002" for reports.
std::string hex(HRESULT hr);

}  // namespace platform::win32
