#include "platform/win32/wide.h"

#include <cstdint>
#include <cstdio>

#include "platform/error_texts.h"

namespace platform::win32 {

std::wstring toWide(std::string_view utf8) {
    if (utf8.empty())
        return {};
    int size =
        MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring out(static_cast<std::size_t>(size), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), out.data(), size);
    return out;
}

std::string toUtf8(std::wstring_view utf16) {
    if (utf16.empty())
        return {};
    int size = WideCharToMultiByte(CP_UTF8, 0, utf16.data(), static_cast<int>(utf16.size()),
                                   nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, utf16.data(), static_cast<int>(utf16.size()), out.data(), size,
                        nullptr, nullptr);
    return out;
}

std::string toUtf8(const wchar_t* utf16) {
    return utf16 ? toUtf8(std::wstring_view(utf16)) : "";
}

namespace {

std::string trimLineEnd(std::wstring text) {
    while (!text.empty() && (text.back() == L'\r' || text.back() == L'\n' || text.back() == L' ')) {
        text.pop_back();
    }
    return toUtf8(text);
}

std::string formatFrom(DWORD flags, HMODULE module, DWORD code) {
    wchar_t* buffer = nullptr;
    DWORD length =
        FormatMessageW(flags | FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_IGNORE_INSERTS,
                       module, code, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    std::string text;
    if (length != 0 && buffer)
        text = trimLineEnd(std::wstring(buffer, length));
    if (buffer)
        LocalFree(buffer);
    return text;
}

}  // namespace

std::string systemMessage(HRESULT hr) {
    DWORD code = static_cast<DWORD>(hr);
    std::string text = formatFrom(FORMAT_MESSAGE_FROM_SYSTEM, nullptr, code);
    if (!text.empty())
        return text;
    if (HRESULT_FACILITY(hr) == FACILITY_WIN32) {
        text = formatFrom(FORMAT_MESSAGE_FROM_SYSTEM, nullptr, HRESULT_CODE(hr));
        if (!text.empty())
            return text;
    }
    if (HMODULE wmiutils = LoadLibraryExW(L"wmiutils.dll", nullptr, LOAD_LIBRARY_AS_DATAFILE)) {
        text = formatFrom(FORMAT_MESSAGE_FROM_HMODULE, wmiutils, code);
        FreeLibrary(wmiutils);
        if (!text.empty())
            return text;
    }
    // WMI's own codes are not in the system table; Windows keeps their text in wmiutils.dll.
    // Where neither knows one (Wine), the program's table still tells more than a bare number.
    return hr < 0 ? platform::errorText(hr) : std::string();
}

std::string hex(HRESULT hr) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "0x%08lX", static_cast<unsigned long>(hr));
    return buffer;
}

platform::Error hresultError(HRESULT hr, std::string call) {
    std::string text = systemMessage(hr);
    if (text.empty())
        text = "錯誤 " + hex(hr);
    return platform::Error(static_cast<std::int32_t>(hr), std::move(text), std::move(call));
}

platform::Error win32Error(DWORD code, std::string call) {
    return hresultError(HRESULT_FROM_WIN32(code), std::move(call));
}

platform::Error lastError(std::string call, DWORD whenUnset) {
    DWORD code = GetLastError();
    return win32Error(code != ERROR_SUCCESS ? code : whenUnset, std::move(call));
}

}  // namespace platform::win32
