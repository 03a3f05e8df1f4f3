#include "platform/win32/registry_path.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cmath>
#include <cstdint>
#include <utility>

#include "platform/error_texts.h"
#include "platform/number.h"
#include "text/text.h"

namespace platform::win32 {

namespace {

std::string upper(std::string_view s) {
    std::string out(s);
    std::transform(out.begin(), out.end(), out.begin(), [](char c) {
        return static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    });
    return out;
}

}  // namespace

std::optional<RegistryPath> parseRegistryPath(std::string_view path) {
    static constexpr std::array<std::pair<std::string_view, RegistryRoot>, 8> kRoots = {{
        {"HKEY_CLASSES_ROOT", RegistryRoot::ClassesRoot},
        {"HKCR", RegistryRoot::ClassesRoot},
        {"HKEY_CURRENT_USER", RegistryRoot::CurrentUser},
        {"HKCU", RegistryRoot::CurrentUser},
        {"HKEY_LOCAL_MACHINE", RegistryRoot::LocalMachine},
        {"HKLM", RegistryRoot::LocalMachine},
        {"HKEY_USERS", RegistryRoot::Users},
        {"HKEY_CURRENT_CONFIG", RegistryRoot::CurrentConfig},
    }};
    std::size_t firstSlash = path.find('\\');
    if (firstSlash == std::string_view::npos)
        return std::nullopt;
    std::string rootName = upper(path.substr(0, firstSlash));
    auto root = std::find_if(kRoots.begin(), kRoots.end(),
                             [&](const auto& entry) { return entry.first == rootName; });
    if (root == kRoots.end())
        return std::nullopt;

    std::string_view rest = path.substr(firstSlash + 1);
    RegistryPath parsed;
    parsed.root = root->second;
    std::size_t lastSlash = rest.rfind('\\');
    if (lastSlash == std::string_view::npos) {
        parsed.valueName = std::string(rest);
    } else {
        parsed.subKey = std::string(rest.substr(0, lastSlash));
        parsed.valueName = std::string(rest.substr(lastSlash + 1));
    }
    // "HKCU\\Software" would address a key with an empty name, which the registry has not.
    if (!parsed.subKey.empty() && (parsed.subKey.front() == '\\' || parsed.subKey.back() == '\\' ||
                                   parsed.subKey.find("\\\\") != std::string::npos)) {
        return std::nullopt;
    }
    return parsed;
}

std::optional<RegistryType> parseRegistryType(std::string_view type) {
    std::string name = upper(type);
    if (name == "REG_DWORD")
        return RegistryType::Dword;
    if (name == "REG_SZ")
        return RegistryType::String;
    if (name == "REG_EXPAND_SZ")
        return RegistryType::ExpandString;
    return std::nullopt;
}

std::uint32_t registryDword(std::string_view text) {
    double number = std::nearbyint(platform::toNumber(text));  // default rounding: half to even
    if (!(number >= INT32_MIN && number <= UINT32_MAX)) {
        throw platform::errorFor(platform::errors::kOverflow);
    }
    if (number < 0)
        return static_cast<std::uint32_t>(static_cast<std::int32_t>(number));
    return static_cast<std::uint32_t>(number);
}

}  // namespace platform::win32
