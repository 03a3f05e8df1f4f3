#include <algorithm>

#include "platform/sim/services.h"
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

bool SimFiles::exists(const std::string& name) {
    const SimFile* f = machine_.file(name);
    return f != nullptr && !f->hidden;
}

std::string SimFiles::readAll(const std::string& name) {
    const SimFile* f = machine_.file(name);
    if (f == nullptr)
        throw platform::Error(platform::errors::kFileNotFound, "找不到檔案");
    return f->bytes;
}

void SimFiles::writeAtomically(const std::string& name, const std::string& bytes) {
    json::Value line = fileLine("file.write", name, codepage_.decode(bytes));
    machine_.check(line, platform::errors::kPermissionDenied, "沒有使用權限");
    machine_.createFile(name).bytes = bytes;
    machine_.record(line);
}

void SimFiles::append(const std::string& name, const std::string& bytes) {
    json::Value line = fileLine("file.append", name, codepage_.decode(bytes));
    machine_.check(line, platform::errors::kPermissionDenied, "沒有使用權限");
    machine_.createFile(name).bytes += bytes;
    machine_.record(line);
}

void SimFiles::copy(const std::string& from, const std::string& to) {
    json::Value line = Transcript::line("file.copy");
    line.set("from", from);
    line.set("to", to);
    machine_.check(line, platform::errors::kFileNotFound, "找不到檔案");
    const SimFile* source = machine_.file(from);
    if (source == nullptr) {
        throw platform::Error(platform::errors::kFileNotFound, "找不到檔案", line.dump());
    }
    std::string bytes = source->bytes;
    machine_.createFile(to).bytes = bytes;
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

namespace {

// Section and key names of an INI text, in file order, as the system's reader sees them:
// names are trimmed, keys keep their quotes, comment lines are skipped.
std::vector<std::string> iniNames(const std::string& text,
                                  const std::optional<std::string>& section) {
    std::vector<std::string> names;
    bool inSection = false;
    for (std::string raw : text::split(text, "\n")) {
        if (!raw.empty() && raw.back() == '\r')
            raw.pop_back();
        std::size_t b = raw.find_first_not_of(" \t");
        if (b == std::string::npos)
            continue;
        std::string line = raw.substr(b);
        if (line[0] == ';')
            continue;
        if (line[0] == '[') {
            std::size_t close = line.find(']');
            std::string name =
                line.substr(1, close == std::string::npos ? std::string::npos : close - 1);
            if (!section) {
                names.push_back(name);
            } else {
                inSection = asciiLower(name) == asciiLower(*section);
            }
            continue;
        }
        if (!section || !inSection)
            continue;
        std::string key = line.substr(0, line.find('='));
        std::size_t e = key.find_last_not_of(" \t");
        names.push_back(e == std::string::npos ? std::string() : key.substr(0, e + 1));
    }
    return names;
}

}  // namespace

std::vector<std::string> SimProfileApi::names(const std::string& file,
                                              const std::optional<std::string>& section) {
    const SimFile* f = machine_.file(file);
    std::vector<std::string> names;
    if (f != nullptr) {
        // The reader takes UTF-16 files with a byte-order mark as well.
        std::string content = utf16FileText(f->bytes).value_or(codepage_.decode(f->bytes));
        // The names pass through the ANSI code page, as the real reader's buffer does.
        for (const std::string& n : iniNames(content, section))
            names.push_back(codepage_.decode(codepage_.encode(n)));
    }
    json::Value line = Transcript::line("profile.read");
    line.set("file", file);
    line.set("section", section ? json::Value(*section) : json::Value());
    json::Value result = json::Value::array();
    for (const std::string& n : names)
        result.push(n);
    line.set("result", result);
    machine_.check(line, platform::errors::kFileNotFound, "找不到檔案");
    machine_.record(line);
    return names;
}

}  // namespace sim
