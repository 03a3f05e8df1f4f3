#pragma once
// Owners for COM resources, so every early return and throw releases what it holds.

#include <windows.h>

#include <oleauto.h>
#include <wrl/client.h>

#include <string_view>
#include <utility>

#include "platform/win32/wide.h"

namespace platform::win32 {

template <typename T>
using ComPtr = Microsoft::WRL::ComPtr<T>;

class Bstr {
  public:
    Bstr() = default;
    explicit Bstr(std::string_view utf8) {
        std::wstring wide = toWide(utf8);
        value_ = SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
    }
    explicit Bstr(const wchar_t* wide) : value_(SysAllocString(wide)) {}
    ~Bstr() { SysFreeString(value_); }
    Bstr(const Bstr&) = delete;
    Bstr& operator=(const Bstr&) = delete;
    Bstr(Bstr&& other) noexcept : value_(std::exchange(other.value_, nullptr)) {}
    Bstr& operator=(Bstr&& other) noexcept {
        std::swap(value_, other.value_);
        return *this;
    }

    BSTR get() const { return value_; }
    // For out parameters; frees what it held first.
    BSTR* out() {
        SysFreeString(std::exchange(value_, nullptr));
        return &value_;
    }
    std::string utf8() const {
        return value_ ? toUtf8(std::wstring_view(value_, SysStringLen(value_))) : "";
    }

  private:
    BSTR value_ = nullptr;
};

class Variant {
  public:
    Variant() { VariantInit(&value_); }
    ~Variant() { VariantClear(&value_); }
    Variant(const Variant&) = delete;
    Variant& operator=(const Variant&) = delete;

    VARIANT* get() { return &value_; }
    const VARIANT* get() const { return &value_; }
    VARTYPE type() const { return V_VT(&value_); }
    // For out parameters and for filling in place; clears what it held first.
    VARIANT* out() {
        VariantClear(&value_);
        return &value_;
    }

  private:
    VARIANT value_;
};

}  // namespace platform::win32
