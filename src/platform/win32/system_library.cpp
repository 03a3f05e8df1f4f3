#include "platform/win32/system_library.h"

namespace platform::win32 {

namespace {

// A folder the system reports, growing the buffer while it is too small.
template <typename Query>
std::wstring reportedFolder(Query query) {
    std::wstring folder(MAX_PATH, L'\0');
    while (true) {
        UINT length = query(folder.data(), static_cast<UINT>(folder.size()));
        if (length == 0)
            return {};
        if (length < folder.size()) {
            folder.resize(length);
            break;
        }
        folder.resize(length);
    }
    while (!folder.empty() && folder.back() == L'\\')
        folder.pop_back();
    return folder;
}

}  // namespace

void restrictSearchPaths() {
    // Looked up rather than imported: Windows 7 has it only with an update, and a program that
    // imports it would not start there at all.
    using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);
    auto setDefault = reinterpret_cast<SetDefaultDllDirectoriesFn>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "SetDefaultDllDirectories")));
    if (setDefault == nullptr || !setDefault(LOAD_LIBRARY_SEARCH_SYSTEM32)) {
        // At least the current folder leaves the search; systemLibrary names full paths there.
        SetDllDirectoryW(L"");
    }
    // Read by cmd and CreateProcess in every child, which inherits it.
    SetEnvironmentVariableW(L"NoDefaultCurrentDirectoryInExePath", L"1");
}

std::wstring systemFolder() {
    return reportedFolder(
        [](wchar_t* buffer, UINT size) { return GetSystemDirectoryW(buffer, size); });
}

std::wstring windowsFolder() {
    return reportedFolder(
        [](wchar_t* buffer, UINT size) { return GetSystemWindowsDirectoryW(buffer, size); });
}

HMODULE systemLibrary(const wchar_t* fileName) {
    // By name, so that the version the manifest selects (comctl32 6) still applies.
    HMODULE module = LoadLibraryExW(fileName, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    if (module != nullptr || GetLastError() != ERROR_INVALID_PARAMETER)
        return module;
    // A system without the search flags: the full path in the system folder instead.
    std::wstring folder = systemFolder();
    if (folder.empty())
        return nullptr;
    return LoadLibraryExW((folder + L"\\" + fileName).c_str(), nullptr, 0);
}

}  // namespace platform::win32
