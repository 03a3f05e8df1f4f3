// velmora-e2e.exe serve: the command lines of a whole test script in one process. A Wine
// process takes about 150 ms to start, and a script makes hundreds of calls.
//
// Request on stdin:  ID NUL COUNT NUL ARG NUL ... (COUNT arguments, UTF-8), the arguments as a
//                    command line gives them: options, subcommand, its arguments.
// Answer on stdout:  ID NUL STDOUT NUL STDERR NUL STATUS LF, with what the command printed and
//                    its exit status. The ID lets a client skip an answer to a request it gave up.
//
// Each command runs on a thread of its own, which joins the desktop the command names; what the
// thread attached to (the desktop, another thread's input) ends with it, as with a process.
//
// One request is the server's own: `keep-desktop NAME WAIT-MS` (NAME may take that long to appear).
// A thread of the server then stays in that desktop until the server ends. Wine closes a virtual
// desktop about a second after its last user has gone, and its explorer takes another to end; a
// desktop kept open takes each next program at once.
#include "serve.h"

#include "driver.h"

#include <optional>
#include <set>
#include <vector>

namespace e2e {

namespace {

std::wstring from_utf8(const std::string& text) {
    if (text.empty())
        return {};
    int size =
        MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring out(static_cast<size_t>(size), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), size);
    return out;
}

// NUL-terminated fields from stdin.
class Fields {
  public:
    std::optional<std::string> next() {
        for (;;) {
            size_t end = buffer_.find('\0', start_);
            if (end != std::string::npos) {
                std::string field = buffer_.substr(start_, end - start_);
                start_ = end + 1;
                return field;
            }
            buffer_.erase(0, start_);
            start_ = 0;
            char chunk[4096];
            DWORD got = 0;
            if (!ReadFile(GetStdHandle(STD_INPUT_HANDLE), chunk, sizeof chunk, &got, nullptr) ||
                got == 0)
                return std::nullopt;
            buffer_.append(chunk, got);
        }
    }

  private:
    std::string buffer_;
    size_t start_ = 0;
};

struct Job {
    std::vector<std::wstring> args;
    int status = 0;
};

DWORD WINAPI run_job(void* param) {
    auto* job = static_cast<Job*>(param);
    std::vector<wchar_t*> argv;
    for (std::wstring& arg : job->args)
        argv.push_back(arg.data());
    argv.push_back(nullptr);
    HDESK own = GetThreadDesktop(GetCurrentThreadId());
    job->status = run(static_cast<int>(job->args.size()), argv.data());
    // The desktop the command joined is let go, as a process's end would: a handle left open
    // would keep a program's virtual desktop alive after the program.
    HDESK joined = GetThreadDesktop(GetCurrentThreadId());
    if (joined != own && SetThreadDesktop(own))
        CloseDesktop(joined);
    return 0;
}

struct Keeper {
    std::wstring desktop;
    DWORD wait_ms = 0;
    HANDLE settled = nullptr;
    bool joined = false;
};

DWORD WINAPI keep_desktop(void* param) {
    auto* keeper = static_cast<Keeper*>(param);
    keeper->joined = join_desktop(keeper->desktop, keeper->wait_ms);
    bool joined = keeper->joined;
    SetEvent(keeper->settled);  // the keeper belongs to the waiting request from here on
    if (joined)
        Sleep(INFINITE);
    return 0;
}

int keep(const std::wstring& desktop, DWORD wait_ms) {
    static std::set<std::wstring> kept;
    if (kept.count(desktop))
        return kOk;
    Keeper keeper{desktop, wait_ms, CreateEventW(nullptr, TRUE, FALSE, nullptr)};
    HANDLE thread =
        keeper.settled ? CreateThread(nullptr, 0, keep_desktop, &keeper, 0, nullptr) : nullptr;
    if (!thread) {
        print_error(L"no thread to keep desktop " + desktop);
        if (keeper.settled)
            CloseHandle(keeper.settled);
        return kFailed;
    }
    WaitForSingleObject(keeper.settled, INFINITE);
    CloseHandle(keeper.settled);
    CloseHandle(thread);
    if (!keeper.joined)
        return kFailed;
    kept.insert(desktop);
    return kOk;
}

}  // namespace

int serve() {
    Fields fields;
    for (;;) {
        std::optional<std::string> id = fields.next();
        std::optional<std::string> count = id ? fields.next() : std::nullopt;
        if (!count)
            return 0;  // stdin ended: the client is done
        Job job;
        job.args.push_back(L"velmora-e2e.exe");
        unsigned long n = 0;
        bool whole = parse_number(from_utf8(*count), n) && n <= 1000;
        for (unsigned long i = 0; whole && i < n; ++i) {
            std::optional<std::string> arg = fields.next();
            if (!arg)
                return 0;
            job.args.push_back(from_utf8(*arg));
        }
        Captured captured;
        if (!whole) {
            captured.err = "velmora-e2e: bad request\n";
            job.status = 2;
        } else if (job.args.size() == 4 && job.args[1] == L"keep-desktop") {
            capture_output(&captured);
            unsigned long wait_ms = 0;
            job.status = parse_number(job.args[3], wait_ms)
                             ? keep(job.args[2], static_cast<DWORD>(wait_ms))
                             : kUsage;
            capture_output(nullptr);
        } else {
            capture_output(&captured);
            HANDLE thread = CreateThread(nullptr, 0, run_job, &job, 0, nullptr);
            if (thread) {
                WaitForSingleObject(thread, INFINITE);
                CloseHandle(thread);
            } else {
                captured.err = "velmora-e2e: no thread for the command\n";
                job.status = 1;
            }
            capture_output(nullptr);
        }
        std::string answer = *id;
        answer += '\0';
        answer += captured.out;
        answer += '\0';
        answer += captured.err;
        answer += '\0';
        answer += std::to_string(job.status) + "\n";
        write_stdout(answer);
    }
}

}  // namespace e2e
