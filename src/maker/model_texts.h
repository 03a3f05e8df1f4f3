#pragma once
// What the package maker tells the technician about an INF file's models.

#include <string>
#include <vector>

#include "platform/system.h"

namespace maker {

// Step 2 found makers but no model for this PC; `others` are the architectures the file has
// models for.
std::string noModelsText(const std::string& infFile, platform::Architecture here,
                         const std::vector<platform::Architecture>& others);

// The questions before saving; Yes saves all the same.
std::string infNotInFolderText(const std::string& infFile);
std::string undeclaredModelQuestion(const std::string& infFile, const std::string& model);

}  // namespace maker
