#pragma once
// What an install shows while it runs. The notice window shows it; a run without windows
// passes one that only logs.

#include <string>

namespace engine {

class InstallNotice {
  public:
    virtual ~InstallNotice() = default;
    virtual void open() = 0;
    virtual void showPrinterName(const std::string& name) = 0;
    virtual void showProgress(const std::string& text) = 0;
    // Out of the way while the main program asks for the address.
    virtual void minimize() = 0;
    virtual void hide() = 0;
    virtual void close() = 0;
};

}  // namespace engine
