#pragma once
// The program's services with every change they make written to the install log: commands
// started and how they ended, WMI changes, registry and printer settings, files written,
// printers and ports removed, every message shown with the answer given, and what printers
// answered on the network (platform/logged_printer_network.h). Other reads are not logged. A
// failing call is logged with its number and text and then raised
// unchanged.

#include <memory>

#include "platform/services.h"

namespace platform {

class LoggedServices {
  public:
    explicit LoggedServices(Services& inner);
    ~LoggedServices();
    LoggedServices(const LoggedServices&) = delete;
    LoggedServices& operator=(const LoggedServices&) = delete;

    Services& services();

  private:
    struct Parts;
    std::unique_ptr<Parts> parts_;
};

// "失敗 0x80070002：系統找不到指定的檔案。" for a log line or a reason.
std::string failureText(const class Error& error);

}  // namespace platform
