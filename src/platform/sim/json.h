#pragma once
// A small JSON value with ordered objects: scenarios are read with it and transcript lines
// written with it. Objects keep their insertion order so every line starts with "op".
// nlohmann's ordered_json reads and writes the text; this type keeps the simulated machine's
// callers (lookups that give null, set() that keeps a key's place, integers kept apart from
// fractions) free of its headers.

#include <cstdint>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace sim::json {

class Value;
using Array = std::vector<Value>;
using Member = std::pair<std::string, Value>;

class Value {
  public:
    enum class Type { Null, Bool, Number, String, Array, Object };

    Value() = default;
    Value(std::nullptr_t) {}
    Value(bool b) : type_(Type::Bool), bool_(b) {}
    Value(int i) : type_(Type::Number), number_(i), integral_(true), integer_(i) {}
    Value(long i) : Value(static_cast<long long>(i)) {}
    Value(long long i)
        : type_(Type::Number), number_(static_cast<double>(i)), integral_(true), integer_(i) {}
    Value(unsigned u) : Value(static_cast<long long>(u)) {}
    Value(double d) : type_(Type::Number), number_(d) {}
    Value(const char* s) : type_(Type::String), string_(s) {}
    Value(std::string s) : type_(Type::String), string_(std::move(s)) {}
    Value(std::string_view s) : type_(Type::String), string_(s) {}
    Value(Array a) : type_(Type::Array), array_(std::move(a)) {}

    static Value object() {
        Value v;
        v.type_ = Type::Object;
        return v;
    }
    static Value array() { return Value(Array{}); }

    Type type() const { return type_; }
    bool isNull() const { return type_ == Type::Null; }
    bool isBool() const { return type_ == Type::Bool; }
    bool isNumber() const { return type_ == Type::Number; }
    bool isString() const { return type_ == Type::String; }
    bool isArray() const { return type_ == Type::Array; }
    bool isObject() const { return type_ == Type::Object; }

    bool asBool() const;
    double asNumber() const;
    long long asInteger() const;  // a whole number; anything else throws
    const std::string& asString() const;
    const Array& asArray() const;
    Array& asArray();
    const std::vector<Member>& members() const;

    // Objects: lookup (null when absent) and ordered insertion (replaces an existing key).
    const Value* find(std::string_view key) const;
    bool has(std::string_view key) const { return find(key) != nullptr; }
    Value& set(std::string key, Value value);
    // Arrays.
    void push(Value value);
    std::size_t size() const;

    bool operator==(const Value& other) const;

    std::string dump() const;

  private:
    friend struct Conversion;  // to nlohmann's values, in json.cpp

    Type type_ = Type::Null;
    bool bool_ = false;
    double number_ = 0;
    bool integral_ = false;
    long long integer_ = 0;
    std::string string_;
    Array array_;
    std::vector<Member> members_;
};

class ParseError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// Parses one JSON text (surrounding white space allowed); throws ParseError, also for text
// that is not UTF-8 and for nesting deeper than 200.
Value parse(std::string_view text);

}  // namespace sim::json
