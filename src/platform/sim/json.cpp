#include "platform/sim/json.h"

#include <cmath>
#include <limits>

#include <nlohmann/json.hpp>

namespace sim::json {

namespace {

std::runtime_error typeError(const char* wanted) {
    return std::runtime_error(std::string("JSON value is not ") + wanted);
}

using Nlohmann = nlohmann::ordered_json;

// Deeper nesting than any scenario needs is refused before the conversion below recurses.
constexpr int kMaxDepth = 200;

// Whole numbers with at most 15 digits are written as integers.
constexpr double kWrittenAsInteger = 1e15;
// A number read as an integer stays below 2^53, where a double holds every whole number.
constexpr double kLargestInteger = 9e15;

[[noreturn]] void refuse(const std::string& what) {
    throw ParseError("JSON: " + what);
}

Value fromNlohmann(const Nlohmann& j, int depth) {
    if (depth > kMaxDepth)
        refuse("nesting too deep");
    switch (j.type()) {
        case Nlohmann::value_t::boolean:
            return Value(j.get<bool>());
        case Nlohmann::value_t::number_integer:
            return Value(j.get<long long>());
        case Nlohmann::value_t::number_unsigned: {
            auto u = j.get<unsigned long long>();
            if (u <= static_cast<unsigned long long>(std::numeric_limits<long long>::max()))
                return Value(static_cast<long long>(u));
            return Value(static_cast<double>(u));
        }
        case Nlohmann::value_t::number_float:
            return Value(j.get<double>());
        case Nlohmann::value_t::string:
            return Value(j.get_ref<const std::string&>());
        case Nlohmann::value_t::array: {
            Value array = Value::array();
            for (const Nlohmann& element : j)
                array.push(fromNlohmann(element, depth + 1));
            return array;
        }
        case Nlohmann::value_t::object: {
            Value object = Value::object();
            for (const auto& [key, member] : j.items())
                object.set(key, fromNlohmann(member, depth + 1));
            return object;
        }
        default:
            return Value(nullptr);
    }
}

// Whole numbers are written without a fraction ("3", never "3.0"): transcripts are compared
// byte for byte with stored ones.
Nlohmann numberToNlohmann(bool integral, long long integer, double number) {
    if (integral)
        return integer;
    if (std::isfinite(number) && std::floor(number) == number &&
        std::fabs(number) < kWrittenAsInteger)
        return static_cast<long long>(number);
    return number;  // nlohmann writes the shortest text that reads back, and null for inf and NaN
}

// nlohmann writes backspace and form feed as \b and \f; the transcript writes every control
// character but \n, \r and \t as \u00XX, as stored transcripts hold them. Outside strings a
// dump has no backslash.
std::string controlEscapesAsStored(std::string dumped) {
    if (dumped.find('\\') == std::string::npos)
        return dumped;
    std::string out;
    out.reserve(dumped.size() + 8);
    for (std::size_t i = 0; i < dumped.size(); ++i) {
        if (dumped[i] != '\\' || i + 1 == dumped.size()) {
            out += dumped[i];
            continue;
        }
        char escaped = dumped[++i];
        if (escaped == 'b') {
            out += "\\u0008";
        } else if (escaped == 'f') {
            out += "\\u000c";
        } else {
            out += '\\';
            out += escaped;
        }
    }
    return out;
}

}  // namespace

struct Conversion {
    static Nlohmann toNlohmann(const Value& v) {
        switch (v.type_) {
            case Value::Type::Null:
                return nullptr;
            case Value::Type::Bool:
                return v.bool_;
            case Value::Type::Number:
                return numberToNlohmann(v.integral_, v.integer_, v.number_);
            case Value::Type::String:
                return v.string_;
            case Value::Type::Array: {
                Nlohmann array = Nlohmann::array();
                auto& elements = array.get_ref<Nlohmann::array_t&>();
                elements.reserve(v.array_.size());
                for (const Value& element : v.array_)
                    elements.push_back(toNlohmann(element));
                return array;
            }
            case Value::Type::Object: {
                // set() already keeps keys unique: append without nlohmann's lookup per key.
                Nlohmann object = Nlohmann::object();
                auto& members = object.get_ref<Nlohmann::object_t&>();
                members.reserve(v.members_.size());
                for (const auto& [key, member] : v.members_)
                    members.emplace_back(key, toNlohmann(member));
                return object;
            }
        }
        return nullptr;
    }
};

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
    if (std::floor(number_) != number_ || std::fabs(number_) > kLargestInteger)
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
    // Bytes that are not UTF-8 (no scenario text can hold them) become U+FFFD rather than
    // an exception or a line no reader takes.
    return controlEscapesAsStored(
        Conversion::toNlohmann(*this).dump(-1, ' ', false, Nlohmann::error_handler_t::replace));
}

Value parse(std::string_view text) {
    Nlohmann document;
    try {
        document = Nlohmann::parse(text);
    } catch (const Nlohmann::exception& e) {
        // "[json.exception.parse_error.101] parse error at line 1, column 2: ..." without its tag
        std::string what = e.what();
        std::size_t tagEnd = what.find("] ");
        refuse(tagEnd == std::string::npos ? what : what.substr(tagEnd + 2));
    }
    return fromNlohmann(document, 0);
}

}  // namespace sim::json
