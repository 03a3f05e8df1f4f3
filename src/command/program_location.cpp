#include "command/program_location.h"

#include <algorithm>
#include <array>
#include <vector>

#include "command/argv.h"
#include "text/text.h"

namespace command {

namespace {

// The programs of the system that a command line may name, by their names without ".exe". A
// name missing here would be taken from the package folder, where anyone who can write there
// could plant it, so the list holds every system program a line could name, not only those
// the program starts.
constexpr auto kSystemPrograms = std::to_array<std::string_view>(
    {"cmd", "reg", "rundll32", "control", "msg", "printui", "pnputil", "net", "sc", "netsh",
     "regsvr32", "msiexec", "wscript", "cscript", "taskkill", "notepad", "mmc"});
// The few that live in the Windows folder itself.
constexpr auto kWindowsPrograms = std::to_array<std::string_view>({"explorer", "regedit", "hh"});

bool blank(char c) {
    return c == ' ' || c == '\t';
}

bool separator(char c) {
    return c == '\\' || c == '/';
}

bool letter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

// Characters no file name holds; a name with one is not a program but a mistake or a trick.
bool forbidden(char c) {
    static constexpr std::string_view kReserved = "\"<>|?*";
    return static_cast<unsigned char>(c) < 0x20 || kReserved.find(c) != std::string_view::npos;
}

bool hasExtension(std::string_view fileName) {
    return fileName.find('.') != std::string_view::npos;
}

std::string withExtension(std::string path, std::string_view fileName) {
    if (!hasExtension(fileName))
        path += ".exe";
    return path;
}

std::optional<std::string> inFolder(const std::string& folder, std::string_view rest) {
    // Without a folder the path would be relative, and Windows would look for it after all.
    if (folder.empty())
        return std::nullopt;
    std::string path = folder;
    if (!separator(path.back()))
        path += '\\';
    path += rest;
    return path;
}

// The name split at its separators, "." parts dropped. Nothing for a name that leaves its
// folder ("..") or has an empty part: it would not name one file of the package.
std::optional<std::vector<std::string_view>> parts(std::string_view name) {
    std::vector<std::string_view> out;
    while (true) {
        auto end = std::find_if(name.begin(), name.end(), separator);
        std::string_view part = name.substr(0, static_cast<std::size_t>(end - name.begin()));
        if (part.empty() || part == "..")
            return std::nullopt;
        if (part != ".")
            out.push_back(part);
        if (end == name.end())
            break;
        name.remove_prefix(part.size() + 1);
    }
    if (out.empty())
        return std::nullopt;
    return out;
}

// Windows drops a trailing dot or blank from a file name, so such a name would start another
// file than it shows.
bool cleanFileName(std::string_view fileName) {
    return !fileName.empty() && fileName.back() != '.' && fileName.back() != ' ';
}

// The name without ".exe", in small letters, when it could be a program of the system: reg and
// reg.exe are, reg.bat is not.
std::optional<std::string> programStem(std::string_view fileName) {
    const std::string_view stem = text::withoutExeSuffix(fileName);
    if (stem.size() == fileName.size() && hasExtension(fileName))
        return std::nullopt;
    return text::asciiLower(stem);
}

template <std::size_t N>
bool listed(const std::array<std::string_view, N>& programs, const std::string& stem) {
    return std::find(programs.begin(), programs.end(), stem) != programs.end();
}

}  // namespace

std::string_view programWord(std::string_view line) {
    while (!line.empty() && blank(line.front()))
        line.remove_prefix(1);
    std::string_view name = programName(line);
    // A file name cannot end in a blank: Windows drops it, and so does its own reading.
    while (!name.empty() && name.back() == ' ')
        name.remove_suffix(1);
    return name;
}

std::optional<std::string> programPath(std::string_view commandLine, const Folders& folders) {
    const std::string_view name = programWord(commandLine);
    if (name.empty() || std::any_of(name.begin(), name.end(), forbidden))
        return std::nullopt;

    const bool absolute =
        (name.size() >= 3 && letter(name[0]) && name[1] == ':' && separator(name[2])) ||
        (name.size() >= 2 && separator(name[0]) && separator(name[1]));
    // A drive without a folder ("C:x.exe") or a folder without a drive ("\x.exe") means
    // wherever the current folder happens to be.
    const std::size_t colon = name.find(':');
    if (!absolute && (colon != std::string_view::npos || separator(name.front())))
        return std::nullopt;
    if (absolute && name.find(':', 2) != std::string_view::npos)
        return std::nullopt;  // an alternate data stream

    if (absolute) {
        // Named in full: that file and no other, whoever wrote it into the line.
        std::string path(name);
        std::replace(path.begin(), path.end(), '/', '\\');
        const std::string_view fileName =
            std::string_view(path).substr(path.find_last_of('\\') + 1);
        if (!cleanFileName(fileName))
            return std::nullopt;
        return withExtension(path, fileName);
    }

    auto split = parts(name);
    if (!split || !cleanFileName(split->back()))
        return std::nullopt;
    const std::string_view fileName = split->back();
    const bool bare = std::none_of(name.begin(), name.end(), separator);
    if (bare) {
        if (auto stem = programStem(fileName)) {
            if (listed(kSystemPrograms, *stem))
                return inFolder(folders.system, *stem + ".exe");
            if (listed(kWindowsPrograms, *stem))
                return inFolder(folders.windows, *stem + ".exe");
        }
    }
    // Anything else comes with the package: devcon, Velmora.exe, the installer and its copies,
    // and a folder of the package named in front of one of them.
    std::string relative;
    for (std::string_view part : *split) {
        if (!relative.empty())
            relative += '\\';
        relative += part;
    }
    auto path = inFolder(folders.package, relative);
    if (!path)
        return std::nullopt;
    return withExtension(*path, fileName);
}

}  // namespace command
