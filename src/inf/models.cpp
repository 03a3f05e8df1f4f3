#include "inf/models.h"

#include <unordered_set>

#include "inf/decoration.h"
#include "inf/strings.h"
#include "text/text.h"

namespace inf {

namespace {

constexpr std::string_view kManufacturer = "Manufacturer";

bool isCoreDriverKey(std::string_view key) {
    return key.size() >= 2 && key.front() == '{' && key.back() == '}';
}

// One line of [Manufacturer]: "name = section, decoration, ..." or a bare section name.
struct MakerLine {
    std::string name;
    std::string section;
    std::vector<std::string> decorations;
};

std::vector<MakerLine> makerLines(const Document& document, const StringTable& strings) {
    std::vector<MakerLine> out;
    document.eachLine(kManufacturer, [&](Line&& line) {
        if (line.fields.empty() || line.fields.front().empty())
            return;
        MakerLine m;
        m.section = strings.substitute(line.fields.front());
        m.name = line.key ? strings.substitute(*line.key) : m.section;
        for (std::size_t i = 1; i < line.fields.size(); ++i) {
            if (!line.fields[i].empty())
                m.decorations.push_back(strings.substitute(line.fields[i]));
        }
        out.push_back(std::move(m));
    });
    return out;
}

std::string chosenSection(const Document& document, const MakerLine& m,
                          const platform::WindowsTarget& target) {
    std::vector<std::string_view> decorations(m.decorations.begin(), m.decorations.end());
    std::string name = m.section;
    if (std::optional<std::size_t> best = bestDecoration(decorations, target))
        name += "." + m.decorations[*best];
    return document.hasSection(name) ? name : std::string();
}

// Hands each model key of a section to `take`, substituted and trimmed.
template <typename Take>
void eachModel(const Document& document, const StringTable& strings, std::string_view section,
               Take&& take) {
    document.eachLine(section, [&](Line&& line) {
        if (!line.key)
            return;
        std::string name = strings.substitute(*line.key);
        const std::size_t first = name.find_first_not_of(" \t");
        if (first == std::string::npos)
            return;
        name = name.substr(first, name.find_last_not_of(" \t") - first + 1);
        if (!isCoreDriverKey(name))
            take(std::move(name));
    });
}

}  // namespace

bool sameModel(std::string_view a, std::string_view b) {
    return text::sameIgnoringAsciiCase(a, b);
}

bool hasMakers(const Document& document) {
    return document.hasSection(kManufacturer);
}

ModelList readModels(const Document& document, const platform::WindowsTarget& target) {
    ModelList list;
    list.hasManufacturer = hasMakers(document);
    if (!list.hasManufacturer)
        return list;
    const StringTable strings(document, target.language);
    std::unordered_set<std::string> seen;
    for (const MakerLine& m : makerLines(document, strings)) {
        Maker maker{m.name, m.section, chosenSection(document, m, target)};
        if (!maker.chosenSection.empty()) {
            eachModel(document, strings, maker.chosenSection, [&](std::string&& name) {
                if (seen.insert(text::asciiLower(name)).second)
                    list.models.push_back(std::move(name));
            });
        }
        list.makers.push_back(std::move(maker));
    }
    return list;
}

std::vector<platform::Architecture> architecturesWithModels(const Document& document,
                                                            const platform::WindowsTarget& target) {
    std::vector<platform::Architecture> out;
    for (platform::Architecture a :
         {platform::Architecture::Amd64, platform::Architecture::X86, platform::Architecture::Arm64,
          platform::Architecture::Arm, platform::Architecture::Ia64}) {
        platform::WindowsTarget t = target;
        t.architecture = a;
        if (!readModels(document, t).models.empty())
            out.push_back(a);
    }
    return out;
}

bool declaresAnywhere(const Document& document, const platform::WindowsTarget& target,
                      std::string_view model) {
    if (!hasMakers(document))
        return false;
    const StringTable strings(document, target.language);
    bool found = false;
    for (const MakerLine& m : makerLines(document, strings)) {
        std::vector<std::string> sections{m.section};
        for (const std::string& d : m.decorations)
            sections.push_back(m.section + "." + d);
        for (const std::string& s : sections) {
            eachModel(document, strings, s,
                      [&](std::string&& name) { found = found || sameModel(name, model); });
        }
    }
    return found;
}

}  // namespace inf
