#include "platform/win32/moniker.h"

#include <algorithm>
#include <array>
#include <cctype>

namespace platform::win32 {

namespace {

char lower(char c) {
    return static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
}

std::string lowered(std::string_view s) {
    std::string out(s);
    std::transform(out.begin(), out.end(), out.begin(), lower);
    return out;
}

bool startsWithNoCase(std::string_view s, std::string_view prefix) {
    return s.size() >= prefix.size() && lowered(s.substr(0, prefix.size())) == lowered(prefix);
}

std::string_view trimmed(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t'))
        s.remove_suffix(1);
    return s;
}

bool isSeparator(char c) {
    return c == '\\' || c == '/';
}

// Namespace names are identifiers; bytes of non-ASCII UTF-8 are let through.
bool isNameChar(char c) {
    auto u = static_cast<unsigned char>(c);
    return u >= 0x80 || std::isalnum(u) || c == '_';
}

std::optional<std::string> normalisedNamespace(std::string_view text) {
    std::string out;
    bool segmentEmpty = true;
    for (char c : text) {
        if (isSeparator(c)) {
            if (segmentEmpty)
                return std::nullopt;
            out += '\\';
            segmentEmpty = true;
        } else if (isNameChar(c)) {
            out += c;
            segmentEmpty = false;
        } else {
            return std::nullopt;
        }
    }
    if (segmentEmpty)
        return std::nullopt;
    return out;
}

bool readSecurity(std::string_view settings, Moniker& moniker) {
    static constexpr std::array<std::string_view, 4> kLevels = {"anonymous", "identify",
                                                                "impersonate", "delegate"};
    std::size_t eq = settings.find('=');
    if (eq == std::string_view::npos)
        return false;
    if (lowered(trimmed(settings.substr(0, eq))) != "impersonationlevel")
        return false;
    std::string level = lowered(trimmed(settings.substr(eq + 1)));
    if (std::find(kLevels.begin(), kLevels.end(), level) == kLevels.end())
        return false;
    moniker.impersonationLevel = level;
    return true;
}

// A relative path names a namespace only when it starts with the root namespace; otherwise it
// is an object path in the default one ("winmgmts:Win32_Service.Name='Spooler'").
bool startsWithRootSegment(std::string_view path) {
    return startsWithNoCase(path, "root") &&
           (path.size() == 4 || isSeparator(path[4]) || path[4] == ':');
}

bool readPath(std::string_view path, Moniker& moniker) {
    std::optional<std::string_view> namespaceText;
    std::optional<std::string_view> objectText;
    if (path.size() >= 2 && isSeparator(path[0]) && isSeparator(path[1])) {
        path.remove_prefix(2);
        std::size_t end = 0;
        while (end < path.size() && !isSeparator(path[end]) && path[end] != ':')
            ++end;
        std::string_view server = path.substr(0, end);
        if (server.empty() || server.find_first_of(" \t") != std::string_view::npos)
            return false;
        moniker.server = std::string(server);
        path.remove_prefix(end);
        if (path.empty())
            return true;
        if (path[0] == ':')
            return false;
        path.remove_prefix(1);
        std::size_t colon = path.find(':');
        namespaceText = path.substr(0, colon);
        if (colon != std::string_view::npos)
            objectText = path.substr(colon + 1);
    } else if (startsWithRootSegment(path)) {
        std::size_t colon = path.find(':');
        namespaceText = path.substr(0, colon);
        if (colon != std::string_view::npos)
            objectText = path.substr(colon + 1);
    } else {
        objectText = path;
    }
    if (namespaceText) {
        auto ns = normalisedNamespace(*namespaceText);
        if (!ns)
            return false;
        moniker.namespacePath = *ns;
    }
    if (objectText) {
        if (objectText->empty())
            return false;
        moniker.objectPath = std::string(*objectText);
    }
    return true;
}

}  // namespace

std::optional<Moniker> parseMoniker(std::string_view text) {
    static constexpr std::string_view kPrefix = "winmgmts:";
    if (!startsWithNoCase(text, kPrefix))
        return std::nullopt;
    std::string_view rest = text.substr(kPrefix.size());
    Moniker moniker;
    if (!rest.empty() && rest.front() == '{') {
        std::size_t close = rest.find('}');
        if (close == std::string_view::npos)
            return std::nullopt;
        if (!readSecurity(rest.substr(1, close - 1), moniker))
            return std::nullopt;
        rest.remove_prefix(close + 1);
        if (rest.empty())
            return moniker;
        if (rest.front() != '!' || rest.size() == 1)
            return std::nullopt;
        rest.remove_prefix(1);
    }
    if (rest.empty())
        return moniker;
    if (!readPath(rest, moniker))
        return std::nullopt;
    return moniker;
}

std::string serverNamespace(const Moniker& moniker) {
    return "\\\\" + moniker.server + "\\" + moniker.namespacePath;
}

namespace {

// What stands between the namespace's ':' and the keys' '='.
std::string_view keylessPart(std::string_view path) {
    std::string_view head = path.substr(0, path.find('='));
    std::size_t colon = head.rfind(':');
    return colon == std::string_view::npos ? head : head.substr(colon + 1);
}

}  // namespace

std::string objectPathClass(std::string_view path) {
    std::string_view head = keylessPart(path);
    return std::string(head.substr(0, head.find('.')));
}

bool objectPathNamesClass(std::string_view path) {
    return !path.empty() && path.find('=') == std::string_view::npos &&
           keylessPart(path).find('.') == std::string_view::npos;
}

}  // namespace platform::win32
