#include "command/quote.h"

#include "text/text.h"

namespace command {

namespace {

// Whether the bytes are well-formed UTF-8; the conversion to UTF-16 would change them
// otherwise.
bool isUtf8(std::string_view text) {
    return text::fromCodePoints(text::toCodePoints(text)) == text;
}

void check(std::string_view text, Receiver receiver) {
    if (auto why = refusal(text, receiver))
        throw RefusedArgument(*why);
}

}  // namespace

std::optional<Refusal> refusal(std::string_view text, Receiver receiver) {
    if (!isUtf8(text))
        return Refusal::NotUtf8;
    for (char32_t c : text::toCodePoints(text)) {
        if (text::isControl(c))
            return Refusal::ControlCharacter;
    }
    if (receiver == Receiver::Cmd) {
        if (text.find('"') != std::string_view::npos)
            return Refusal::Quote;
        if (text.find('%') != std::string_view::npos)
            return Refusal::Percent;
        if (text.find('!') != std::string_view::npos)
            return Refusal::Exclamation;
    }
    return std::nullopt;
}

std::string refusalText(Refusal why) {
    switch (why) {
        case Refusal::ControlCharacter:
            return "含有換行或其他控制字元";
        case Refusal::NotUtf8:
            return "含有無法辨識的位元組";
        case Refusal::Quote:
            return "含有雙引號「\"」";
        case Refusal::Percent:
            return "含有「%」";
        case Refusal::Exclamation:
            return "含有「!」";
    }
    return "含有無法傳遞的字元";
}

RefusedArgument::RefusedArgument(Refusal why)
    : std::invalid_argument("refused argument: " + refusalText(why)), why_(why) {
}

std::string quoted(std::string_view text, Receiver receiver) {
    check(text, receiver);
    std::string out = "\"";
    std::size_t backslashes = 0;
    for (char c : text) {
        if (c == '\\') {
            ++backslashes;
            continue;
        }
        if (c == '"') {
            // Each backslash before a quote doubles, and the quote itself gets one.
            out.append(backslashes * 2 + 1, '\\');
        } else {
            out.append(backslashes, '\\');
        }
        backslashes = 0;
        out += c;
    }
    // Before the closing quote, backslashes would escape it.
    out.append(backslashes * 2, '\\');
    out += '"';
    return out;
}

std::string bare(std::string_view text, Receiver receiver) {
    check(text, receiver);
    // The command interpreter also acts on these outside quotes.
    const char* special = receiver == Receiver::Cmd ? " \t\"&|<>^()@,;=" : " \t\"";
    if (text.empty() || text.find_first_of(special) != std::string_view::npos)
        return quoted(text, receiver);
    return std::string(text);
}

}  // namespace command
