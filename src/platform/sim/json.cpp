#include "platform/sim/json.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "text/text.h"

namespace sim::json {

namespace {

std::runtime_error typeError(const char* wanted) {
    return std::runtime_error(std::string("JSON value is not ") + wanted);
}

class Parser {
  public:
    explicit Parser(std::string_view text) : s_(text) {}

    Value document() {
        Value v = value(0);
        skipSpace();
        if (i_ != s_.size())
            fail("trailing characters");
        return v;
    }

  private:
    static constexpr int kMaxDepth = 200;

    [[noreturn]] void fail(const std::string& what) const {
        throw ParseError("JSON: " + what + " at offset " + std::to_string(i_));
    }
    void skipSpace() {
        while (i_ < s_.size() &&
               (s_[i_] == ' ' || s_[i_] == '\t' || s_[i_] == '\n' || s_[i_] == '\r'))
            ++i_;
    }
    bool consume(std::string_view word) {
        if (s_.substr(i_, word.size()) != word)
            return false;
        i_ += word.size();
        return true;
    }

    Value value(int depth) {
        if (depth > kMaxDepth)
            fail("nesting too deep");
        skipSpace();
        if (i_ >= s_.size())
            fail("unexpected end");
        char c = s_[i_];
        if (c == '{')
            return object(depth);
        if (c == '[')
            return array(depth);
        if (c == '"')
            return Value(string());
        if (consume("true"))
            return Value(true);
        if (consume("false"))
            return Value(false);
        if (consume("null"))
            return Value(nullptr);
        if (c == '-' || (c >= '0' && c <= '9'))
            return number();
        fail("unexpected character");
    }

    Value object(int depth) {
        ++i_;
        Value obj = Value::object();
        skipSpace();
        if (i_ < s_.size() && s_[i_] == '}') {
            ++i_;
            return obj;
        }
        while (true) {
            skipSpace();
            if (i_ >= s_.size() || s_[i_] != '"')
                fail("expected a key");
            std::string key = string();
            skipSpace();
            if (i_ >= s_.size() || s_[i_] != ':')
                fail("expected ':'");
            ++i_;
            obj.set(std::move(key), value(depth + 1));
            skipSpace();
            if (i_ < s_.size() && s_[i_] == ',') {
                ++i_;
                continue;
            }
            if (i_ < s_.size() && s_[i_] == '}') {
                ++i_;
                return obj;
            }
            fail("expected ',' or '}'");
        }
    }

    Value array(int depth) {
        ++i_;
        Value arr = Value::array();
        skipSpace();
        if (i_ < s_.size() && s_[i_] == ']') {
            ++i_;
            return arr;
        }
        while (true) {
            arr.push(value(depth + 1));
            skipSpace();
            if (i_ < s_.size() && s_[i_] == ',') {
                ++i_;
                continue;
            }
            if (i_ < s_.size() && s_[i_] == ']') {
                ++i_;
                return arr;
            }
            fail("expected ',' or ']'");
        }
    }

    unsigned hex4() {
        if (i_ + 4 > s_.size())
            fail("short \\u escape");
        unsigned v = 0;
        for (int k = 0; k < 4; ++k) {
            char c = s_[i_++];
            v <<= 4;
            if (c >= '0' && c <= '9')
                v |= c - '0';
            else if (c >= 'a' && c <= 'f')
                v |= c - 'a' + 10;
            else if (c >= 'A' && c <= 'F')
                v |= c - 'A' + 10;
            else
                fail("bad \\u escape");
        }
        return v;
    }

    std::string string() {
        ++i_;  // opening quote
        std::string out;
        while (true) {
            if (i_ >= s_.size())
                fail("unterminated string");
            char c = s_[i_++];
            if (c == '"')
                return out;
            if (static_cast<unsigned char>(c) < 0x20)
                fail("control character in string");
            if (c != '\\') {
                out += c;
                continue;
            }
            if (i_ >= s_.size())
                fail("unterminated escape");
            char e = s_[i_++];
            switch (e) {
                case '"':
                    out += '"';
                    break;
                case '\\':
                    out += '\\';
                    break;
                case '/':
                    out += '/';
                    break;
                case 'b':
                    out += '\b';
                    break;
                case 'f':
                    out += '\f';
                    break;
                case 'n':
                    out += '\n';
                    break;
                case 'r':
                    out += '\r';
                    break;
                case 't':
                    out += '\t';
                    break;
                case 'u': {
                    char32_t cp = hex4();
                    if (cp >= 0xD800 && cp <= 0xDBFF && s_.substr(i_, 2) == "\\u") {
                        i_ += 2;
                        unsigned low = hex4();
                        if (low >= 0xDC00 && low <= 0xDFFF) {
                            cp = 0x10000 + ((cp - 0xD800) << 10) + (low - 0xDC00);
                        } else {
                            cp = 0xFFFD;
                        }
                    } else if (cp >= 0xD800 && cp <= 0xDFFF) {
                        cp = 0xFFFD;
                    }
                    text::appendCodePoint(out, cp);
                    break;
                }
                default:
                    fail("bad escape");
            }
        }
    }

    Value number() {
        std::size_t start = i_;
        if (s_[i_] == '-')
            ++i_;
        auto digits = [&] {
            std::size_t from = i_;
            while (i_ < s_.size() && s_[i_] >= '0' && s_[i_] <= '9')
                ++i_;
            return i_ > from;
        };
        if (!digits())
            fail("bad number");
        bool integral = true;
        if (i_ < s_.size() && s_[i_] == '.') {
            ++i_;
            integral = false;
            if (!digits())
                fail("bad number");
        }
        if (i_ < s_.size() && (s_[i_] == 'e' || s_[i_] == 'E')) {
            ++i_;
            integral = false;
            if (i_ < s_.size() && (s_[i_] == '+' || s_[i_] == '-'))
                ++i_;
            if (!digits())
                fail("bad number");
        }
        std::string t(s_.substr(start, i_ - start));
        if (integral && t.size() < 19)
            return Value(std::strtoll(t.c_str(), nullptr, 10));
        return Value(std::strtod(t.c_str(), nullptr));
    }

    std::string_view s_;
    std::size_t i_ = 0;
};

void dumpString(std::string& out, const std::string& s) {
    out += '"';
    for (char c : s) {
        switch (c) {
            case '"':
                out += "\\\"";
                break;
            case '\\':
                out += "\\\\";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\t':
                out += "\\t";
                break;
            default:
                if (static_cast<unsigned char>(c) < 0x20) {
                    char buf[8];
                    std::snprintf(buf, sizeof buf, "\\u%04x", static_cast<unsigned char>(c));
                    out += buf;
                } else {
                    out += c;
                }
        }
    }
    out += '"';
}

}  // namespace

bool Value::asBool() const {
    if (type_ != Type::Bool)
        throw typeError("a boolean");
    return bool_;
}
double Value::asNumber() const {
    if (type_ != Type::Number)
        throw typeError("a number");
    return number_;
}
long long Value::asInteger() const {
    if (type_ != Type::Number)
        throw typeError("a number");
    if (integral_)
        return integer_;
    if (std::floor(number_) != number_ || std::fabs(number_) > 9e15)
        throw typeError("an integer");
    return static_cast<long long>(number_);
}
const std::string& Value::asString() const {
    if (type_ != Type::String)
        throw typeError("a string");
    return string_;
}
const Array& Value::asArray() const {
    if (type_ != Type::Array)
        throw typeError("an array");
    return array_;
}
Array& Value::asArray() {
    if (type_ != Type::Array)
        throw typeError("an array");
    return array_;
}
const std::vector<Member>& Value::members() const {
    if (type_ != Type::Object)
        throw typeError("an object");
    return members_;
}

const Value* Value::find(std::string_view key) const {
    if (type_ != Type::Object)
        return nullptr;
    for (const auto& [k, v] : members_) {
        if (k == key)
            return &v;
    }
    return nullptr;
}

Value& Value::set(std::string key, Value value) {
    if (type_ != Type::Object)
        throw typeError("an object");
    for (auto& [k, v] : members_) {
        if (k == key) {
            v = std::move(value);
            return v;
        }
    }
    members_.emplace_back(std::move(key), std::move(value));
    return members_.back().second;
}

void Value::push(Value value) {
    if (type_ != Type::Array)
        throw typeError("an array");
    array_.push_back(std::move(value));
}

std::size_t Value::size() const {
    if (type_ == Type::Array)
        return array_.size();
    if (type_ == Type::Object)
        return members_.size();
    return 0;
}

bool Value::operator==(const Value& other) const {
    if (type_ != other.type_)
        return false;
    switch (type_) {
        case Type::Null:
            return true;
        case Type::Bool:
            return bool_ == other.bool_;
        case Type::Number:
            return number_ == other.number_;
        case Type::String:
            return string_ == other.string_;
        case Type::Array:
            return array_ == other.array_;
        case Type::Object: {
            if (members_.size() != other.members_.size())
                return false;
            for (const auto& [k, v] : members_) {
                const Value* o = other.find(k);
                if (o == nullptr || !(*o == v))
                    return false;
            }
            return true;
        }
    }
    return false;
}

std::string Value::dump() const {
    std::string out;
    dumpTo(out);
    return out;
}

void Value::dumpTo(std::string& out) const {
    switch (type_) {
        case Type::Null:
            out += "null";
            break;
        case Type::Bool:
            out += bool_ ? "true" : "false";
            break;
        case Type::Number: {
            if (integral_) {
                out += std::to_string(integer_);
            } else if (std::floor(number_) == number_ && std::fabs(number_) < 1e15) {
                out += std::to_string(static_cast<long long>(number_));
            } else if (std::isfinite(number_)) {
                char buf[32];
                std::snprintf(buf, sizeof buf, "%.17g", number_);
                // Prefer the shortest text that reads back to the same number.
                for (int precision = 1; precision <= 17; ++precision) {
                    char shorter[32];
                    std::snprintf(shorter, sizeof shorter, "%.*g", precision, number_);
                    if (std::strtod(shorter, nullptr) == number_) {
                        out += shorter;
                        return;
                    }
                }
                out += buf;
            } else {
                out += "null";
            }
            break;
        }
        case Type::String:
            dumpString(out, string_);
            break;
        case Type::Array: {
            out += '[';
            for (std::size_t i = 0; i < array_.size(); ++i) {
                if (i > 0)
                    out += ',';
                array_[i].dumpTo(out);
            }
            out += ']';
            break;
        }
        case Type::Object: {
            out += '{';
            for (std::size_t i = 0; i < members_.size(); ++i) {
                if (i > 0)
                    out += ',';
                dumpString(out, members_[i].first);
                out += ':';
                members_[i].second.dumpTo(out);
            }
            out += '}';
            break;
        }
    }
}

Value parse(std::string_view text) {
    return Parser(text).document();
}

}  // namespace sim::json
