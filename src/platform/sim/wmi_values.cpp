#include "platform/sim/wmi_values.h"

namespace sim {

json::Value toJson(const platform::Value& v) {
    using K = platform::Value::Kind;
    switch (v.kind) {
        case K::Null:
            return json::Value(nullptr);
        case K::Bool:
            return json::Value(v.boolean);
        case K::Int16:
        case K::Int32:
        case K::UInt32:
            return json::Value(static_cast<long long>(v.integer));
        case K::String:
            return json::Value(v.string);
        case K::StringList: {
            json::Value a = json::Value::array();
            for (const std::string& s : v.list)
                a.push(s);
            return a;
        }
        case K::Object:
            return toJson(v.members);
    }
    return json::Value(nullptr);
}

json::Value toJson(const platform::Properties& props) {
    json::Value o = json::Value::object();
    for (const auto& [name, value] : props)
        o.set(name, toJson(value));
    return o;
}

platform::Value fromJson(const json::Value& v) {
    switch (v.type()) {
        case json::Value::Type::Bool:
            return platform::Value::fromBool(v.asBool());
        case json::Value::Type::Number:
            return platform::Value::int32(static_cast<std::int32_t>(v.asInteger()));
        case json::Value::Type::String:
            return platform::Value::text(v.asString());
        case json::Value::Type::Array: {
            std::vector<std::string> list;
            for (const json::Value& e : v.asArray())
                list.push_back(e.isString() ? e.asString() : e.dump());
            return platform::Value::strings(std::move(list));
        }
        default:
            return platform::Value::null();
    }
}

}  // namespace sim
