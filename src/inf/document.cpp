#include "inf/document.h"

#include "platform/text_file.h"
#include "text/text.h"

namespace inf {

namespace {

constexpr char kEndOfFile = '\x1A';

bool isLineEnd(char c) {
    return c == '\r' || c == '\n';
}

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\v' || c == '\f' || c == '\0';
}

// Past the line break at `at` (CR LF counts once).
std::size_t pastLineEnd(std::string_view text, std::size_t at) {
    if (at < text.size() && text[at] == '\r' && at + 1 < text.size() && text[at + 1] == '\n')
        return at + 2;
    return at + 1;
}

std::size_t lineEndFrom(std::string_view text, std::size_t at) {
    while (at < text.size() && !isLineEnd(text[at]) && text[at] != kEndOfFile)
        ++at;
    return at;
}

// Whether only blanks, or blanks and a comment, follow `at` on its line.
bool onlyCommentFollows(std::string_view text, std::size_t at) {
    for (; at < text.size() && !isLineEnd(text[at]); ++at) {
        if (text[at] == ';')
            return true;
        if (!isBlank(text[at]))
            return false;
    }
    return true;
}

// Whether a line (without its break) ends in a `\` that joins the next line to it: outside
// quotes and before any comment. Only lines whose last visible character could be that `\`
// are read through.
bool continues(std::string_view line) {
    if (line.find('\\') == std::string_view::npos)
        return false;
    bool quoted = false;
    for (std::size_t i = 0; i < line.size(); ++i) {
        char c = line[i];
        if (quoted) {
            if (c == '"' && i + 1 < line.size() && line[i + 1] == '"')
                ++i;
            else if (c == '"')
                quoted = false;
            continue;
        }
        if (c == ';')
            return false;
        if (c == '"')
            quoted = true;
        else if (c == '\\' && onlyCommentFollows(line, i + 1))
            return true;
    }
    return false;
}

// A field being read: its text, and how much of it to keep once trailing blanks are dropped.
struct Field {
    std::string text;
    std::size_t keep = 0;
    bool started = false;

    void add(char c) {
        text += c;
        keep = text.size();
        started = true;
    }
    std::string take() {
        text.resize(keep);
        std::string out = std::move(text);
        *this = Field{};
        return out;
    }
};

// One line being read: where the reader stands in the section's text and what it has found.
struct LineReader {
    std::string_view body;
    std::size_t i;
    Line& line;
    Field field;
    bool any = false;
    bool quoted = false;

    // One character inside quotes; false at the end of the line, which ends an open quote too.
    bool quotedChar(char c) {
        if (c == '"' && i + 1 < body.size() && body[i + 1] == '"') {
            field.add('"');
            ++i;
        } else if (c == '"') {
            quoted = false;
        } else if (isLineEnd(c)) {
            return false;
        } else {
            field.add(c);
        }
        return true;
    }

    // One character outside quotes; false at the end of the line.
    bool plainChar(char c) {
        if (isLineEnd(c))
            return false;
        switch (c) {
            case ';':
                i = lineEndFrom(body, i) - 1;
                break;
            case '"':
                quoted = true;
                field.started = true;
                field.keep = field.text.size();
                any = true;
                break;
            case '=':
                if (!line.key && line.fields.empty()) {
                    line.key = field.take();
                    any = true;
                } else {
                    field.add(c);
                }
                break;
            case ',':
                line.fields.push_back(field.take());
                any = true;
                break;
            case '\\':
                if (onlyCommentFollows(body, i + 1))
                    i = pastLineEnd(body, lineEndFrom(body, i + 1)) -
                        1;  // the next line continues it
                else
                    field.add(c);
                break;
            default:
                blankOrText(c);
                break;
        }
        return true;
    }

    void blankOrText(char c) {
        if (isBlank(c)) {
            if (field.started)
                field.text += c;
        } else {
            field.add(c);
            any = true;
        }
    }
};

}  // namespace

Document Document::fromBytes(std::string_view bytes, const platform::Codepage& ansi) {
    return Document(platform::decodeTextFile(bytes, ansi));
}

Document::Document(std::string text) : text_(std::move(text)) {
    const std::string_view all(text_);
    Section* current = nullptr;
    bool joined = false;  // the line before ended in a continuing `\`
    std::size_t at = 0;
    while (at < all.size() && all[at] != kEndOfFile) {
        const std::size_t end = lineEndFrom(all, at);
        const std::string_view line = all.substr(at, end - at);
        std::size_t first = 0;
        while (first < line.size() && isBlank(line[first]))
            ++first;
        const std::size_t close = line.find(']', first);
        if (!joined && first < line.size() && line[first] == '[' &&
            close != std::string_view::npos) {
            if (current != nullptr)
                current->bodies.back().end = at;
            std::string_view name = line.substr(first + 1, close - first - 1);
            while (!name.empty() && isBlank(name.front()))
                name.remove_prefix(1);
            while (!name.empty() && isBlank(name.back()))
                name.remove_suffix(1);
            auto [it, added] = index_.try_emplace(text::asciiLower(name), sections_.size());
            if (added)
                sections_.push_back(Section{std::string(name), {}});
            current = &sections_[it->second];
            current->bodies.push_back(Body{pastLineEnd(all, end), all.size()});
            joined = false;  // the rest of a header line is not read
        } else {
            joined = continues(line);
        }
        if (end >= all.size() || all[end] == kEndOfFile) {
            at = end;
            break;
        }
        at = pastLineEnd(all, end);
    }
    if (current != nullptr)
        current->bodies.back().end = std::min(at, all.size());
    for (Section& s : sections_) {
        for (Body& b : s.bodies)
            b.begin = std::min(b.begin, b.end);
    }
}

const Document::Section* Document::find(std::string_view name) const {
    auto it = index_.find(text::asciiLower(name));
    return it == index_.end() ? nullptr : &sections_[it->second];
}

bool Document::hasSection(std::string_view name) const {
    return find(name) != nullptr;
}

std::vector<Line> Document::lines(std::string_view name) const {
    std::vector<Line> out;
    eachLine(name, [&](Line&& line) { out.push_back(std::move(line)); });
    return out;
}

std::vector<std::string> Document::sectionNames() const {
    std::vector<std::string> names;
    names.reserve(sections_.size());
    for (const Section& s : sections_)
        names.push_back(s.name);
    return names;
}

bool Document::readLine(std::string_view body, std::size_t& at, Line& line) {
    LineReader r{body, at, line, {}};
    for (; r.i < body.size(); ++r.i) {
        const char c = body[r.i];
        if (!(r.quoted ? r.quotedChar(c) : r.plainChar(c)))
            break;
    }
    at = r.i < body.size() ? pastLineEnd(body, r.i) : body.size();
    if (!r.any && !r.field.started)
        return false;
    if (r.field.started || line.key || !line.fields.empty())
        line.fields.push_back(r.field.take());
    return true;
}

}  // namespace inf
