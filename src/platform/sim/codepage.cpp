#include "platform/sim/codepage.h"

#include <iconv.h>

#include <cerrno>
#include <stdexcept>

#include "text/text.h"

namespace sim {

namespace {

constexpr unsigned kUtf8Codepage = 65001;  // CP_UTF8

class Converter {
  public:
    Converter(const std::string& to, const std::string& from)
        : cd_(iconv_open(to.c_str(), from.c_str())) {
        // iconv_open says "failed" with (iconv_t)-1, an integer made a pointer.
        if (cd_ == reinterpret_cast<iconv_t>(-1)) {  // NOLINT(performance-no-int-to-ptr)
            throw std::runtime_error("code page not available: " + from + " -> " + to);
        }
    }
    ~Converter() { iconv_close(cd_); }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    // Converts as much as it can; returns false on a sequence it cannot convert.
    bool convert(const std::string& in, std::size_t& consumed, std::string& out) {
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        char* src = const_cast<char*>(in.data()) + consumed;
        std::size_t srcLeft = in.size() - consumed;
        while (srcLeft > 0) {
            char buffer[256];
            char* dst = buffer;
            std::size_t dstLeft = sizeof buffer;
            std::size_t r = iconv(cd_, &src, &srcLeft, &dst, &dstLeft);
            out.append(buffer, sizeof buffer - dstLeft);
            consumed = in.size() - srcLeft;
            if (r == static_cast<std::size_t>(-1) && errno != E2BIG)
                return false;
        }
        return true;
    }

  private:
    iconv_t cd_;
};

}  // namespace

SimCodepage::SimCodepage(unsigned id) : id_(id), name_("CP" + std::to_string(id)) {
    if (id == kUtf8Codepage)
        name_ = "UTF-8";
    Converter probe("UTF-8", name_);  // fails early for a code page iconv does not know
}

std::string SimCodepage::decode(const std::string& bytes) const {
    Converter conv("UTF-8", name_);
    std::string out;
    std::size_t consumed = 0;
    while (!conv.convert(bytes, consumed, out)) {
        text::appendCodePoint(out, U'\uFFFD');  // an undefined byte, as the system shows it
        ++consumed;
    }
    return out;
}

std::string SimCodepage::encode(const std::string& utf8) const {
    Converter conv(name_, "UTF-8");
    std::string out;
    for (char32_t cp : text::toCodePoints(utf8)) {
        std::string one;
        text::appendCodePoint(one, cp);
        std::size_t consumed = 0;
        std::string piece;
        if (conv.convert(one, consumed, piece)) {
            out += piece;
        } else {
            out += '?';  // the page cannot hold it
        }
    }
    return out;
}

bool SimCodepage::isText(const std::string& bytes) const {
    if (bytes.find('\0') != std::string::npos)
        return false;
    Converter conv("UTF-8", name_);
    std::string out;
    std::size_t consumed = 0;
    if (!conv.convert(bytes, consumed, out))
        return false;
    return encode(out) == bytes;
}

std::optional<std::string> utf16FileText(const std::string& bytes) {
    // INF files are little-endian, as the INI reader takes them.
    if (!text::startsWith(bytes, text::kUtf16LeMark))
        return std::nullopt;
    return text::fromUtf16WithBom(bytes);
}

}  // namespace sim
