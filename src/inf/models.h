#pragma once
// The printer models an INF file declares for one Windows: every maker of [Manufacturer], the
// models section the setup functions choose for each, and the model names in it.

#include <string>
#include <string_view>
#include <vector>

#include "inf/document.h"
#include "platform/system.h"

namespace inf {

struct Maker {
    std::string name;           // after %key% substitution
    std::string modelsSection;  // as listed, undecorated
    std::string chosenSection;  // the section read for the target; empty when none exists
};

struct ModelList {
    bool hasManufacturer = false;  // no [Manufacturer]: the file declares no makers at all
    std::vector<Maker> makers;
    // The chosen sections' keys after substitution, every maker in order, each name once (the
    // setup functions compare driver names without regard to case), in file order. Keys that
    // are a GUID in braces name core drivers, not models.
    std::vector<std::string> models;
};

ModelList readModels(const Document& document, const platform::WindowsTarget& target);

// Whether the file names makers at all ([Manufacturer]): only then does it say which models it has.
bool hasMakers(const Document& document);

// The architectures (in the order x64, x86, ARM64, ARM, IA64) for which the file declares at
// least one model, the target's Windows version and language kept.
std::vector<platform::Architecture> architecturesWithModels(const Document& document,
                                                            const platform::WindowsTarget& target);

// Whether the file declares the model in any models section that [Manufacturer] names, for
// any architecture or Windows version; compared as readModels compares names.
bool declaresAnywhere(const Document& document, const platform::WindowsTarget& target,
                      std::string_view model);

// Whether two model names are the same driver name: ASCII case does not count.
bool sameModel(std::string_view a, std::string_view b);

}  // namespace inf
