#include "platform/win32/printer_network_services.h"

// winsock2.h before windows.h, which would otherwise bring the old winsock.h.
#include <winsock2.h>
#include <ws2tcpip.h>

#include <windows.h>

#include <winhttp.h>

#include <memory>
#include <stdexcept>
#include <string>

#include "ipp/request.h"
#include "ipp/response.h"
#include "platform/error_texts.h"
#include "platform/system.h"
#include "platform/win32/system_library.h"
#include "platform/win32/wide.h"

namespace platform::win32 {

namespace {

constexpr DWORD kTimeoutMilliseconds = 2000;
constexpr INTERNET_PORT kIppPort = 631;

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

// Whether the non-blocking connect in progress completes within the timeout. Windows reports a
// failed connect in the exception set, a completed one in the write set.
bool connectedInTime(SOCKET s, const std::string& call) {
    fd_set writable;
    fd_set failed;
    FD_ZERO(&writable);
    FD_ZERO(&failed);
    FD_SET(s, &writable);
    FD_SET(s, &failed);
    timeval timeout{static_cast<long>(kTimeoutMilliseconds / kMillisecondsPerSecond), 0};
    int ready = select(0, nullptr, &writable, &failed, &timeout);
    if (ready == SOCKET_ERROR)
        throw win32Error(static_cast<DWORD>(WSAGetLastError()), call);
    if (ready == 0 || FD_ISSET(s, &failed))
        return false;
    int error = 0;
    int size = sizeof error;
    if (getsockopt(s, SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&error), &size) != 0)
        throw win32Error(static_cast<DWORD>(WSAGetLastError()), call);
    return error == 0;
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
          connect(winHttp<decltype(WinHttpConnect)>("WinHttpConnect", call)),
          openRequest(winHttp<decltype(WinHttpOpenRequest)>("WinHttpOpenRequest", call)),
          sendRequest(winHttp<decltype(WinHttpSendRequest)>("WinHttpSendRequest", call)),
          receiveResponse(
              winHttp<decltype(WinHttpReceiveResponse)>("WinHttpReceiveResponse", call)),
          queryHeaders(winHttp<decltype(WinHttpQueryHeaders)>("WinHttpQueryHeaders", call)),
          readData(winHttp<decltype(WinHttpReadData)>("WinHttpReadData", call)),
          closeHandle(winHttp<decltype(WinHttpCloseHandle)>("WinHttpCloseHandle", call)) {}
    decltype(WinHttpOpen)* open;
    decltype(WinHttpSetTimeouts)* setTimeouts;
    decltype(WinHttpConnect)* connect;
    decltype(WinHttpOpenRequest)* openRequest;
    decltype(WinHttpSendRequest)* sendRequest;
    decltype(WinHttpReceiveResponse)* receiveResponse;
    decltype(WinHttpQueryHeaders)* queryHeaders;
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
            return true;
        default:
            return false;
    }
}

// The reply's body, or nothing when the printer does not answer, answers with anything but 200
// or sends more than any reply to the question needs.
std::optional<std::string> postIpp(const WinHttpApi& api, const std::string& address,
                                   const std::string& body, const std::string& call) {
    auto failed = [&]() -> std::optional<std::string> {
        DWORD error = GetLastError();
        if (noAnswer(error))
            return std::nullopt;
        throw win32Error(error, call);
    };
    // No proxy: the printer is on this network, and a proxy would carry the question elsewhere.
    InternetHandle session(api, api.open(L"Velmora", WINHTTP_ACCESS_TYPE_NO_PROXY,
                                         WINHTTP_NO_PROXY_NAME, WINHTTP_NO_PROXY_BYPASS, 0));
    if (session.get() == nullptr)
        throw lastError(call);
    const int timeout = static_cast<int>(kTimeoutMilliseconds);
    if (!api.setTimeouts(session.get(), timeout, timeout, timeout, timeout))
        throw lastError(call);
    InternetHandle connection(api,
                              api.connect(session.get(), toWide(address).c_str(), kIppPort, 0));
    if (connection.get() == nullptr)
        return failed();
    InternetHandle request(
        api, api.openRequest(connection.get(), L"POST", L"/ipp/print", nullptr, WINHTTP_NO_REFERER,
                             WINHTTP_DEFAULT_ACCEPT_TYPES, 0));
    if (request.get() == nullptr)
        return failed();
    const auto length = static_cast<DWORD>(body.size());
    if (!api.sendRequest(request.get(), L"Content-Type: application/ipp\r\n",
                         static_cast<DWORD>(-1), const_cast<char*>(body.data()), length, length,
                         0) ||
        !api.receiveResponse(request.get(), nullptr))
        return failed();
    DWORD status = 0;
    DWORD size = sizeof status;
    if (!api.queryHeaders(request.get(), WINHTTP_QUERY_STATUS_CODE | WINHTTP_QUERY_FLAG_NUMBER,
                          WINHTTP_HEADER_NAME_BY_INDEX, &status, &size, WINHTTP_NO_HEADER_INDEX))
        return failed();
    if (status != HTTP_STATUS_OK)
        return std::nullopt;
    std::string reply;
    char buffer[8192];
    for (;;) {
        DWORD read = 0;
        if (!api.readData(request.get(), buffer, sizeof buffer, &read))
            return failed();
        if (read == 0)
            return reply;
        reply.append(buffer, read);
        if (reply.size() > ipp::kMaxReplyBytes)
            return std::nullopt;
    }
}

}  // namespace

Win32PrinterNetwork::~Win32PrinterNetwork() {
    if (winsockStarted_)
        WSACleanup();
}

bool Win32PrinterNetwork::probe(const std::string& address, int port) {
    const std::string call = "net.probe " + address + ":" + std::to_string(port);
    if (port < 1 || port > kHighestPort)
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
    Socket s(socket(found->ai_family, found->ai_socktype, found->ai_protocol));
    if (s.get() == INVALID_SOCKET) {
        const int error = WSAGetLastError();
        if (nobodyThere(error))
            return false;
        throw win32Error(static_cast<DWORD>(error), call);
    }
    u_long nonBlocking = 1;
    if (ioctlsocket(s.get(), FIONBIO, &nonBlocking) != 0)
        throw win32Error(static_cast<DWORD>(WSAGetLastError()), call);
    if (connect(s.get(), found->ai_addr, static_cast<int>(found->ai_addrlen)) == 0)
        return true;
    const int connectError = WSAGetLastError();
    if (connectError == WSAEWOULDBLOCK)
        return connectedInTime(s.get(), call);
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
    std::optional<std::string> reply = postIpp(api, address, body, call);
    if (!reply)
        return std::nullopt;
    return ipp::answeredText(*reply, requestId, attribute);
}

}  // namespace platform::win32
