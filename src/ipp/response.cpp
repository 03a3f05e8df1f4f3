#include "ipp/response.h"

#include "ipp/tags.h"
#include "text/text.h"

namespace ipp {

namespace {

// Version (2 bytes), status (2) and request id (4).
constexpr std::size_t kStatusAt = 2;
constexpr std::size_t kRequestIdAt = 4;
constexpr std::size_t kHeaderBytes = 8;
// The sizes of the fixed-size values.
constexpr std::size_t kDateTimeBytes = 11;
constexpr std::size_t kResolutionBytes = 9;
constexpr std::size_t kRangeOfIntegerBytes = 8;
// Status codes 0x0000 to 0x00FF are successful.
constexpr std::uint16_t kLastSuccessfulStatus = 0x00FF;

std::uint16_t readShort(std::string_view bytes, std::size_t at) {
    return static_cast<std::uint16_t>((static_cast<unsigned char>(bytes[at]) << 8) |
                                      static_cast<unsigned char>(bytes[at + 1]));
}

// The text of a textWithLanguage or nameWithLanguage value: a language and a text, each
// behind its 16-bit length, filling the value exactly. Nothing when they do not.
std::optional<std::string_view> textWithLanguage(std::string_view value) {
    if (value.size() < 2)
        return std::nullopt;
    std::size_t language = readShort(value, 0);
    if (value.size() < 2 + language + 2)
        return std::nullopt;
    std::size_t length = readShort(value, 2 + language);
    if (value.size() != 2 + language + 2 + length)
        return std::nullopt;
    return value.substr(2 + language + 2);
}

// Why a value cannot be what its tag says, or nothing when it can.
std::optional<std::string> badValue(std::uint8_t tag, std::string_view value) {
    auto wrongSize = [&](std::size_t size) -> std::optional<std::string> {
        if (value.size() == size)
            return std::nullopt;
        return "a value of tag " + std::to_string(tag) + " has " + std::to_string(value.size()) +
               " bytes instead of " + std::to_string(size);
    };
    switch (tag) {
        case tags::kInteger:
        case tags::kEnum:
            return wrongSize(4);
        case tags::kBoolean:
            return wrongSize(1);
        case tags::kDateTime:
            return wrongSize(kDateTimeBytes);
        case tags::kResolution:
            return wrongSize(kResolutionBytes);
        case tags::kRangeOfInteger:
            return wrongSize(kRangeOfIntegerBytes);
        case tags::kEndCollection:
            return wrongSize(0);
        case tags::kTextWithLanguage:
        case tags::kNameWithLanguage:
            if (!textWithLanguage(value))
                return std::string("a value with a language has lengths that do not fit it");
            return std::nullopt;
        case tags::kExtension:
            // Its four-byte type would sit where the name's length is expected: not worth the
            // guess for a tag no printer uses.
            return std::string("the extended value tag 0x7F is not read");
        default:
            return std::nullopt;
    }
}

class Reader {
  public:
    explicit Reader(std::string_view bytes) : bytes_(bytes) {}

    Decoded read() {
        if (bytes_.size() > kMaxReplyBytes)
            return refuse("the reply is longer than " + std::to_string(kMaxReplyBytes) + " bytes");
        if (bytes_.size() < kHeaderBytes)
            return refuse("the reply is cut short in its header");
        Response r;
        r.majorVersion = static_cast<std::uint8_t>(bytes_[0]);
        r.minorVersion = static_cast<std::uint8_t>(bytes_[1]);
        r.status = readShort(bytes_, kStatusAt);
        r.requestId = static_cast<std::uint32_t>(readShort(bytes_, kRequestIdAt)) << 16 |
                      readShort(bytes_, kRequestIdAt + 2);
        pos_ = kHeaderBytes;
        // Every pass takes at least one byte, so the loop ends at the end of the bytes.
        while (pos_ < bytes_.size()) {
            std::size_t tagAt = pos_;
            auto tag = static_cast<std::uint8_t>(bytes_[pos_++]);
            if (tag <= tags::kLastDelimiter) {
                if (depth_ > 0)
                    return refuse("a collection is not closed before tag " + std::to_string(tag));
                if (tag == 0x00)
                    return refuse("the reserved delimiter tag 0x00");
                if (tag == tags::kEndOfAttributes) {
                    Decoded done;
                    done.response = std::move(r);
                    return done;
                }
                r.groups.push_back({tag, {}});
                continue;
            }
            if (std::optional<std::string> why = attribute(r, tag, tagAt))
                return refuse(*why);
        }
        return refuse("the reply is cut short: no end-of-attributes tag");
    }

  private:
    // One attribute value after its tag; why the reply is refused, or nothing.
    std::optional<std::string> attribute(Response& r, std::uint8_t tag, std::size_t tagAt) {
        std::string_view name;
        std::string_view value;
        if (!field(name) || !field(value))
            return std::string("the reply is cut short in an attribute");
        if (r.groups.empty())
            return std::string("a value before any group");
        if (std::optional<std::string> why = badValue(tag, value))
            return *why;
        Group& group = r.groups.back();
        if (depth_ > 0) {
            // Members of a collection carry no name; they become the collection's bytes.
            if (!name.empty())
                return std::string("a named attribute inside a collection");
            if (tag == tags::kBeginCollection) {
                ++depth_;
            } else if (tag == tags::kEndCollection && --depth_ == 0) {
                group.attributes.back().values.back().bytes =
                    std::string(bytes_.substr(membersAt_, tagAt - membersAt_));
            }
            return std::nullopt;
        }
        if (tag == tags::kEndCollection || tag == tags::kMemberName)
            return std::string("a collection's member outside any collection");
        if (!name.empty()) {
            group.attributes.push_back({std::string(name), {}});
        } else if (group.attributes.empty()) {
            return std::string("a value before any attribute name");
        }
        group.attributes.back().values.push_back({tag, std::string(value)});
        if (tag == tags::kBeginCollection) {
            depth_ = 1;
            membersAt_ = pos_;
        }
        return std::nullopt;
    }

    // A 16-bit length and that many bytes.
    bool field(std::string_view& out) {
        if (bytes_.size() - pos_ < 2)
            return false;
        std::size_t length = readShort(bytes_, pos_);
        pos_ += 2;
        if (bytes_.size() - pos_ < length)
            return false;
        out = bytes_.substr(pos_, length);
        pos_ += length;
        return true;
    }

    static Decoded refuse(std::string why) {
        Decoded d;
        d.error = std::move(why);
        return d;
    }

    std::string_view bytes_;
    std::size_t pos_ = 0;
    std::size_t depth_ = 0;      // collections open
    std::size_t membersAt_ = 0;  // where the outermost open collection's members start
};

}  // namespace

Decoded decodeResponse(std::string_view bytes) {
    return Reader(bytes).read();
}

bool succeeded(const Response& response) {
    return response.status <= kLastSuccessfulStatus;
}

const Attribute* findAttribute(const Response& response, std::string_view name) {
    for (const Group& group : response.groups) {
        if (group.tag == tags::kUnsupportedGroup)
            continue;
        for (const Attribute& attribute : group.attributes) {
            if (attribute.name == name)
                return &attribute;
        }
    }
    return nullptr;
}

std::optional<std::string> textAttribute(const Response& response, std::string_view name) {
    const Attribute* attribute = findAttribute(response, name);
    if (attribute == nullptr || attribute->values.empty())
        return std::nullopt;
    const Value& first = attribute->values.front();
    std::string_view bytes;
    switch (first.tag) {
        case tags::kText:
        case tags::kName:
        case tags::kKeyword:
        case tags::kUri:
            bytes = first.bytes;
            break;
        case tags::kTextWithLanguage:
        case tags::kNameWithLanguage:
            // The reader has checked its lengths.
            bytes = textWithLanguage(first.bytes).value_or(std::string_view());
            break;
        default:
            return std::nullopt;
    }
    return text::fromCodePoints(text::toCodePoints(bytes));
}

std::optional<std::string> answeredText(std::string_view reply, std::uint32_t requestId,
                                        std::string_view attribute) {
    Decoded decoded = decodeResponse(reply);
    if (!decoded.response || decoded.response->requestId != requestId ||
        !succeeded(*decoded.response))
        return std::nullopt;
    return textAttribute(*decoded.response, attribute);
}

}  // namespace ipp
