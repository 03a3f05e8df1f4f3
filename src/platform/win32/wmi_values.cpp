#include "platform/win32/wmi_values.h"

#include <cmath>
#include <cstdint>
#include <vector>

#include "platform/error_texts.h"
#include "platform/number.h"
#include "platform/win32/com.h"
#include "platform/win32/wide.h"
#include "text/text.h"

namespace platform::win32 {

namespace {

using Kind = platform::Value::Kind;

[[noreturn]] void typeMismatch() {
    throw platform::errorFor(platform::errors::kTypeMismatch);
}
[[noreturn]] void overflow() {
    throw platform::errorFor(platform::errors::kOverflow);
}

bool isInteger(Kind kind) {
    return kind == Kind::Int16 || kind == Kind::Int32 || kind == Kind::UInt32;
}

double numberOf(const platform::Value& value) {
    if (isInteger(value.kind))
        return static_cast<double>(value.integer);
    if (value.kind == Kind::Bool)
        return value.boolean ? -1.0 : 0.0;  // True is -1 to the program
    if (value.kind == Kind::String)
        return platform::toNumber(value.string);
    typeMismatch();
}

std::int64_t integerIn(const platform::Value& value, std::int64_t low, std::int64_t high) {
    std::int64_t n = 0;
    if (isInteger(value.kind)) {
        n = value.integer;
    } else {
        double rounded = std::nearbyint(numberOf(value));  // half to even, as the program rounds
        if (!(rounded >= static_cast<double>(low) && rounded <= static_cast<double>(high)))
            overflow();
        n = static_cast<std::int64_t>(rounded);
    }
    if (n < low || n > high)
        overflow();
    return n;
}

std::string textOf(const platform::Value& value) {
    switch (value.kind) {
        case Kind::String:
            return value.string;
        case Kind::Int16:
        case Kind::Int32:
        case Kind::UInt32:
            return std::to_string(value.integer);
        case Kind::Bool:
            return value.boolean ? "True" : "False";
        default:
            typeMismatch();
    }
}

bool boolOf(const platform::Value& value) {
    if (value.kind == Kind::Bool)
        return value.boolean;
    if (value.kind == Kind::String) {
        std::string t = value.string;
        if (CompareStringOrdinal(toWide(t).c_str(), -1, L"True", -1, TRUE) == CSTR_EQUAL)
            return true;
        if (CompareStringOrdinal(toWide(t).c_str(), -1, L"False", -1, TRUE) == CSTR_EQUAL)
            return false;
    }
    return numberOf(value) != 0;
}

BSTR allocString(const std::string& utf8) {
    std::wstring wide = toWide(utf8);
    BSTR b = SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
    if (!b)
        throw platform::errorFor(platform::errors::kOutOfMemory);
    return b;
}

void putStringArray(const platform::Value& value, VARIANT& out) {
    if (value.kind != Kind::StringList)
        typeMismatch();
    SAFEARRAY* array = SafeArrayCreateVector(VT_BSTR, 0, static_cast<ULONG>(value.list.size()));
    if (!array)
        throw platform::errorFor(platform::errors::kOutOfMemory);
    for (LONG i = 0; i < static_cast<LONG>(value.list.size()); ++i) {
        Bstr element(value.list[static_cast<std::size_t>(i)]);
        SafeArrayPutElement(array, &i, element.get());  // copies the string
    }
    V_VT(&out) = VT_ARRAY | VT_BSTR;
    V_ARRAY(&out) = array;
}

std::optional<platform::Value> arrayValue(const VARIANT& variant) {
    SAFEARRAY* array = (V_VT(&variant) & VT_BYREF) ? *V_ARRAYREF(&variant) : V_ARRAY(&variant);
    if (!array || SafeArrayGetDim(array) != 1)
        return std::nullopt;
    LONG low = 0, high = -1;
    SafeArrayGetLBound(array, 1, &low);
    SafeArrayGetUBound(array, 1, &high);
    VARTYPE elementType = V_VT(&variant) & VT_TYPEMASK;
    std::vector<std::string> items;
    for (LONG i = low; i <= high; ++i) {
        Variant element;
        HRESULT hr = E_FAIL;
        if (elementType == VT_VARIANT) {
            hr = SafeArrayGetElement(array, &i, element.get());
        } else {
            // Every member of the VARIANT union starts at the same address.
            hr = SafeArrayGetElement(array, &i, &V_BSTR(element.get()));
            if (SUCCEEDED(hr))
                V_VT(element.get()) = elementType;
        }
        if (FAILED(hr))
            return std::nullopt;
        // Numbers in a list (a gateway's cost metrics) become their text, as the program prints
        // them.
        if (element.type() != VT_BSTR &&
            FAILED(VariantChangeType(element.get(), element.get(), 0, VT_BSTR))) {
            return std::nullopt;
        }
        BSTR b = V_BSTR(element.get());
        items.push_back(b ? toUtf8(std::wstring_view(b, SysStringLen(b))) : "");
    }
    return platform::Value::strings(std::move(items));
}

}  // namespace

std::optional<platform::Value> fromVariant(const VARIANT& variant, CIMTYPE cimType) {
    VARTYPE type = V_VT(&variant);
    if (type & VT_ARRAY)
        return arrayValue(variant);
    switch (type) {
        case VT_EMPTY:
        case VT_NULL:
            return platform::Value::null();
        case VT_BOOL:
            return platform::Value::fromBool(V_BOOL(&variant) != VARIANT_FALSE);
        case VT_I1:
            return platform::Value::int16(V_I1(&variant));
        case VT_I2:
            return platform::Value::int16(V_I2(&variant));
        case VT_UI1:
            return platform::Value::int32(V_UI1(&variant));
        case VT_UI2:
            return platform::Value::int32(V_UI2(&variant));
        case VT_I4:
            // A uint32 travels as VT_I4; above 2^31 it would otherwise read negative.
            if ((cimType & ~CIM_FLAG_ARRAY) == CIM_UINT32) {
                return platform::Value::uint32(static_cast<std::uint32_t>(V_I4(&variant)));
            }
            return platform::Value::int32(V_I4(&variant));
        case VT_INT:
            return platform::Value::int32(V_INT(&variant));
        case VT_UI4:
            return platform::Value::uint32(V_UI4(&variant));
        case VT_UINT:
            return platform::Value::uint32(V_UINT(&variant));
        case VT_BSTR: {
            BSTR b = V_BSTR(&variant);
            return platform::Value::text(b ? toUtf8(std::wstring_view(b, SysStringLen(b))) : "");
        }
        case VT_UNKNOWN:
        case VT_DISPATCH:
            return std::nullopt;
        default:
            break;
    }
    Variant converted;
    // VariantChangeType does not write its source; the header just lacks the const.
    if (FAILED(VariantChangeType(converted.get(), const_cast<VARIANT*>(&variant), 0, VT_BSTR))) {
        return std::nullopt;
    }
    return fromVariant(*converted.get(), CIM_STRING);
}

// The whole-number types up to 32 bits, each checked against its range.
void putInteger(const platform::Value& value, CIMTYPE base, bool uint32AsUI4, VARIANT& out) {
    switch (base) {
        case CIM_SINT8:
            V_VT(&out) = VT_I2;
            V_I2(&out) = static_cast<SHORT>(integerIn(value, INT8_MIN, INT8_MAX));
            return;
        case CIM_SINT16:
        case CIM_CHAR16:
            V_VT(&out) = VT_I2;
            V_I2(&out) = static_cast<SHORT>(integerIn(value, INT16_MIN, INT16_MAX));
            return;
        case CIM_UINT8:
            V_VT(&out) = VT_UI1;
            V_UI1(&out) = static_cast<BYTE>(integerIn(value, 0, UINT8_MAX));
            return;
        case CIM_UINT16:
            V_VT(&out) = VT_I4;
            V_I4(&out) = static_cast<LONG>(integerIn(value, 0, UINT16_MAX));
            return;
        case CIM_SINT32:
            V_VT(&out) = VT_I4;
            V_I4(&out) = static_cast<LONG>(integerIn(value, INT32_MIN, INT32_MAX));
            return;
        case CIM_UINT32: {
            // Negative 32-bit numbers are the program's way of writing &H80000002 (a root key).
            auto bits = static_cast<std::uint32_t>(integerIn(value, INT32_MIN, UINT32_MAX));
            if (uint32AsUI4) {
                V_VT(&out) = VT_UI4;
                V_UI4(&out) = bits;
            } else {
                V_VT(&out) = VT_I4;
                V_I4(&out) = static_cast<LONG>(bits);
            }
            return;
        }
        default:
            typeMismatch();
    }
}

void toVariant(const platform::Value& value, CIMTYPE cimType, bool uint32AsUI4, VARIANT& out) {
    VariantClear(&out);
    if (value.isNull()) {
        V_VT(&out) = VT_NULL;
        return;
    }
    CIMTYPE base = cimType & ~CIM_FLAG_ARRAY;
    if (cimType & CIM_FLAG_ARRAY) {
        if (base != CIM_STRING && base != CIM_DATETIME && base != CIM_REFERENCE)
            typeMismatch();
        putStringArray(value, out);
        return;
    }
    if (value.kind == Kind::StringList)
        typeMismatch();
    switch (base) {
        case CIM_BOOLEAN:
            V_VT(&out) = VT_BOOL;
            V_BOOL(&out) = boolOf(value) ? VARIANT_TRUE : VARIANT_FALSE;
            return;
        case CIM_REAL32:
            V_VT(&out) = VT_R4;
            V_R4(&out) = static_cast<float>(numberOf(value));
            return;
        case CIM_REAL64:
            V_VT(&out) = VT_R8;
            V_R8(&out) = numberOf(value);
            return;
        case CIM_SINT64:
            V_VT(&out) = VT_BSTR;
            V_BSTR(&out) = allocString(std::to_string(integerIn(value, INT64_MIN, INT64_MAX)));
            return;
        case CIM_UINT64:
            V_VT(&out) = VT_BSTR;
            V_BSTR(&out) = allocString(std::to_string(integerIn(value, 0, INT64_MAX)));
            return;
        case CIM_SINT8:
        case CIM_SINT16:
        case CIM_CHAR16:
        case CIM_UINT8:
        case CIM_UINT16:
        case CIM_SINT32:
        case CIM_UINT32:
            putInteger(value, base, uint32AsUI4, out);
            return;
        case CIM_STRING:
        case CIM_DATETIME:
        case CIM_REFERENCE:
            V_VT(&out) = VT_BSTR;
            V_BSTR(&out) = allocString(textOf(value));
            return;
        default:
            typeMismatch();
    }
}

void putProperty(IWbemClassObject* object, const std::string& name, const platform::Value& value,
                 CIMTYPE cimType, const std::string& call) {
    Bstr wideName(name);
    Variant variant;
    bool isUint32 = cimType == CIM_UINT32;
    toVariant(value, cimType, isUint32, *variant.get());
    HRESULT hr = object->Put(wideName.get(), 0, variant.get(), 0);
    if (FAILED(hr) && isUint32 && !value.isNull()) {
        toVariant(value, cimType, false, *variant.get());
        HRESULT second = object->Put(wideName.get(), 0, variant.get(), 0);
        if (SUCCEEDED(second))
            return;
    }
    if (FAILED(hr))
        throw hresultError(hr, call + " " + name);
}

platform::WmiObject readObject(IWbemClassObject* object, const std::string& call) {
    platform::WmiObject result;
    Variant v;
    if (SUCCEEDED(object->Get(L"__CLASS", 0, v.out(), nullptr, nullptr)) && v.type() == VT_BSTR) {
        result.className = toUtf8(V_BSTR(v.get()));
    }
    if (SUCCEEDED(object->Get(L"__RELPATH", 0, v.out(), nullptr, nullptr)) && v.type() == VT_BSTR) {
        result.path = toUtf8(V_BSTR(v.get()));
    }
    if (SUCCEEDED(object->Get(L"__GENUS", 0, v.out(), nullptr, nullptr)) && v.type() == VT_I4) {
        result.isClass = V_I4(v.get()) == WBEM_GENUS_CLASS;
    }

    HRESULT hr = object->BeginEnumeration(WBEM_FLAG_NONSYSTEM_ONLY);
    if (FAILED(hr))
        throw hresultError(hr, call);
    for (;;) {
        Bstr name;
        CIMTYPE type = 0;
        hr = object->Next(0, name.out(), v.out(), &type, nullptr);
        if (hr == WBEM_S_NO_MORE_DATA)
            break;
        if (FAILED(hr)) {
            object->EndEnumeration();
            throw hresultError(hr, call);
        }
        std::string key = name.utf8();
        if (key.rfind("__", 0) == 0)
            continue;  // in case a provider ignores the flag
        if (auto value = fromVariant(*v.get(), type))
            result.properties.emplace_back(key, *value);
    }
    object->EndEnumeration();
    return result;
}

}  // namespace platform::win32
