#include <algorithm>

#include "platform/error_texts.h"
#include "platform/sim/ini_text.h"
#include "platform/sim/services.h"
#include "platform/text_file.h"
#include "text/text.h"

namespace sim {

bool wildcardMatch(const std::string& pattern, const std::string& name) {
    std::string p = asciiLower(pattern);
    std::string n = asciiLower(name);
    std::size_t pi = 0, ni = 0, star = std::string::npos, mark = 0;
    while (ni < n.size()) {
        if (pi < p.size() && (p[pi] == '?' || p[pi] == n[ni])) {
            ++pi;
            ++ni;
        } else if (pi < p.size() && p[pi] == '*') {
            star = pi++;
            mark = ni;
        } else if (star != std::string::npos) {
            pi = star + 1;
            ni = ++mark;
        } else {
            return false;
        }
    }
    while (pi < p.size() && p[pi] == '*')
        ++pi;
    return pi == p.size();
}

namespace {
json::Value fileLine(const char* op, const std::string& name, const std::string& text) {
    json::Value line = Transcript::line(op);
    line.set("name", name);
    line.set("text", text);
    return line;
}
}  // namespace

// Looking a file up and reading it are calls like any other: they are written to the
// transcript and a fault can fail them.
bool SimFiles::exists(const std::string& name) {
    json::Value line = Transcript::line("file.exists");
    line.set("name", name);
    machine_.check(line, platform::errors::kPathFileAccess);
    const SimFile* f = machine_.file(name);
    bool found = f != nullptr && !f->hidden;
    line.set("result", found);
    machine_.record(line);
    return found;
}

std::string SimFiles::readAll(const std::string& name) {
    json::Value line = Transcript::line("file.read");
    line.set("name", name);
    machine_.check(line, platform::errors::kPermissionDenied);
    const SimFile* f = machine_.file(name);
    if (f == nullptr)
        machine_.fail(platform::errors::kFileNotFound, line);
    machine_.record(line);
    return f->bytes;
}

void SimFiles::writeAtomically(const std::string& name, const std::string& bytes) {
    json::Value line = fileLine("file.write", name, codepage_.decode(bytes));
    machine_.check(line, platform::errors::kPermissionDenied);
    machine_.createFile(name).bytes = bytes;
    machine_.record(line);
}

void SimFiles::append(const std::string& name, const std::string& bytes) {
    json::Value line = fileLine("file.append", name, codepage_.decode(bytes));
    machine_.check(line, platform::errors::kPermissionDenied);
    machine_.createFile(name).bytes += bytes;
    machine_.record(line);
}

namespace {

// The name a file of the package folder gets when it is created under the name asked for, as
// Win32 treats it: trailing dots and blanks are dropped, and a reserved character, a control
// character or more than 255 UTF-16 units make the name refused (error 52). A folder part
// names a folder the package does not have (error 76).
std::string createdFileName(Machine& machine, const std::string& asked, const json::Value& line) {
    constexpr std::size_t kLongestName = 255;  // UTF-16 units
    std::string name = text::startsWith(asked, ".\\") ? asked.substr(2) : asked;
    if (name.find_first_of("\\/") != std::string::npos)
        machine.fail(platform::errors::kPathNotFound, line);
    while (!name.empty() && (name.back() == '.' || name.back() == ' '))
        name.pop_back();
    std::size_t utf16Units = 0;
    bool refused = name.empty();
    for (char32_t c : text::toCodePoints(name)) {
        utf16Units += c > text::kLastBmp ? 2 : 1;
        refused = refused || c < U' ' ||
                  std::u32string_view(U"<>:\"|?*").find(c) != std::u32string_view::npos;
    }
    if (refused || utf16Units > kLongestName)
        machine.fail(platform::errors::kBadFileName, line);
    return name;
}

}  // namespace

// CopyFile: the bytes as they are, over an existing target, which takes the source's
// attributes; a hidden target is refused, as CopyFile refuses to overwrite one. A fault without
// its own number fails as a target in use does.
void SimFiles::copy(const std::string& from, const std::string& to) {
    json::Value line = Transcript::line("file.copy");
    line.set("from", from);
    line.set("to", to);
    machine_.check(line, platform::errors::kPermissionDenied);
    const SimFile* source = machine_.file(from);
    if (source == nullptr) {
        machine_.fail(platform::errors::kFileNotFound, line);
    }
    const std::string target = createdFileName(machine_, to, line);
    if (const SimFile* existing = machine_.file(target); existing != nullptr && existing->hidden)
        machine_.fail(platform::errors::kPermissionDenied, line);
    const SimFile copied = *source;
    SimFile& made = machine_.createFile(target);
    made.bytes = copied.bytes;
    made.hidden = copied.hidden;
    machine_.record(line);
}

std::optional<platform::FileStamp> SimFiles::stamp(const std::string& name) {
    const SimFile* f = machine_.file(name);
    if (f == nullptr)
        return std::nullopt;
    return platform::FileStamp{f->bytes.size(), f->written};
}

void SimFiles::remove(const std::string& name) {
    json::Value line = Transcript::line("file.remove");
    line.set("name", name);
    machine_.check(line, platform::errors::kFileNotFound);
    if (machine_.file(name) == nullptr)
        machine_.fail(platform::errors::kFileNotFound, line);
    machine_.removeFile(name);
    machine_.record(line);
}

std::vector<std::string> SimFiles::list(const std::string& pattern) {
    std::vector<std::string> names;
    for (const SimFile& f : machine_.files()) {
        if (!f.hidden && wildcardMatch(pattern, f.name))
            names.push_back(f.name);
    }
    std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
        return asciiLower(a) < asciiLower(b);
    });
    return names;
}

std::vector<std::string> SimProfileApi::names(const std::string& file,
                                              const std::optional<std::string>& section) {
    const SimFile* f = machine_.file(file);
    std::vector<std::string> names;
    if (f != nullptr) {
        // The section name and the names read pass through the ANSI code page, as they do
        // through the real reader's arguments and buffer.
        std::optional<std::string> wanted;
        if (section)
            wanted = codepage_.decode(codepage_.encode(*section));
        for (const std::string& n : iniNames(platform::decodeTextFile(f->bytes, codepage_), wanted))
            names.push_back(codepage_.decode(codepage_.encode(n)));
    }
    json::Value line = Transcript::line("profile.read");
    line.set("file", file);
    line.set("section", section ? json::Value(*section) : json::Value());
    json::Value result = json::Value::array();
    for (const std::string& n : names)
        result.push(n);
    line.set("result", result);
    machine_.check(line, platform::errors::kFileNotFound);
    machine_.record(line);
    return names;
}

}  // namespace sim
