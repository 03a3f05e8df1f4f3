#pragma once
// WMI over COM: IWbemLocator, IWbemServices and the objects they hand back.

#include <windows.h>

#include <wbemidl.h>

#include <memory>
#include <string>

#include "platform/win32/com.h"
#include "platform/wmi.h"

namespace platform::win32 {

class Win32Wmi final : public platform::Wmi {
  public:
    Win32Wmi();
    ~Win32Wmi() override;
    // The locator is made on the first connect, after COM is up.
    std::unique_ptr<platform::WmiService> connect(const std::string& moniker) override;
    // Opens this moniker's service and runs this query now, on a worker in a COM apartment of
    // its own (COM security must be set first). The first connect() to the moniker then
    // reports that connection, and its first execQuery() of the same query with the default
    // flags answers with those rows or that failure; any other call connects as usual.
    void queryAhead(const std::string& moniker, const std::string& wql);
    // A connection made now on this thread, whatever was queried ahead.
    std::unique_ptr<platform::WmiService> connectNow(const std::string& moniker);

  private:
    struct Ahead;
    ComPtr<IWbemLocator> locator_;
    std::unique_ptr<Ahead> ahead_;
};

}  // namespace platform::win32
