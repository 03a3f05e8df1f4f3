#pragma once
// Which of the package's models is the printer that answered: its make and model as it reports
// them are seldom written exactly as an INF file lists them.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace ipp {

// The index of the first listed model that contains the reported text or is contained in it,
// compared without regard to ASCII case, with runs of blanks (spaces and tabs) as one space and
// none at either end. Reported text that is empty or all blanks matches nothing, and so does a
// listed model that is.
std::optional<std::size_t> matchModel(const std::vector<std::string>& listedModels,
                                      std::string_view reported);

}  // namespace ipp
