#pragma once
// Plain values that cross the platform boundary: WMI properties and method arguments.

#include <cstdint>
#include <string>
#include <utility>
#include <variant>
#include <vector>

namespace platform {

// The forms a property or argument takes; the width of an integer matters to the real
// machine (VT_I2 against VT_I4 against VT_UI4), so it is kept.
struct Value {
    enum class Kind { Null, Bool, Int16, Int32, UInt32, String, StringList, Object };

    Kind kind = Kind::Null;
    bool boolean = false;
    std::int64_t integer = 0;
    std::string string;
    std::vector<std::string> list;
    // An object handed to a method as one argument (AddPrinterDriver takes a filled driver
    // record): its class and its properties in the order they were set.
    std::string objectClass;
    std::vector<std::pair<std::string, Value>> members;

    static Value null() { return {}; }
    static Value fromBool(bool b) {
        Value v;
        v.kind = Kind::Bool;
        v.boolean = b;
        return v;
    }
    static Value int16(std::int16_t i) {
        Value v;
        v.kind = Kind::Int16;
        v.integer = i;
        return v;
    }
    static Value int32(std::int32_t i) {
        Value v;
        v.kind = Kind::Int32;
        v.integer = i;
        return v;
    }
    static Value uint32(std::uint32_t i) {
        Value v;
        v.kind = Kind::UInt32;
        v.integer = i;
        return v;
    }
    static Value text(std::string s) {
        Value v;
        v.kind = Kind::String;
        v.string = std::move(s);
        return v;
    }
    static Value strings(std::vector<std::string> l) {
        Value v;
        v.kind = Kind::StringList;
        v.list = std::move(l);
        return v;
    }
    static Value object(std::string className, std::vector<std::pair<std::string, Value>> m) {
        Value v;
        v.kind = Kind::Object;
        v.objectClass = std::move(className);
        v.members = std::move(m);
        return v;
    }

    bool isNull() const { return kind == Kind::Null; }
    bool operator==(const Value&) const = default;
};

// Properties in the order they were set; the order is part of what the machine is told.
using Properties = std::vector<std::pair<std::string, Value>>;

inline const Value* findProperty(const Properties& props, const std::string& name) {
    for (const auto& [key, value] : props) {
        if (key == name)
            return &value;
    }
    return nullptr;
}

inline void setProperty(Properties& props, const std::string& name, Value value) {
    for (auto& [key, existing] : props) {
        if (key == name) {
            existing = std::move(value);
            return;
        }
    }
    props.emplace_back(name, std::move(value));
}

}  // namespace platform
