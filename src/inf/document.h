#pragma once
// An INF file as the system's setup functions read it: sections of lines, each line an optional
// key and its comma-separated fields. No string substitution here; that needs the language.
//
// The rules: a byte-order mark chooses UTF-8 or UTF-16 (else the ANSI code page); CR, LF or CR LF
// end a line and Ctrl+Z ends the file; `;` outside quotes starts a comment; a `\` that ends a
// line (blanks and a comment may follow) joins the next line to it; inside double quotes every
// character is itself and `""` is one quote; blanks around keys and fields are dropped. Section
// names are compared without regard to ASCII case, and a section given twice is read as one.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/files.h"

namespace inf {

struct Line {
    std::optional<std::string> key;  // the text before the first `=` outside quotes, if any
    std::vector<std::string> fields;
};

class Document {
  public:
    // Decodes the file's bytes as the setup functions do, then indexes its sections.
    static Document fromBytes(std::string_view bytes, const platform::Codepage& ansi);
    explicit Document(std::string text);

    bool hasSection(std::string_view name) const;
    // The section's lines in file order, every part of a section given twice; none when the
    // section is missing.
    std::vector<Line> lines(std::string_view name) const;
    // Like lines(), but hands each line over as it is read, so a large section is never held.
    template <typename Take>
    void eachLine(std::string_view name, Take&& take) const {
        const Section* s = find(name);
        if (s == nullptr)
            return;
        for (const Body& b : s->bodies)
            readLines(std::string_view(text_).substr(b.begin, b.end - b.begin), take);
    }
    // Every section's name as first written, in order of first appearance.
    std::vector<std::string> sectionNames() const;

    // Splits a section's text into lines; exposed for the reader's own tests.
    template <typename Take>
    static void readLines(std::string_view body, Take&& take) {
        std::size_t at = 0;
        Line line;
        while (at < body.size()) {
            if (readLine(body, at, line))
                take(std::move(line));
            line = Line{};
        }
    }

  private:
    struct Body {
        std::size_t begin;
        std::size_t end;
    };
    struct Section {
        std::string name;
        std::vector<Body> bodies;
    };
    const Section* find(std::string_view name) const;
    // Reads one logical line starting at `at` and moves `at` past it; false when it held
    // nothing (a blank or comment line).
    static bool readLine(std::string_view body, std::size_t& at, Line& line);

    std::string text_;
    std::vector<Section> sections_;
    std::unordered_map<std::string, std::size_t> index_;  // lower-case name -> sections_
};

}  // namespace inf
