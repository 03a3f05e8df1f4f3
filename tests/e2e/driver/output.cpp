#include "driver.h"
#include "serve.h"

namespace e2e {

std::string to_utf8(const std::wstring& text) {
    if (text.empty())
        return {};
    int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr,
                                   0, nullptr, nullptr);
    std::string out(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), size,
                        nullptr, nullptr);
    return out;
}

// Raw bytes through WriteFile: a console code page would turn the Chinese into question marks.
static void write_all(HANDLE handle, const std::string& bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        DWORD written = 0;
        if (!WriteFile(handle, bytes.data() + done, static_cast<DWORD>(bytes.size() - done),
                       &written, nullptr) ||
            written == 0)
            return;
        done += written;
    }
}

static Captured* captured = nullptr;

void capture_output(Captured* into) {
    captured = into;
}

void write_stdout(const std::string& bytes) {
    write_all(GetStdHandle(STD_OUTPUT_HANDLE), bytes);
}

void print_line(const std::wstring& text) {
    std::string line = to_utf8(text) + "\n";
    if (captured)
        captured->out += line;
    else
        write_stdout(line);
}

void print_error(const std::wstring& text) {
    std::string line = "velmora-e2e: " + to_utf8(text) + "\n";
    if (captured)
        captured->err += line;
    else
        write_all(GetStdHandle(STD_ERROR_HANDLE), line);
}

std::wstring win32_error(DWORD code) {
    return L"error " + std::to_wstring(code);
}

}  // namespace e2e
