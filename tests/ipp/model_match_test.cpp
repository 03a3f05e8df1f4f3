// Which listed model a printer's reported make and model picks.

#include <gtest/gtest.h>

#include "ipp/model_match.h"

namespace {

TEST(IppModelMatch, FirstListedModelThatContainsOrIsContainedWins) {
    using Models = std::vector<std::string>;
    struct Case {
        const char* what;
        Models listed;
        const char* reported;
        std::optional<std::size_t> expected;
    };
    const Models konica = {"KONICA MINOLTA bizhub C250i", "KONICA MINOLTA bizhub C257i PCL",
                           "KONICA MINOLTA bizhub C300i"};
    const Case cases[] = {
        {"listed contains reported", konica, "bizhub C257i", 1},
        {"reported contains listed",
         {"HP LaserJet", "bizhub C257i"},
         "KONICA MINOLTA bizhub C257i",
         1},
        {"same text", konica, "KONICA MINOLTA bizhub C300i", 2},
        {"ASCII case is ignored", konica, "konica minolta BIZHUB c250I", 0},
        {"runs of blanks and tabs are one space", konica, "  KONICA \t MINOLTA   bizhub\tC257i ",
         1},
        {"listed blanks count alike", {"KONICA  MINOLTA\tbizhub C257i"}, "konica minolta", 0},
        {"first match in list order",
         {"bizhub C257", "bizhub C257i"},
         "KONICA MINOLTA bizhub C257i",
         0},
        {"no blank is not a blank", konica, "bizhubC257i", std::nullopt},
        {"nothing alike", konica, "EPSON L3150", std::nullopt},
        {"empty reported text", konica, "", std::nullopt},
        {"blank reported text", konica, " \t ", std::nullopt},
        {"empty listed models match nothing", {"", "   ", "EPSON L3150"}, "EPSON L3150", 2},
        {"empty list", {}, "EPSON L3150", std::nullopt},
        {"only ASCII letters fold", {"ÄBC Drucker"}, "äbc drucker", std::nullopt},
        {"other letters compare as they are", {"富士全錄 DocuPrint"}, "富士全錄 docuprint", 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ipp::matchModel(c.listed, c.reported), c.expected) << c.what;
}

}  // namespace
