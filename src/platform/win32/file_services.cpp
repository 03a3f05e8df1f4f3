#include "platform/win32/file_services.h"

#include <windows.h>

#include <shlwapi.h>

#include <algorithm>
#include <atomic>
#include <limits>

#include "platform/error_texts.h"
#include "platform/win32/handle.h"
#include "platform/win32/wide.h"

namespace platform::win32 {

namespace {

// File errors carry the numbers the program's own file statements raise, so its error traps
// and its stop message read the same on every machine; the system's reason goes with them.
long long fileErrorNumber(DWORD code) {
    switch (code) {
        case ERROR_FILE_NOT_FOUND:
            return platform::errors::kFileNotFound;
        case ERROR_PATH_NOT_FOUND:
            return platform::errors::kPathNotFound;
        case ERROR_ACCESS_DENIED:
        case ERROR_SHARING_VIOLATION:
        case ERROR_LOCK_VIOLATION:
        case ERROR_WRITE_PROTECT:
        case ERROR_UNABLE_TO_REMOVE_REPLACED:
            return platform::errors::kPermissionDenied;
        case ERROR_DISK_FULL:
        case ERROR_HANDLE_DISK_FULL:
            return platform::errors::kDiskFull;
        case ERROR_INVALID_NAME:
        case ERROR_FILENAME_EXCED_RANGE:  // a copy's name past 255 characters
            return platform::errors::kBadFileName;
        default:
            return platform::errors::kPathFileAccess;
    }
}

// Reads name the file and keep the plain text the program's traps expect; writes add the file
// and the system's reason, since a failed write is reported to the user as it is.
platform::Error readError(DWORD code, const std::string& op, const std::string& name) {
    return platform::errorFor(fileErrorNumber(code),
                              op + " " + name + ": " + systemMessage(HRESULT_FROM_WIN32(code)));
}

platform::Error writeError(DWORD code, const std::string& op, const std::string& name,
                           const std::string& extra = {}) {
    long long number = fileErrorNumber(code);
    std::string reason = systemMessage(HRESULT_FROM_WIN32(code));
    std::string description =
        platform::errorText(number) + "：" + name + "（" + reason + "）" + extra;
    return platform::Error(number, description, op + " " + name + ": " + reason);
}

std::wstring fullPath(const std::wstring& name) {
    DWORD size = GetFullPathNameW(name.c_str(), 0, nullptr, nullptr);
    if (size == 0)
        return name;
    std::wstring full(size, L'\0');
    DWORD length = GetFullPathNameW(name.c_str(), size, full.data(), nullptr);
    if (length == 0 || length >= size)
        return name;
    full.resize(length);
    return full;
}

bool writeAll(HANDLE file, const std::string& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        constexpr std::size_t kLargestWrite = std::size_t{1} << 30;  // 1 GiB, well inside a DWORD
        DWORD chunk = static_cast<DWORD>(std::min(bytes.size() - done, kLargestWrite));
        DWORD written = 0;
        if (!WriteFile(file, bytes.data() + done, chunk, &written, nullptr))
            return false;
        if (written == 0) {
            SetLastError(ERROR_WRITE_FAULT);
            return false;
        }
        done += written;
    }
    return true;
}

// A name beside the target that nothing else uses: the replace that follows only stays one step
// when both files are on the same volume.
UniqueHandle createTemporary(const std::wstring& target, std::wstring& tempName) {
    static std::atomic<unsigned> counter{0};
    constexpr int kAttempts = 100;
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        tempName = target + L"." + std::to_wstring(GetCurrentProcessId()) + L"-" +
                   std::to_wstring(++counter) + L".tmp";
        UniqueHandle file(CreateFileW(tempName.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
        if (file.valid() || GetLastError() != ERROR_FILE_EXISTS)
            return file;
    }
    return UniqueHandle();
}

bool isPlainFile(DWORD attributes) {
    return attributes != INVALID_FILE_ATTRIBUTES &&
           (attributes &
            (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) == 0;
}

}  // namespace

bool Win32Files::exists(const std::string& name) {
    return isPlainFile(GetFileAttributesW(toWide(name).c_str()));
}

std::string Win32Files::readAll(const std::string& name) {
    std::wstring wide = toWide(name);
    DWORD attributes = GetFileAttributesW(wide.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        throw readError(ERROR_ACCESS_DENIED, "files.readAll", name);
    }
    UniqueHandle file(CreateFileW(wide.c_str(), GENERIC_READ,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid())
        throw readError(GetLastError(), "files.readAll", name);
    std::string content;
    char buffer[64 * 1024];
    for (;;) {
        DWORD got = 0;
        if (!ReadFile(file.get(), buffer, sizeof buffer, &got, nullptr)) {
            throw readError(GetLastError(), "files.readAll", name);
        }
        if (got == 0)
            break;
        content.append(buffer, got);
    }
    return content;
}

void Win32Files::writeAtomically(const std::string& name, const std::string& bytes) {
    static const std::string kOp = "files.writeAtomically";
    std::wstring target = fullPath(toWide(name));
    std::wstring temp;
    UniqueHandle file = createTemporary(target, temp);
    if (!file.valid())
        throw writeError(GetLastError(), kOp, name);
    if (!writeAll(file.get(), bytes) || !FlushFileBuffers(file.get())) {
        DWORD code = GetLastError();
        file.reset();
        DeleteFileW(temp.c_str());
        throw writeError(code, kOp, name);
    }
    file.reset();

    DWORD attributes = GetFileAttributesW(target.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        DeleteFileW(temp.c_str());
        throw writeError(ERROR_ACCESS_DENIED, kOp, name);
    }
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        if (MoveFileExW(temp.c_str(), target.c_str(),
                        MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
            return;
        }
        DWORD code = GetLastError();
        DeleteFileW(temp.c_str());
        throw writeError(code, kOp, name);
    }
    // ReplaceFileW keeps the old file's security; Windows keeps its attributes too, Wine does
    // not, so they are put back (a hidden ip.ini stays hidden).
    if (ReplaceFileW(target.c_str(), temp.c_str(), nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS,
                     nullptr, nullptr)) {
        if (GetFileAttributesW(target.c_str()) != attributes) {
            SetFileAttributesW(target.c_str(), attributes);
        }
        return;
    }
    DWORD code = GetLastError();
    if (code == ERROR_UNABLE_TO_MOVE_REPLACEMENT) {
        // The old file is gone already; the new content must still reach the name.
        if (MoveFileExW(temp.c_str(), target.c_str(),
                        MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
            return;
        }
        code = GetLastError();
    }
    if (code == ERROR_UNABLE_TO_MOVE_REPLACEMENT || code == ERROR_UNABLE_TO_MOVE_REPLACEMENT_2) {
        // The temporary file may now hold the only copy of the content: keep it.
        throw writeError(code, kOp, name, "；新內容保留在 " + toUtf8(temp));
    }
    DeleteFileW(temp.c_str());
    throw writeError(code, kOp, name);
}

void Win32Files::append(const std::string& name, const std::string& bytes) {
    UniqueHandle file(CreateFileW(toWide(name).c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr,
                                  OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid())
        throw writeError(GetLastError(), "files.append", name);
    if (!writeAll(file.get(), bytes))
        throw writeError(GetLastError(), "files.append", name);
}

void Win32Files::copy(const std::string& from, const std::string& to) {
    if (CopyFileW(toWide(from).c_str(), toWide(to).c_str(), FALSE))
        return;
    DWORD code = GetLastError();
    // A missing source is "file not found" whatever the target, as every read of a missing
    // file is.
    if (code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND) {
        throw readError(code, "files.copy", from + " -> " + to);
    }
    throw writeError(code, "files.copy", to);
}

std::optional<platform::FileStamp> Win32Files::stamp(const std::string& name) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExW(toWide(name).c_str(), GetFileExInfoStandard, &data))
        return std::nullopt;
    platform::FileStamp stamp;
    stamp.size = (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    stamp.lastWrite = static_cast<std::int64_t>(
        (static_cast<std::uint64_t>(data.ftLastWriteTime.dwHighDateTime) << 32) |
        data.ftLastWriteTime.dwLowDateTime);
    return stamp;
}

void Win32Files::remove(const std::string& name) {
    if (DeleteFileW(toWide(name).c_str()))
        return;
    DWORD code = GetLastError();
    if (code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND)
        throw readError(code, "files.remove", name);
    throw writeError(code, "files.remove", name);
}

std::vector<std::string> Win32Files::list(const std::string& pattern) {
    std::wstring widePattern = toWide(pattern);
    std::wstring namePattern = widePattern.substr(widePattern.find_last_of(L"\\/") + 1);
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileExW(widePattern.c_str(), FindExInfoBasic, &data,
                                   FindExSearchNameMatch, nullptr, 0);
    if (find == INVALID_HANDLE_VALUE) {
        DWORD code = GetLastError();
        if (code == ERROR_FILE_NOT_FOUND || code == ERROR_NO_MORE_FILES ||
            code == ERROR_PATH_NOT_FOUND) {
            return {};
        }
        throw readError(code, "files.list", pattern);
    }
    std::vector<std::wstring> names;
    do {
        // The search also matches 8.3 short names ("a.infold" is "A~1.INF"): check the long
        // name against the pattern again. Hidden and system files stay out as exists() hides them.
        if (isPlainFile(data.dwFileAttributes) &&
            PathMatchSpecW(data.cFileName, namePattern.c_str())) {
            names.emplace_back(data.cFileName);
        }
    } while (FindNextFileW(find, &data));
    FindClose(find);

    std::sort(names.begin(), names.end(), [](const std::wstring& a, const std::wstring& b) {
        int order = CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(),
                                         static_cast<int>(b.size()), TRUE);
        if (order != CSTR_EQUAL)
            return order == CSTR_LESS_THAN;
        return a < b;
    });
    std::vector<std::string> out;
    out.reserve(names.size());
    for (const auto& name : names)
        out.push_back(toUtf8(name));
    return out;
}

unsigned Win32Codepage::id() const {
    return GetACP();
}

std::string Win32Codepage::decode(const std::string& bytes) const {
    if (bytes.empty())
        return {};
    if (bytes.size() > static_cast<std::size_t>(std::numeric_limits<int>::max())) {
        throw platform::errorFor(platform::errors::kOverflow, "codepage.decode");
    }
    int length = static_cast<int>(bytes.size());
    int size = MultiByteToWideChar(CP_ACP, 0, bytes.data(), length, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(size), L'\0');
    MultiByteToWideChar(CP_ACP, 0, bytes.data(), length, wide.data(), size);
    return toUtf8(wide);
}

std::string Win32Codepage::encode(const std::string& text) const {
    std::wstring wide = toWide(text);
    if (wide.empty())
        return {};
    // A UTF-8 ANSI page takes neither flags nor a default character, and holds every character.
    if (GetACP() == CP_UTF8)
        return toUtf8(wide);
    int length = static_cast<int>(wide.size());
    // Without WC_NO_BEST_FIT_CHARS a missing character would become a look-alike, not "?".
    int size = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), length, nullptr, 0,
                                   "?", nullptr);
    std::string out(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), length, out.data(), size, "?",
                        nullptr);
    return out;
}

std::vector<std::string> Win32ProfileApi::names(const std::string& file,
                                                const std::optional<std::string>& section) {
    Win32Codepage codepage;
    // A bare file name would be looked for in the Windows folder; the program means its own.
    std::wstring full = fullPath(toWide(file));
    std::string path = codepage.encode(toUtf8(full));
    if (codepage.decode(path) != toUtf8(full)) {
        // A folder the ANSI page cannot spell is still reachable by its short name.
        wchar_t shortName[MAX_PATH];
        DWORD length = GetShortPathNameW(full.c_str(), shortName, MAX_PATH);
        if (length > 0 && length < MAX_PATH)
            path = codepage.encode(toUtf8(shortName));
    }
    std::string sectionAnsi = section ? codepage.encode(*section) : std::string();
    // The reader returns size - 2 when it had to cut the list: grow until it fits.
    constexpr DWORD kLimit = 64u << 20;
    for (DWORD size = 4096;; size *= 2) {
        std::string buffer(size, '\0');
        DWORD copied = GetPrivateProfileStringA(section ? sectionAnsi.c_str() : nullptr, nullptr,
                                                "", buffer.data(), size, path.c_str());
        if (copied + 2 < size || size >= kLimit) {
            buffer.resize(std::min<DWORD>(copied + 1, size));
            std::vector<std::string> names;
            for (const std::string& n : platform::splitNameList(buffer + std::string(1, '\0')))
                names.push_back(codepage.decode(n));
            return names;
        }
    }
}

}  // namespace platform::win32
