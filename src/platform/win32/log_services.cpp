#include "platform/win32/log_services.h"

#include <windows.h>

#include <cstdio>
#include <utility>

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

namespace {

// Appends one line; false when the file cannot be opened or written.
bool appendLine(const std::wstring& path, const std::string& line, bool trim) {
    // A short share wait only: another installer writing at the same moment loses nothing
    // but this line, and the install is never held up.
    UniqueHandle file(CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ,
                                  nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid())
        return false;
    if (trim)
        trimIfFull(file.get(), line.size());
    LARGE_INTEGER end{};
    return SetFilePointerEx(file.get(), end, nullptr, FILE_END) && writeAll(file.get(), line);
}

}  // namespace

void Win32Log::copyTo(const std::string& path) noexcept {
    try {
        copy_ = toWide(path);
    } catch (...) {
        copy_.clear();
    }
}

void Win32Log::write(const std::string& event) noexcept {
    try {
        const std::string line = timestamp() + " " + platform::logSafe(event) + "\r\n";
        if (!copy_.empty() && !appendLine(copy_, line, false)) {
            const DWORD error = GetLastError();
            const std::wstring failed = std::exchange(copy_, std::wstring());
            write("無法寫入記錄檔 " + toUtf8(failed) + "：錯誤 " + std::to_string(error));
        }
        if (!path_.empty())
            appendLine(path_, line, true);
    } catch (...) {
        // Nothing the log meets may reach the install.
    }
}

}  // namespace platform::win32
