#pragma once
// /uninstall: takes off this PC what the package installs, its printers by name and then its
// port when no other printer prints to it. The driver stays: other printers may use it.

#include <string>
#include <vector>

#include "profile/install_request.h"

namespace app {

class Program;

// The names the package's printers may carry: each pass's, and a copy's own name, which the
// install renames a single printer to.
std::vector<std::string> installedNamesOf(const profile::InstallRequest& request);

// Asks first when ask is set (No ends with 1602 and removes nothing). Ends with 0 when the
// printers and the port are gone, also when they were never there; 1603 when a removal failed.
[[noreturn]] void uninstallPackage(Program& program, bool ask);

}  // namespace app
