#pragma once
// WMI objects and properties as plain values, and back.

#include <windows.h>

#include <wbemidl.h>

#include <optional>
#include <string>

#include "platform/value.h"
#include "platform/wmi.h"

namespace platform::win32 {

// A property as Get returns it; the CIM type decides what a VT_I4 is (uint32 arrives as VT_I4).
// Absent for what has no plain form (embedded objects).
std::optional<platform::Value> fromVariant(const VARIANT& variant, CIMTYPE cimType);

// A value in the VARIANT a property of that CIM type takes. uint32 goes as VT_UI4 when asked
// (Wine needs it), as VT_I4 otherwise (Windows documents it). A text that is no number for a
// numeric property raises platform::Error 13, a number out of the type's range error 6.
void toVariant(const platform::Value& value, CIMTYPE cimType, bool uint32AsUI4, VARIANT& out);

// Sets one property, trying the other uint32 encoding when the first is refused.
void putProperty(IWbemClassObject* object, const std::string& name, const platform::Value& value,
                 CIMTYPE cimType, const std::string& call);

// Class name, relative path, genus and every property except the system ones ("__...").
platform::WmiObject readObject(IWbemClassObject* object, const std::string& call);

}  // namespace platform::win32
