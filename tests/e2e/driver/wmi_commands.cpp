// The WMI oracle: asks Win32_NetworkAdapterConfiguration directly through COM.
#include "address_rule.h"
#include "driver.h"

#include <oleauto.h>
#include <wbemidl.h>

namespace e2e {

namespace {

template <class T>
class Com {
  public:
    Com() = default;
    Com(const Com&) = delete;
    Com& operator=(const Com&) = delete;
    ~Com() {
        if (ptr_)
            ptr_->Release();
    }
    T** out() { return &ptr_; }
    T* operator->() const { return ptr_; }
    T* get() const { return ptr_; }

  private:
    T* ptr_ = nullptr;
};

class Bstr {
  public:
    explicit Bstr(const wchar_t* text) : bstr_(SysAllocString(text)) {}
    Bstr(const Bstr&) = delete;
    Bstr& operator=(const Bstr&) = delete;
    ~Bstr() { SysFreeString(bstr_); }
    operator BSTR() const { return bstr_; }

  private:
    BSTR bstr_;
};

std::wstring hresult_text(const wchar_t* what, HRESULT hr) {
    wchar_t code[16];
    wsprintfW(code, L"0x%08lX", static_cast<unsigned long>(hr));
    return std::wstring(what) + L" failed: " + code;
}

bool read_addresses(IWbemClassObject* adapter, AddressList& list, std::wstring& error) {
    VARIANT value;
    VariantInit(&value);
    HRESULT hr = adapter->Get(L"IPAddress", 0, &value, nullptr, nullptr);
    if (FAILED(hr)) {
        error = hresult_text(L"Get(IPAddress)", hr);
        return false;
    }
    bool ok = true;
    if (V_VT(&value) == VT_NULL || V_VT(&value) == VT_EMPTY) {
        list.reset();
    } else if (V_VT(&value) == (VT_ARRAY | VT_BSTR)) {
        SAFEARRAY* array = V_ARRAY(&value);
        LONG low = 0, high = -1;
        SafeArrayGetLBound(array, 1, &low);
        SafeArrayGetUBound(array, 1, &high);
        list.emplace();
        for (LONG i = low; i <= high; ++i) {
            BSTR entry = nullptr;
            if (FAILED(SafeArrayGetElement(array, &i, &entry))) {
                error = L"cannot read an IPAddress entry";
                ok = false;
                break;
            }
            list->emplace_back(entry ? std::wstring(entry, SysStringLen(entry)) : std::wstring());
            SysFreeString(entry);
        }
    } else {
        error = L"IPAddress has the unexpected type " + std::to_wstring(V_VT(&value));
        ok = false;
    }
    VariantClear(&value);
    return ok;
}

// The same query the program runs, in the order WMI returns the adapters.
bool query_adapters(std::vector<AddressList>& adapters, std::wstring& error) {
    HRESULT hr = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    if (FAILED(hr)) {
        error = hresult_text(L"CoInitializeEx", hr);
        return false;
    }
    CoInitializeSecurity(nullptr, -1, nullptr, nullptr, RPC_C_AUTHN_LEVEL_DEFAULT,
                         RPC_C_IMP_LEVEL_IMPERSONATE, nullptr, EOAC_NONE, nullptr);
    bool ok = false;
    {
        Com<IWbemLocator> locator;
        Com<IWbemServices> services;
        Com<IEnumWbemClassObject> rows;
        if (FAILED(hr = CoCreateInstance(CLSID_WbemLocator, nullptr, CLSCTX_INPROC_SERVER,
                                         IID_IWbemLocator,
                                         reinterpret_cast<void**>(locator.out())))) {
            error = hresult_text(L"CoCreateInstance(WbemLocator)", hr);
        } else if (FAILED(hr = locator->ConnectServer(Bstr(L"ROOT\\CIMV2"), nullptr, nullptr,
                                                      nullptr, 0, nullptr, nullptr,
                                                      services.out()))) {
            error = hresult_text(L"ConnectServer", hr);
        } else if (FAILED(hr = services->ExecQuery(
                              Bstr(L"WQL"),
                              Bstr(L"SELECT * FROM Win32_NetworkAdapterConfiguration WHERE "
                                   L"IPEnabled=TRUE"),
                              WBEM_FLAG_FORWARD_ONLY, nullptr, rows.out()))) {
            error = hresult_text(L"ExecQuery", hr);
        } else {
            ok = true;
            for (;;) {
                Com<IWbemClassObject> row;
                ULONG returned = 0;
                hr = rows->Next(WBEM_INFINITE, 1, row.out(), &returned);
                if (FAILED(hr)) {
                    error = hresult_text(L"Next", hr);
                    ok = false;
                    break;
                }
                if (returned == 0)
                    break;
                AddressList list;
                if (!read_addresses(row.get(), list, error)) {
                    ok = false;
                    break;
                }
                adapters.push_back(std::move(list));
            }
        }
    }
    CoUninitialize();
    return ok;
}

}  // namespace

int cmd_wmi_own_address(const Options&, const Args&) {
    std::vector<AddressList> adapters;
    std::wstring error;
    if (!query_adapters(adapters, error)) {
        print_error(error);
        return kFailed;
    }
    print_line(own_address(adapters));
    return kOk;
}

// One line per adapter in query order, for the test log.
int cmd_wmi_adapters(const Options&, const Args&) {
    std::vector<AddressList> adapters;
    std::wstring error;
    if (!query_adapters(adapters, error)) {
        print_error(error);
        return kFailed;
    }
    for (const auto& list : adapters) {
        if (!list) {
            print_line(L"NULL");
            continue;
        }
        std::wstring line = L"[";
        for (size_t i = 0; i < list->size(); ++i)
            line += (i ? L", \"" : L"\"") + (*list)[i] + L"\"";
        print_line(line + L"]");
    }
    return kOk;
}

}  // namespace e2e
