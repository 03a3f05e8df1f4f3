#pragma once
// Before the first change of an install: the package's model must be one its INF file declares
// for this PC, or the driver step would fail after the port is made. A package that names
// another is damaged, and the run stops with the models the INF does declare.

#include <string>
#include <vector>

#include "forms/runtime.h"
#include "platform/services.h"

namespace app {

// Returns when the model is declared, or when the INF cannot tell (it cannot be read, or it
// names no makers): the install then goes on as it always could. Otherwise the damaged-package
// stop.
void stopUnlessModelDeclared(forms::Runtime& runtime, platform::Services& os,
                             const std::string& infFile, const std::string& model);

// The reason the stop gives: the model, the architecture and the first ten declared models.
std::string undeclaredModelText(const std::string& infFile, const std::string& model,
                                platform::Architecture architecture,
                                const std::vector<std::string>& declared);

}  // namespace app
