#pragma once
// The subset of WQL the simulated machine answers: "select * from Class" with an optional
// where clause of comparisons joined by "and".

#include <optional>
#include <string>
#include <vector>

namespace sim {

struct WqlCondition {
    std::string property;
    std::string value;  // a quoted string's content, or the bare word (TRUE, 5)
    bool quoted = false;
};

struct WqlQuery {
    std::string className;
    std::vector<WqlCondition> conditions;
};

// Absent when the text is not a query of that form, as WMI refuses an invalid query.
std::optional<WqlQuery> parseWql(const std::string& wql);

// A path such as Win32_Service.Name='spooler': the class and its key comparisons.
std::optional<WqlQuery> parseObjectPath(const std::string& path);

}  // namespace sim
