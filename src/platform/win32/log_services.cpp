#include "platform/win32/log_services.h"

#include <windows.h>

#include <cstdio>

#include "platform/log_text.h"
#include "platform/win32/handle.h"
#include "platform/win32/wide.h"

namespace platform::win32 {

namespace {

std::string timestamp() {
    SYSTEMTIME t;
    GetLocalTime(&t);
    char text[32];
    std::snprintf(text, sizeof text, "%04u-%02u-%02u %02u:%02u:%02u.%03u", t.wYear, t.wMonth,
                  t.wDay, t.wHour, t.wMinute, t.wSecond, t.wMilliseconds);
    return text;
}

bool writeAll(HANDLE file, const std::string& bytes) {
    DWORD written = 0;
    return WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
           written == bytes.size();
}

// Keeps the newer half of a log that would grow past its limit.
void trimIfFull(HANDLE file, std::size_t adding) {
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file, &size) ||
        static_cast<unsigned long long>(size.QuadPart) + adding <= platform::kLogLimitBytes) {
        return;
    }
    std::string content(static_cast<std::size_t>(size.QuadPart), '\0');
    LARGE_INTEGER start{};
    DWORD read = 0;
    if (!SetFilePointerEx(file, start, nullptr, FILE_BEGIN) ||
        !ReadFile(file, content.data(), static_cast<DWORD>(content.size()), &read, nullptr)) {
        return;
    }
    content.resize(read);
    std::string kept = platform::keepNewestHalf(content);
    if (SetFilePointerEx(file, start, nullptr, FILE_BEGIN) && SetEndOfFile(file))
        writeAll(file, kept);
}

}  // namespace

Win32Log::Win32Log() {
    wchar_t folder[MAX_PATH + 1];
    DWORD length = GetTempPathW(MAX_PATH + 1, folder);
    if (length > 0 && length <= MAX_PATH)
        path_ = std::wstring(folder, length) + L"Velmora.log";
}

void Win32Log::write(const std::string& event) noexcept {
    if (path_.empty())
        return;
    try {
        std::string line = timestamp() + " " + platform::logSafe(event) + "\r\n";
        // A short share wait only: another installer writing at the same moment loses nothing
        // but this line, and the install is never held up.
        UniqueHandle file(CreateFileW(path_.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ,
                                      nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file.valid())
            return;
        trimIfFull(file.get(), line.size());
        LARGE_INTEGER end{};
        if (SetFilePointerEx(file.get(), end, nullptr, FILE_END))
            writeAll(file.get(), line);
    } catch (...) {
        // Nothing the log meets may reach the install.
    }
}

}  // namespace platform::win32
