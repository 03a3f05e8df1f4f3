#include "platform/win32/printer_network_services.h"

// winsock2.h before windows.h, which would otherwise bring the old winsock.h.
#include <winsock2.h>
#include <ws2tcpip.h>

#include <windows.h>

#include <winhttp.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <exception>
#include <memory>
#include <stdexcept>
#include <string>
#include <system_error>
#include <thread>

#include "ipp/request.h"
#include "ipp/response.h"
#include "platform/error_texts.h"
#include "platform/win32/handle.h"
#include "platform/win32/paint_wait.h"
#include "platform/win32/system_library.h"
#include "platform/win32/wide.h"

namespace platform::win32 {

namespace {

constexpr DWORD kTimeoutMilliseconds = 2000;
// The IPP question as a whole: connecting, sending, the reply's head and its body may each take
// their two seconds, and a printer that sends its reply a byte at a time is cut off here.
constexpr DWORD kQuestionMilliseconds = 4 * kTimeoutMilliseconds;
constexpr INTERNET_PORT kIppPort = platform::kIppPort;

WaitDeadline deadlineIn(DWORD milliseconds) {
    return std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
}

class Socket {
  public:
    explicit Socket(SOCKET s) : socket_(s) {}
    ~Socket() {
        if (socket_ != INVALID_SOCKET)
            closesocket(socket_);
    }
    Socket(const Socket&) = delete;
    Socket& operator=(const Socket&) = delete;
    SOCKET get() const { return socket_; }

  private:
    SOCKET socket_;
};

// Failures that mean no one at the address answers, rather than a fault here.
bool nobodyThere(int error) {
    switch (error) {
        case WSAECONNREFUSED:
        case WSAENETUNREACH:
        case WSAEHOSTUNREACH:
        case WSAETIMEDOUT:
        case WSAEADDRNOTAVAIL:
        case WSAEAFNOSUPPORT:  // an IPv6 address on a PC without IPv6
            return true;
        default:
            return false;
    }
}

// Whether the connect in progress completes by the deadline; the socket reports its end into
// the event. A connect that fails is a printer that does not accept it, whatever the error.
bool connectedInTime(SOCKET s, HANDLE connectEnded, WaitDeadline deadline,
                     const std::string& call) {
    if (!waitPainting(connectEnded, deadline, call))
        return false;
    WSANETWORKEVENTS events{};
    if (WSAEnumNetworkEvents(s, connectEnded, &events) != 0)
        throw win32Error(static_cast<DWORD>(WSAGetLastError()), call);
    return (events.lNetworkEvents & FD_CONNECT) != 0 && events.iErrorCode[FD_CONNECT_BIT] == 0;
}

// winhttp.dll is not a known DLL: imported, it would be loaded from the package folder first.
template <typename Function>
Function* winHttp(const char* name, const std::string& call) {
    Function* function = systemFunction<Function>(L"winhttp.dll", name);
    if (function == nullptr)
        throw lastError(call, ERROR_PROC_NOT_FOUND);
    return function;
}

struct WinHttpApi {
    explicit WinHttpApi(const std::string& call)
        : open(winHttp<decltype(WinHttpOpen)>("WinHttpOpen", call)),
          setTimeouts(winHttp<decltype(WinHttpSetTimeouts)>("WinHttpSetTimeouts", call)),
          setOption(winHttp<decltype(WinHttpSetOption)>("WinHttpSetOption", call)),
          connect(winHttp<decltype(WinHttpConnect)>("WinHttpConnect", call)),
          openRequest(winHttp<decltype(WinHttpOpenRequest)>("WinHttpOpenRequest", call)),
          sendRequest(winHttp<decltype(WinHttpSendRequest)>("WinHttpSendRequest", call)),
          receiveResponse(
              winHttp<decltype(WinHttpReceiveResponse)>("WinHttpReceiveResponse", call)),
          queryHeaders(winHttp<decltype(WinHttpQueryHeaders)>("WinHttpQueryHeaders", call)),
          queryDataAvailable(
              winHttp<decltype(WinHttpQueryDataAvailable)>("WinHttpQueryDataAvailable", call)),
          readData(winHttp<decltype(WinHttpReadData)>("WinHttpReadData", call)),
          closeHandle(winHttp<decltype(WinHttpCloseHandle)>("WinHttpCloseHandle", call)) {}
    decltype(WinHttpOpen)* open;
    decltype(WinHttpSetTimeouts)* setTimeouts;
    decltype(WinHttpSetOption)* setOption;
    decltype(WinHttpConnect)* connect;
    decltype(WinHttpOpenRequest)* openRequest;
    decltype(WinHttpSendRequest)* sendRequest;
    decltype(WinHttpReceiveResponse)* receiveResponse;
    decltype(WinHttpQueryHeaders)* queryHeaders;
    decltype(WinHttpQueryDataAvailable)* queryDataAvailable;
    decltype(WinHttpReadData)* readData;
    decltype(WinHttpCloseHandle)* closeHandle;
};

class InternetHandle {
  public:
    InternetHandle(const WinHttpApi& api, HINTERNET handle) : api_(api), handle_(handle) {}
    ~InternetHandle() {
        if (handle_ != nullptr)
            api_.closeHandle(handle_);
    }
    InternetHandle(const InternetHandle&) = delete;
    InternetHandle& operator=(const InternetHandle&) = delete;
    HINTERNET get() const { return handle_; }
    void release() { handle_ = nullptr; }

  private:
    const WinHttpApi& api_;
    HINTERNET handle_;
};

// WinHTTP's failures that mean the printer did not answer in time or not as a web server does.
bool noAnswer(DWORD error) {
    switch (error) {
        case ERROR_WINHTTP_TIMEOUT:
        case ERROR_WINHTTP_NAME_NOT_RESOLVED:
        case ERROR_WINHTTP_CANNOT_CONNECT:
        case ERROR_WINHTTP_CONNECTION_ERROR:
        case ERROR_WINHTTP_INVALID_SERVER_RESPONSE:
        case ERROR_WINHTTP_INVALID_URL:
        case ERROR_WINHTTP_RESEND_REQUEST:
        case ERROR_WINHTTP_REDIRECT_FAILED:
        case ERROR_WINHTTP_HEADER_NOT_FOUND:
        case WSAETIMEDOUT:  // Wine's word for a reply's head that does not come in time
            return true;
        default:
            return false;
    }
}

// Nothing when WinHTTP's last failure means the printer did not answer; otherwise it is raised.
std::optional<std::string> noAnswerOrThrow(const std::string& call) {
    const DWORD error = GetLastError();
    if (noAnswer(error))
        return std::nullopt;
    throw win32Error(error, call);
}

// A session with no proxy, as the printer is on this network and a proxy would carry the question
// elsewhere, and with two seconds for each step.
HINTERNET openSession(const WinHttpApi& api, const std::string& call) {
    HINTERNET session = api.open(L"Velmora", WINHTTP_ACCESS_TYPE_NO_PROXY, WINHTTP_NO_PROXY_NAME,
                                 WINHTTP_NO_PROXY_BYPASS, 0);
    if (session == nullptr)
        throw lastError(call);
    InternetHandle owner(api, session);
    const int timeout = static_cast<int>(kTimeoutMilliseconds);
    if (!api.setTimeouts(session, timeout, timeout, timeout, timeout))
        throw lastError(call);
    // The reply's head has a limit of its own, far longer by default (Wine waits for it with that
    // limit alone): a printer that takes the question and says nothing would hold it.
    DWORD headTimeout = kTimeoutMilliseconds;
    if (!api.setOption(session, WINHTTP_OPTION_RECEIVE_RESPONSE_TIMEOUT, &headTimeout,
                       sizeof headTimeout))
        throw lastError(call);
    owner.release();
    return session;
}

// The body of the reply to a request sent, or nothing as for postIpp.
std::optional<std::string> readReply(const WinHttpApi& api, HINTERNET request,
                                     const std::string& call, const std::atomic<bool>& abandoned) {
    std::string reply;
    char buffer[8192];
    for (;;) {
        if (abandoned)
            return std::nullopt;
        // Only what has come: a read of a full buffer waits until it is full, however slowly the
        // printer sends, and the worker would not see that its asker gave up.
        DWORD available = 0;
        if (!api.queryDataAvailable(request, &available))
            return noAnswerOrThrow(call);
        if (available == 0)
            return reply;
        DWORD read = 0;
        if (!api.readData(request, buffer, std::min<DWORD>(available, sizeof buffer), &read))
            return noAnswerOrThrow(call);
        if (read == 0)
            return reply;
        reply.append(buffer, read);
        if (reply.size() > ipp::kMaxReplyBytes)
            return std::nullopt;
    }
}

// The reply's body, or nothing when the printer does not answer, answers with anything but 200
// or sends more than any reply to the question needs, or when the asker stopped waiting.
std::optional<std::string> postIpp(const WinHttpApi& api, const std::string& address,
                                   const std::string& body, const std::string& call,
                                   const std::atomic<bool>& abandoned) {
    InternetHandle session(api, openSession(api, call));
    InternetHandle connection(api,
                              api.connect(session.get(), toWide(address).c_str(), kIppPort, 0));
    if (connection.get() == nullptr)
        return noAnswerOrThrow(call);
    InternetHandle request(
        api, api.openRequest(connection.get(), L"POST", L"/ipp/print", nullptr, WINHTTP_NO_REFERER,
                             WINHTTP_DEFAULT_ACCEPT_TYPES, 0));
    if (request.get() == nullptr)
        return noAnswerOrThrow(call);
    if (abandoned)
        return std::nullopt;
    const auto length = static_cast<DWORD>(body.size());
    if (!api.sendRequest(request.get(), L"Content-Type: application/ipp\r\n",
                         static_cast<DWORD>(-1), const_cast<char*>(body.data()), length, length,
                         0) ||
        !api.receiveResponse(request.get(), nullptr))
        return noAnswerOrThrow(call);
    DWORD status = 0;
    DWORD size = sizeof status;
    if (!api.queryHeaders(request.get(), WINHTTP_QUERY_STATUS_CODE | WINHTTP_QUERY_FLAG_NUMBER,
                          WINHTTP_HEADER_NAME_BY_INDEX, &status, &size, WINHTTP_NO_HEADER_INDEX))
        return noAnswerOrThrow(call);
    if (status != HTTP_STATUS_OK)
        return std::nullopt;
    return readReply(api, request.get(), call, abandoned);
}

// One IPP question, shared by the window thread and the worker that asks it. The window thread
// may stop waiting first; the worker then keeps this alive, writes only here, and stops at its
// next step, which WinHTTP's own timeouts bound.
struct IppQuestion {
    std::string address;
    std::string body;
    std::string call;
    UniqueHandle answered;  // set by the worker once reply or failure is written
    std::atomic<bool> abandoned{false};
    std::optional<std::string> reply;
    std::exception_ptr failure;
};

void ask(const WinHttpApi& api, IppQuestion& question) {
    try {
        question.reply =
            postIpp(api, question.address, question.body, question.call, question.abandoned);
    } catch (...) {
        question.failure = std::current_exception();
    }
}

// The reply's body, asked on a worker so that the window thread goes on painting while the
// printer takes its time; nothing when the whole question outlasts kQuestionMilliseconds.
std::optional<std::string> postIppPainting(const WinHttpApi& api, const std::string& address,
                                           std::string body, const std::string& call) {
    auto question = std::make_shared<IppQuestion>();
    question->address = address;
    question->body = std::move(body);
    question->call = call;
    question->answered = UniqueHandle(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    if (!question->answered.valid())
        throw lastError(call);
    const WaitDeadline deadline = deadlineIn(kQuestionMilliseconds);
    try {
        // Detached: after a timeout nothing waits for it, and it co-owns what it writes to. The
        // functions it calls are the program's one set, kept until the end.
        std::thread([&api, question] {
            ask(api, *question);
            SetEvent(question->answered.get());
        }).detach();
    } catch (const std::system_error&) {
        // No thread to be had: the question is asked here, the windows unpainted meanwhile.
        ask(api, *question);
        SetEvent(question->answered.get());
    }
    bool answered = false;
    try {
        answered = waitPainting(question->answered.get(), deadline, call);
    } catch (...) {
        question->abandoned = true;
        throw;
    }
    if (!answered) {
        question->abandoned = true;
        return std::nullopt;
    }
    if (question->failure)
        std::rethrow_exception(question->failure);
    return std::move(question->reply);
}

}  // namespace

Win32PrinterNetwork::~Win32PrinterNetwork() {
    if (winsockStarted_)
        WSACleanup();
}

bool Win32PrinterNetwork::probe(const std::string& address, int port) {
    const std::string call = "net.probe " + address + ":" + std::to_string(port);
    if (port < 1 || port > platform::kHighestPort)
        return false;
    if (!winsockStarted_) {
        WSADATA data;
        if (int error = WSAStartup(MAKEWORD(2, 2), &data); error != 0)
            throw win32Error(static_cast<DWORD>(error), call);
        winsockStarted_ = true;
    }
    // Numeric only: looking a name up could take far longer than the two seconds.
    addrinfo hints{};
    hints.ai_flags = AI_NUMERICHOST;
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_protocol = IPPROTO_TCP;
    addrinfo* list = nullptr;
    if (int error = getaddrinfo(address.c_str(), std::to_string(port).c_str(), &hints, &list)) {
        if (error == EAI_NONAME)  // not a numeric address
            return false;
        throw win32Error(static_cast<DWORD>(error), call);
    }
    const std::unique_ptr<addrinfo, decltype(&freeaddrinfo)> found(list, freeaddrinfo);
    // Made before the socket so that it is closed after it: the socket reports into it until
    // then. WSACloseEvent is CloseHandle.
    UniqueHandle connectEnded(WSACreateEvent());
    if (!connectEnded.valid())
        throw win32Error(static_cast<DWORD>(WSAGetLastError()), call);
    Socket s(socket(found->ai_family, found->ai_socktype, found->ai_protocol));
    if (s.get() == INVALID_SOCKET) {
        const int error = WSAGetLastError();
        if (nobodyThere(error))
            return false;
        throw win32Error(static_cast<DWORD>(error), call);
    }
    // This also makes the socket non-blocking: the connect returns at once.
    if (WSAEventSelect(s.get(), connectEnded.get(), FD_CONNECT) != 0)
        throw win32Error(static_cast<DWORD>(WSAGetLastError()), call);
    const WaitDeadline deadline = deadlineIn(kTimeoutMilliseconds);
    if (connect(s.get(), found->ai_addr, static_cast<int>(found->ai_addrlen)) == 0)
        return true;
    const int connectError = WSAGetLastError();
    if (connectError == WSAEWOULDBLOCK)
        return connectedInTime(s.get(), connectEnded.get(), deadline, call);
    if (nobodyThere(connectError))
        return false;
    throw win32Error(static_cast<DWORD>(connectError), call);
}

std::optional<std::string> Win32PrinterNetwork::printerAttribute(const std::string& address,
                                                                 const std::string& attribute) {
    const std::string call = "ipp.query " + address + " " + attribute;
    static const WinHttpApi api(call);
    // Request ids count from 1: the reply must answer this question, not an earlier one.
    const std::uint32_t requestId = ++lastRequestId_;
    std::string body;
    try {
        body = ipp::encodeGetPrinterAttributes(ipp::printerUri(address, kIppPort), {attribute},
                                               requestId);
    } catch (const std::length_error&) {
        throw platform::errorFor(platform::errors::kInvalidProcedureCall, call);
    }
    std::optional<std::string> reply = postIppPainting(api, address, std::move(body), call);
    if (!reply)
        return std::nullopt;
    return ipp::answeredText(*reply, requestId, attribute);
}

}  // namespace platform::win32
