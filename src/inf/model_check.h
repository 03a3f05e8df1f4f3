#pragma once
// Before the first change of an install: the package's model must be one its INF file declares
// for this PC, or the driver step would fail after the port is made. A package that names
// another is damaged, and the run stops with the models the INF does declare.

#include <optional>
#include <string>
#include <vector>

#include "platform/services.h"

namespace inf {

// Why the model cannot be installed on this PC, or nothing when it is declared, or when the INF
// cannot tell (it cannot be read, which is logged, or it names no makers): the install then
// goes on as it always could.
std::optional<std::string> undeclaredModel(platform::Services& os, const std::string& infFile,
                                           const std::string& model);

// The reason: the model, the architecture and the first ten declared models.
std::string undeclaredModelText(const std::string& infFile, const std::string& model,
                                platform::Architecture architecture,
                                const std::vector<std::string>& declared);

}  // namespace inf
