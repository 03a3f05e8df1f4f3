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

// What the printer reports itself to be, as it comes from the network, shown on one line: each
// control character (a line break, a tab, a NUL that would end the text early) as a blank.
std::string reportedModelText(const std::string& reported);
// The label under the model list for that answer.
std::string reportedModelLabel(const std::string& reported);

}  // namespace maker
