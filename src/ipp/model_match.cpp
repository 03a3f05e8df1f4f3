#include "ipp/model_match.h"

#include "text/text.h"

namespace ipp {

namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string comparable(std::string_view s) {
    std::string out;
    bool blankBefore = false;
    for (char c : s) {
        if (isBlank(c)) {
            blankBefore = !out.empty();
            continue;
        }
        if (blankBefore)
            out += ' ';
        blankBefore = false;
        out += c;
    }
    return text::asciiLower(out);
}

}  // namespace

std::optional<std::size_t> matchModel(const std::vector<std::string>& listedModels,
                                      std::string_view reported) {
    const std::string wanted = comparable(reported);
    if (wanted.empty())
        return std::nullopt;
    for (std::size_t i = 0; i < listedModels.size(); ++i) {
        const std::string listed = comparable(listedModels[i]);
        // An empty listed model is contained in every text: it must not match them all.
        if (listed.empty())
            continue;
        if (text::contains(listed, wanted) || text::contains(wanted, listed))
            return i;
    }
    return std::nullopt;
}

}  // namespace ipp
