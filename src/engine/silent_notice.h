#pragma once
// The notice of a run nobody watches: it shows nothing, as the progress is in the log already.

#include "engine/install_notice.h"

namespace engine {

class SilentNotice final : public InstallNotice {
  public:
    void open() override {}
    void showPrinterName(const std::string&) override {}
    void showProgress(const std::string&) override {}
    void minimize() override {}
    void hide() override {}
    void close() override {}
};

}  // namespace engine
