// The window thread's waits under Wine: waitPainting itself, and the printer network's probe and
// IPP question, which wait through it. Helper threads play the other side (a sender, a printer)
// and wait for what the window thread must have done, each under a limit, never a fixed time.
// One "ok - ..." or "not ok - ..." line per check; exit status 1 when one failed.
//
//   velmora-waits.exe          (port 631 of 127.0.0.1 must be free for the IPP checks)

// winsock2.h before windows.h, which would otherwise bring the old winsock.h.
#include <winsock2.h>
#include <ws2tcpip.h>

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "platform/error.h"
#include "platform/win32/handle.h"
#include "platform/win32/paint_wait.h"
#include "platform/win32/printer_network_services.h"

namespace {

using Clock = std::chrono::steady_clock;
using platform::win32::UniqueHandle;
using platform::win32::waitPainting;

int failures = 0;

void check(bool passed, const std::string& what, const std::string& detail = {}) {
    std::printf("%s - %s\n", passed ? "ok" : "not ok", what.c_str());
    if (!passed) {
        ++failures;
        if (!detail.empty())
            std::printf("#   %s\n", detail.c_str());
    }
    std::fflush(stdout);
}

long long millisecondsSince(Clock::time_point start) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
}

Clock::time_point in(int milliseconds) {
    return Clock::now() + std::chrono::milliseconds(milliseconds);
}

// For the helper threads: polls until done() holds or the limit passes.
bool pollUntil(const std::function<bool()>& done, int limitMilliseconds) {
    const Clock::time_point limit = in(limitMilliseconds);
    while (!done()) {
        if (Clock::now() >= limit)
            return false;
        Sleep(5);
    }
    return true;
}

UniqueHandle newEvent() {
    return UniqueHandle(CreateEventW(nullptr, TRUE, FALSE, nullptr));
}

// Ends the run with a failed check when a group of checks is still running after its limit: a
// wait that never ends is told as such, not left to the script's total timeout.
class Watchdog {
  public:
    Watchdog(std::string what, int limitMilliseconds)
        : thread_([this, what = std::move(what), limitMilliseconds] {
              if (WaitForSingleObject(done_.get(), static_cast<DWORD>(limitMilliseconds)) ==
                  WAIT_OBJECT_0)
                  return;
              check(false, "no hang in " + what,
                    "still running after " + std::to_string(limitMilliseconds) + " ms");
              ExitProcess(1);
          }) {}
    ~Watchdog() {
        SetEvent(done_.get());
        thread_.join();
    }
    Watchdog(const Watchdog&) = delete;
    Watchdog& operator=(const Watchdog&) = delete;

  private:
    UniqueHandle done_ = newEvent();
    std::thread thread_;
};

// --- the window --------------------------------------------------------------------------------

constexpr UINT kAnswer = WM_APP + 1;          // sent by a helper: answered with 42
constexpr UINT kQuitFromInside = WM_APP + 2;  // sent by a helper: the window posts WM_QUIT (7)
constexpr UINT kPosted = WM_APP + 3;          // posted by a helper

std::atomic<int> paints{0};
std::vector<UINT> handled;  // the posted messages and input the window procedure saw

LRESULT CALLBACK windowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_PAINT: {
            PAINTSTRUCT ps;
            BeginPaint(hwnd, &ps);
            EndPaint(hwnd, &ps);
            ++paints;
            return 0;
        }
        case kAnswer:
            return 42;
        case kQuitFromInside:
            PostQuitMessage(7);
            return 0;
        case kPosted:
        case WM_KEYDOWN:
        case WM_CHAR:
        case WM_LBUTTONDOWN:
            handled.push_back(msg);
            return 0;
        default:
            return DefWindowProcW(hwnd, msg, wParam, lParam);
    }
}

// Paints nothing and leaves itself invalid, so WM_PAINT keeps coming.
LRESULT CALLBACK neverValidProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_PAINT)
        return 0;
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

HWND makeWindow(WNDPROC proc, const wchar_t* className) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = proc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = className;
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    RegisterClassW(&wc);
    return CreateWindowExW(0, className, className, WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10, 240,
                           120, nullptr, nullptr, wc.hInstance, nullptr);
}

// Handles everything waiting, as a message loop would; the messages it found, in order.
std::vector<UINT> dispatchAll() {
    std::vector<UINT> seen;
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        seen.push_back(msg.message);
        DispatchMessageW(&msg);
    }
    return seen;
}

// A helper that asks the window thread to paint, waits until it has, then sets the event.
std::thread paintThenSet(HWND hwnd, HANDLE event) {
    const int before = paints;
    return std::thread([hwnd, event, before] {
        InvalidateRect(hwnd, nullptr, TRUE);
        pollUntil([&] { return paints > before; }, 5000);
        SetEvent(event);
    });
}

// --- waitPainting ------------------------------------------------------------------------------

void testEnds() {
    const Watchdog watchdog("the waits on a signalled and an unsignalled handle", 10000);
    UniqueHandle event = newEvent();
    SetEvent(event.get());
    Clock::time_point start = Clock::now();
    bool signalled = waitPainting(event.get(), in(5000), "test");
    check(signalled && millisecondsSince(start) < 500, "a signalled handle ends the wait at once");
    check(waitPainting(event.get(), Clock::now() - std::chrono::seconds(1), "test"),
          "a signalled handle counts even when the deadline has passed");

    UniqueHandle never = newEvent();
    start = Clock::now();
    signalled = waitPainting(never.get(), in(300), "test");
    const long long took = millisecondsSince(start);
    check(!signalled && took >= 290 && took < 2000,
          "an unsignalled handle ends the wait at its deadline",
          "waited " + std::to_string(took) + " ms for a deadline of 300 ms");
}

void testPaints(HWND hwnd) {
    const Watchdog watchdog("the wait with painting", 10000);
    UniqueHandle event = newEvent();
    std::thread helper = paintThenSet(hwnd, event.get());
    const bool signalled = waitPainting(event.get(), in(5000), "test");
    helper.join();
    check(signalled, "the window is painted while the wait goes on");
}

void testSent(HWND hwnd) {
    const Watchdog watchdog("the wait with a sent message", 10000);
    UniqueHandle event = newEvent();
    std::atomic<long long> answer{-1};
    std::thread helper([&] {
        DWORD_PTR result = 0;
        if (SendMessageTimeoutW(hwnd, kAnswer, 0, 0, SMTO_NORMAL, 5000, &result))
            answer = static_cast<long long>(result);
        SetEvent(event.get());
    });
    const bool signalled = waitPainting(event.get(), in(5000), "test");
    helper.join();
    check(signalled && answer == 42, "a message another thread sends is answered during the wait",
          "answer " + std::to_string(answer.load()));
}

void testPostedWait(HWND hwnd) {
    const Watchdog watchdog("the wait with posted messages", 10000);
    handled.clear();
    UniqueHandle event = newEvent();
    const int before = paints;
    std::thread helper([&] {
        PostMessageW(hwnd, kPosted, 0, 0);
        PostMessageW(hwnd, WM_KEYDOWN, 'A', 1);
        PostMessageW(hwnd, WM_CHAR, 'a', 1);
        PostMessageW(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
        // Painting shows that the wait has looked at the queue since they came.
        InvalidateRect(hwnd, nullptr, TRUE);
        pollUntil([&] { return paints > before; }, 5000);
        SetEvent(event.get());
    });
    const bool signalled = waitPainting(event.get(), in(5000), "test");
    helper.join();
    check(signalled && handled.empty(),
          "a posted message, a key and a click are left queued during the wait",
          std::to_string(handled.size()) + " handled during it");
    dispatchAll();
    const std::vector<UINT> expected{kPosted, WM_KEYDOWN, WM_CHAR, WM_LBUTTONDOWN};
    check(handled == expected, "after the wait they are all handled, in the order they came");
}

void testQuit(HWND hwnd) {
    const Watchdog watchdog("the wait with a WM_QUIT", 10000);
    UniqueHandle event = newEvent();
    std::thread helper([&] {
        DWORD_PTR ignored = 0;
        SendMessageTimeoutW(hwnd, kQuitFromInside, 0, 0, SMTO_NORMAL, 5000, &ignored);
        SetEvent(event.get());
    });
    const bool signalled = waitPainting(event.get(), in(5000), "test");
    helper.join();
    check(signalled, "the wait still ends on its handle after a WM_QUIT came");
    MSG msg{};
    bool quit = false;
    while (!quit && PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
        quit = msg.message == WM_QUIT;
    check(quit && msg.wParam == 7,
          "a WM_QUIT that came during the wait is there after it, with its exit code");
}

void testNeverValid() {
    const Watchdog watchdog("the wait beside a window that never finishes painting", 10000);
    HWND bad = makeWindow(neverValidProc, L"velmora-never-valid");
    InvalidateRect(bad, nullptr, TRUE);
    UniqueHandle never = newEvent();
    const Clock::time_point start = Clock::now();
    const bool signalled = waitPainting(never.get(), in(300), "test");
    const long long took = millisecondsSince(start);
    check(!signalled && took < 2000,
          "a window that never finishes painting does not hold the wait past its deadline",
          "waited " + std::to_string(took) + " ms for a deadline of 300 ms");
    DestroyWindow(bad);
    dispatchAll();
}

// --- the probe ---------------------------------------------------------------------------------

struct Listener {
    SOCKET socket = INVALID_SOCKET;
    int port = 0;
    ~Listener() {
        if (socket != INVALID_SOCKET)
            closesocket(socket);
    }
};

// A socket bound to a free port of 127.0.0.1, listening with that backlog unless it is negative.
void bindLoopback(Listener& listener, int backlog) {
    listener.socket = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    int size = sizeof address;
    bind(listener.socket, reinterpret_cast<sockaddr*>(&address), size);
    if (backlog >= 0)
        listen(listener.socket, backlog);
    getsockname(listener.socket, reinterpret_cast<sockaddr*>(&address), &size);
    listener.port = ntohs(address.sin_port);
}

// Connects without waiting for the answer.
SOCKET startConnect(int port) {
    SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    u_long nonBlocking = 1;
    ioctlsocket(s, FIONBIO, &nonBlocking);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(static_cast<u_short>(port));
    connect(s, reinterpret_cast<sockaddr*>(&address), sizeof address);
    return s;
}

void testProbe(HWND hwnd, platform::win32::Win32PrinterNetwork& network) {
    const Watchdog watchdog("the probes", 15000);
    Listener open;
    bindLoopback(open, SOMAXCONN);
    check(network.probe("127.0.0.1", open.port), "the probe finds a port that listens");

    int closedPort = 0;
    {
        Listener closed;
        bindLoopback(closed, -1);
        closedPort = closed.port;
    }
    Clock::time_point start = Clock::now();
    const bool refused = !network.probe("127.0.0.1", closedPort);
    check(refused && millisecondsSince(start) < 1500, "a closed port is no answer, at once");
    check(!network.probe("printer.example", open.port) && !network.probe("127.0.0.1", 0) &&
              !network.probe("127.0.0.1", 65536),
          "a name or a port out of range is no answer");

    // A backlog of one, taken: the system drops the next connect's SYN, which then hangs.
    Listener full;
    bindLoopback(full, 0);
    std::vector<SOCKET> waiting{startConnect(full.port), startConnect(full.port)};
    const int before = paints;
    InvalidateRect(hwnd, nullptr, TRUE);
    start = Clock::now();
    const bool answered = network.probe("127.0.0.1", full.port);
    const long long took = millisecondsSince(start);
    check(!answered && took >= 1900 && took < 3500,
          "a connect nobody accepts is no answer after two seconds",
          (answered ? "answered" : "no answer") + std::string(" after ") + std::to_string(took) +
              " ms");
    check(paints > before, "the window is painted while the probe waits");
    for (SOCKET s : waiting)
        closesocket(s);
}

// --- the IPP question --------------------------------------------------------------------------

enum class Printer { AnswersAfterPaint, Silent, Dribbles };

void putShort(std::string& out, std::size_t value) {
    out += static_cast<char>((value >> 8) & 0xFF);
    out += static_cast<char>(value & 0xFF);
}

void putAttribute(std::string& out, char tag, const std::string& name, const std::string& value) {
    out += tag;
    putShort(out, name.size());
    out += name;
    putShort(out, value.size());
    out += value;
}

// A successful Get-Printer-Attributes reply to the request with that id, with a long
// printer-info, so that sent a byte at a time it lasts well past the asker's limit.
std::string ippReply(const std::string& requestId, const std::string& makeAndModel) {
    std::string body("\x01\x01\x00\x00", 4);
    body += requestId;
    body += '\x01';
    putAttribute(body, '\x47', "attributes-charset", "utf-8");
    putAttribute(body, '\x48', "attributes-natural-language", "en");
    body += '\x04';
    putAttribute(body, '\x41', "printer-make-and-model", makeAndModel);
    putAttribute(body, '\x41', "printer-info", std::string(400, 'x'));
    body += '\x03';
    return body;
}

std::string httpHead(std::size_t length) {
    return "HTTP/1.1 200 OK\r\nContent-Type: application/ipp\r\nContent-Length: " +
           std::to_string(length) + "\r\nConnection: close\r\n\r\n";
}

// The IPP request id (four bytes) of the question read from a connection, when it is the
// program's (Get-Printer-Attributes on /ipp/print); nothing for anything else, such as Wine's own
// questions to a CUPS server on this port, which any process of the prefix may ask at any time.
std::optional<std::string> readQuestion(SOCKET s) {
    DWORD patience = 5000;
    setsockopt(s, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&patience),
               sizeof patience);
    std::string got;
    char buffer[4096];
    for (;;) {
        const std::size_t headEnd = got.find("\r\n\r\n");
        if (headEnd != std::string::npos) {
            if (got.rfind("POST /ipp/print ", 0) != 0)
                return std::nullopt;
            const std::size_t at = got.find("Content-Length: ");
            const std::size_t length =
                at == std::string::npos ? 0 : std::stoul(got.substr(at + 16));
            const std::size_t body = headEnd + 4;
            if (got.size() >= body + length) {
                if (length < 8 || got.compare(body + 2, 2, std::string("\x00\x0b", 2)) != 0)
                    return std::nullopt;
                return got.substr(body + 4, 4);
            }
        }
        const int n = recv(s, buffer, sizeof buffer, 0);
        if (n <= 0)
            return std::nullopt;
        got.append(buffer, static_cast<std::size_t>(n));
    }
}

// Whether a connection waits on the listener, looking for up to 100 ms.
bool connectionWaiting(SOCKET listener) {
    fd_set readable;
    FD_ZERO(&readable);
    FD_SET(listener, &readable);
    timeval shortly{0, 100000};
    return select(0, &readable, nullptr, nullptr, &shortly) == 1;
}

// Whether the other side has closed the connection (a read finds its end or a reset).
bool peerGone(SOCKET s) {
    fd_set readable;
    FD_ZERO(&readable);
    FD_SET(s, &readable);
    timeval none{0, 0};
    if (select(0, &readable, nullptr, nullptr, &none) != 1)
        return false;
    char byte = 0;
    return recv(s, &byte, 1, MSG_PEEK) <= 0;
}

// One question's printer on 127.0.0.1:631, on a thread of its own.
class TestPrinter {
  public:
    TestPrinter(SOCKET listener, Printer kind) : listener_(listener), kind_(kind) {
        thread_ = std::thread([this] { serve(); });
    }
    ~TestPrinter() {
        if (thread_.joinable())
            thread_.join();
    }
    TestPrinter(const TestPrinter&) = delete;
    TestPrinter& operator=(const TestPrinter&) = delete;

    // What it did, for a failure's report.
    std::string story() const {
        return "the printer read the question " + std::to_string(questionAfter_) +
               " ms after it began to listen (-1: never) and sent " + std::to_string(sent_) +
               " bytes of the body";
    }

    // How long after `gaveUp` the asker's connection went: -1 when it had not in 30 s.
    long long goneAfter(Clock::time_point gaveUp) {
        thread_.join();
        if (!gone_)
            return -1;
        return std::max<long long>(
            0, std::chrono::duration_cast<std::chrono::milliseconds>(*gone_ - gaveUp).count());
    }

  private:
    // Serves the first question of the program that comes in 30 s; other requests are refused.
    void serve() {
        const Clock::time_point start = Clock::now();
        const Clock::time_point limit = in(30000);
        while (Clock::now() < limit) {
            if (!connectionWaiting(listener_))
                continue;
            SOCKET s = accept(listener_, nullptr, nullptr);
            if (s == INVALID_SOCKET)
                return;
            const std::optional<std::string> id = readQuestion(s);
            if (id) {
                questionAfter_ = millisecondsSince(start);
                answer(s, *id);
            }
            closesocket(s);
            if (id)
                return;
        }
    }

    void answer(SOCKET s, const std::string& id) {
        const std::string body = ippReply(id, "Maker Held 1");
        const std::string head = httpHead(body.size());
        if (kind_ == Printer::AnswersAfterPaint) {
            const int before = paints;
            pollUntil([&] { return paints > before; }, 1500);
            const std::string all = head + body;
            send(s, all.data(), static_cast<int>(all.size()), 0);
            return;
        }
        if (kind_ == Printer::Dribbles)
            send(s, head.data(), static_cast<int>(head.size()), 0);
        // A byte every 100 ms (the asker's receive timeout is two seconds, far more even when
        // the machine is busy), never the last one, until the asker goes.
        const Clock::time_point limit = in(30000);
        while (Clock::now() < limit) {
            if (peerGone(s)) {
                gone_ = Clock::now();
                return;
            }
            if (kind_ == Printer::Dribbles && sent_ + 1 < body.size()) {
                if (send(s, body.data() + sent_, 1, 0) != 1) {
                    gone_ = Clock::now();
                    return;
                }
                ++sent_;
            }
            Sleep(100);
        }
    }

    SOCKET listener_;
    Printer kind_;
    std::thread thread_;
    std::optional<Clock::time_point> gone_;
    std::atomic<long long> questionAfter_{-1};
    std::atomic<std::size_t> sent_{0};
};

std::optional<std::string> ask(platform::win32::Win32PrinterNetwork& network, long long& took) {
    const Clock::time_point start = Clock::now();
    std::optional<std::string> value;
    try {
        value = network.printerAttribute("127.0.0.1", "printer-make-and-model");
    } catch (const platform::Error& e) {
        check(false, "the IPP question raises no error", e.description());
    }
    took = millisecondsSince(start);
    return value;
}

void testIpp(HWND hwnd, platform::win32::Win32PrinterNetwork& network) {
    const Watchdog watchdog("the IPP questions", 60000);
    Listener printerPort;
    printerPort.socket = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(631);
    if (bind(printerPort.socket, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        listen(printerPort.socket, SOMAXCONN) != 0) {
        check(false, "port 631 of 127.0.0.1 is free for the test printer",
              "error " + std::to_string(WSAGetLastError()) + "; end what listens there");
        return;
    }
    long long took = 0;
    {
        const int before = paints;
        TestPrinter printer(printerPort.socket, Printer::AnswersAfterPaint);
        InvalidateRect(hwnd, nullptr, TRUE);
        const std::optional<std::string> value = ask(network, took);
        check(paints > before, "the window is painted while the IPP question waits");
        check(
            value == "Maker Held 1",
            "a printer's answer, held until the window has painted, is read",
            value ? "read \"" + *value + "\"" : "no answer after " + std::to_string(took) + " ms");
    }
    {
        TestPrinter printer(printerPort.socket, Printer::Silent);
        const std::optional<std::string> value = ask(network, took);
        check(!value && took >= 1900 && took < 4000,
              "a printer that takes the question and never answers is no answer after two seconds",
              "after " + std::to_string(took) + " ms");
    }
    TestPrinter printer(printerPort.socket, Printer::Dribbles);
    const std::optional<std::string> value = ask(network, took);
    const Clock::time_point gaveUp = Clock::now();
    check(!value && took >= 7800 && took < 10000,
          "a printer that sends its answer a byte at a time is cut off after eight seconds",
          "after " + std::to_string(took) + " ms; " + printer.story());
    const long long goneAfter = printer.goneAfter(gaveUp);
    check(goneAfter >= 0 && goneAfter < 3000,
          "the question given up leaves the printer within one step of two seconds",
          "its connection went " + std::to_string(goneAfter) + " ms after (-1: not in 30 s); " +
              printer.story());
}

}  // namespace

int main() {
    WSADATA data;
    if (WSAStartup(MAKEWORD(2, 2), &data) != 0) {
        check(false, "Winsock starts");
        return 1;
    }
    HWND hwnd = makeWindow(windowProc, L"velmora-waits");
    check(hwnd != nullptr, "the test window is made");
    if (hwnd == nullptr)
        return 1;
    dispatchAll();

    testEnds();
    testPaints(hwnd);
    testSent(hwnd);
    testPostedWait(hwnd);
    testQuit(hwnd);
    testNeverValid();
    {
        platform::win32::Win32PrinterNetwork network;
        testProbe(hwnd, network);
        testIpp(hwnd, network);
    }
    DestroyWindow(hwnd);
    WSACleanup();
    return failures == 0 ? 0 : 1;
}
