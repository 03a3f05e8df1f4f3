#pragma once
// WMI over COM: IWbemLocator, IWbemServices and the objects they hand back.

#include <windows.h>

#include <wbemidl.h>

#include "platform/win32/com.h"
#include "platform/wmi.h"

namespace platform::win32 {

class Win32Wmi final : public platform::Wmi {
  public:
    // The locator is made on the first connect, after COM is up.
    std::unique_ptr<platform::WmiService> connect(const std::string& moniker) override;

  private:
    ComPtr<IWbemLocator> locator_;
};

}  // namespace platform::win32
