#include "platform/win32/wmi_services.h"

#include <algorithm>
#include <cstdint>
#include <exception>
#include <future>
#include <system_error>
#include <thread>
#include <vector>

#include "platform/error_texts.h"
#include "platform/win32/moniker.h"
#include "platform/win32/wide.h"
#include "platform/win32/wmi_values.h"

namespace platform::win32 {

namespace {

DWORD impersonationOf(const std::string& level) {
    if (level == "anonymous")
        return RPC_C_IMP_LEVEL_ANONYMOUS;
    if (level == "identify")
        return RPC_C_IMP_LEVEL_IDENTIFY;
    if (level == "delegate")
        return RPC_C_IMP_LEVEL_DELEGATE;
    return RPC_C_IMP_LEVEL_IMPERSONATE;  // the scripting moniker's default as well
}

void setBlanket(IUnknown* proxy, DWORD impersonation, const std::string& call) {
    HRESULT hr = CoSetProxyBlanket(proxy, RPC_C_AUTHN_WINNT, RPC_C_AUTHZ_NONE, nullptr,
                                   RPC_C_AUTHN_LEVEL_CALL, impersonation, nullptr, EOAC_NONE);
    // An in-process provider (Wine's) is no proxy: it has no blanket and needs none.
    if (FAILED(hr) && hr != E_NOINTERFACE)
        throw hresultError(hr, call);
}

// WMI names are case-insensitive ("stdregprov" is StdRegProv).
bool sameName(const std::string& a, const std::string& b) {
    return CompareStringOrdinal(toWide(a).c_str(), -1, toWide(b).c_str(), -1, TRUE) == CSTR_EQUAL;
}

struct Parameter {
    std::wstring name;
    CIMTYPE type = 0;
    LONG id = 0;
};

// In-parameters in declared order. Windows numbers them with the "ID" qualifier; where a
// provider gives none (Wine), its enumeration order is the declared order.
std::vector<Parameter> parametersOf(IWbemClassObject* signature, const std::string& call) {
    std::vector<Parameter> parameters;
    HRESULT hr = signature->BeginEnumeration(WBEM_FLAG_NONSYSTEM_ONLY);
    if (FAILED(hr))
        throw hresultError(hr, call);
    bool everyId = true;
    for (;;) {
        Bstr name;
        CIMTYPE type = 0;
        hr = signature->Next(0, name.out(), nullptr, &type, nullptr);
        if (hr == WBEM_S_NO_MORE_DATA)
            break;
        if (FAILED(hr)) {
            signature->EndEnumeration();
            throw hresultError(hr, call);
        }
        Parameter parameter{std::wstring(name.get(), SysStringLen(name.get())), type,
                            static_cast<LONG>(parameters.size())};
        if (parameter.name.rfind(L"__", 0) == 0)
            continue;
        ComPtr<IWbemQualifierSet> qualifiers;
        Variant id;
        if (SUCCEEDED(signature->GetPropertyQualifierSet(name.get(), &qualifiers)) &&
            SUCCEEDED(qualifiers->Get(L"ID", 0, id.out(), nullptr)) &&
            SUCCEEDED(VariantChangeType(id.get(), id.get(), 0, VT_I4))) {
            parameter.id = V_I4(id.get());
        } else {
            everyId = false;
        }
        parameters.push_back(std::move(parameter));
    }
    signature->EndEnumeration();
    if (!everyId) {
        for (std::size_t i = 0; i < parameters.size(); ++i)
            parameters[i].id = static_cast<LONG>(i);
    }
    std::stable_sort(parameters.begin(), parameters.end(),
                     [](const Parameter& a, const Parameter& b) { return a.id < b.id; });
    return parameters;
}

// Wine declares StdRegProv's hDefKey as sint32 where Windows declares uint32: a root key such
// as 0x80000002 then travels as the same 32 bits, as a script's &H80000002 would.
platform::Value asDeclared(const platform::Value& value, CIMTYPE type) {
    if (value.kind == platform::Value::Kind::UInt32 && type == CIM_SINT32) {
        return platform::Value::int32(
            static_cast<std::int32_t>(static_cast<std::uint32_t>(value.integer)));
    }
    return value;
}

std::optional<long long> returnValueOf(IWbemClassObject* outParameters) {
    Variant value;
    CIMTYPE type = 0;
    if (FAILED(outParameters->Get(L"ReturnValue", 0, value.out(), &type, nullptr))) {
        return std::nullopt;
    }
    auto plain = fromVariant(*value.get(), type);
    if (!plain || plain->isNull())
        return std::nullopt;
    switch (plain->kind) {
        case platform::Value::Kind::Int16:
        case platform::Value::Kind::Int32:
        case platform::Value::Kind::UInt32:
            return plain->integer;
        case platform::Value::Kind::Bool:
            return plain->boolean ? -1 : 0;
        default:
            break;
    }
    Variant wide;
    if (FAILED(VariantChangeType(wide.get(), value.get(), 0, VT_I8)))
        return std::nullopt;
    return V_I8(wide.get());
}

class Service final : public platform::WmiService {
  public:
    Service(ComPtr<IWbemServices> services, Moniker moniker, DWORD impersonation)
        : services_(std::move(services)),
          moniker_(std::move(moniker)),
          impersonation_(impersonation) {}

    std::vector<platform::WmiObject> execQuery(const std::string& wql,
                                               std::optional<int> flags) override {
        const std::string call = "wmi.query " + wql;
        // The scripting default: return at once and walk once.
        long effective = flags ? *flags : (WBEM_FLAG_RETURN_IMMEDIATELY | WBEM_FLAG_FORWARD_ONLY);
        ComPtr<IEnumWbemClassObject> rows;
        HRESULT hr =
            services_->ExecQuery(Bstr(L"WQL").get(), Bstr(wql).get(), effective, nullptr, &rows);
        if (FAILED(hr))
            throw hresultError(hr, call);
        setBlanket(rows.Get(), impersonation_, call);
        std::vector<platform::WmiObject> objects;
        for (;;) {
            ComPtr<IWbemClassObject> row;
            ULONG got = 0;
            // A semi-synchronous query reports a bad class or query here, not at ExecQuery.
            hr = rows->Next(WBEM_INFINITE, 1, &row, &got);
            if (FAILED(hr))
                throw hresultError(hr, call);
            if (got == 0 || !row)
                break;
            objects.push_back(readObject(row.Get(), call));
        }
        return objects;
    }

    platform::WmiObject get(const std::string& path) override {
        const std::string call = "wmi.get " + path;
        platform::WmiObject object = readObject(fetch(path, call).Get(), call);
        object.path = path;
        // A path without keys names a class; Wine reports such objects as instances.
        if (objectPathNamesClass(path))
            object.isClass = true;
        return object;
    }

    platform::WmiObject spawnInstance(const platform::WmiObject& classObject) override {
        std::string className = classObject.className.empty() ? objectPathClass(classObject.path)
                                                              : classObject.className;
        const std::string call = "wmi.spawnInstance " + className;
        platform::WmiObject instance = readObject(spawn(className, call).Get(), call);
        instance.className = className;
        instance.path.clear();
        instance.isClass = false;
        return instance;
    }

    void put(const platform::WmiObject& instance) override {
        std::string className =
            instance.className.empty() ? objectPathClass(instance.path) : instance.className;
        const std::string call = "wmi.put " + className;
        // The value carries no live object: fetch the stored instance again, or make a new one.
        ComPtr<IWbemClassObject> live;
        if (!instance.path.empty() && !instance.isClass) {
            HRESULT hr = services_->GetObject(
                Bstr(instance.path).get(), WBEM_FLAG_RETURN_WBEM_COMPLETE, nullptr, &live, nullptr);
            if (FAILED(hr) && hr != static_cast<HRESULT>(WBEM_E_NOT_FOUND))
                throw hresultError(hr, call);
        }
        if (!live)
            live = spawn(className, call);
        for (const auto& [name, value] : instance.properties) {
            if (name.rfind("__", 0) == 0)
                continue;
            Variant current;
            CIMTYPE type = 0;
            HRESULT hr = live->Get(Bstr(name).get(), 0, current.out(), &type, nullptr);
            if (FAILED(hr))
                throw hresultError(hr, call + " " + name);
            // Unchanged properties stay out: a fetched instance also holds read-only ones.
            auto stored = fromVariant(*current.get(), type);
            if (stored && *stored == value)
                continue;
            putProperty(live.Get(), name, value, type, call);
        }
        HRESULT hr =
            services_->PutInstance(live.Get(), WBEM_FLAG_CREATE_OR_UPDATE, nullptr, nullptr);
        if (FAILED(hr))
            throw hresultError(hr, call);
    }

    std::optional<long long> callMethod(const platform::WmiObject& target,
                                        const std::string& method,
                                        const std::vector<platform::Value>& args) override {
        std::string className = target.className;
        if (className.empty())
            className = objectPathClass(target.path);
        if (className.empty())
            className = objectPathClass(moniker_.objectPath);
        const std::string call = "wmi.call " + className + "." + method;
        if (className.empty())
            throw hresultError(static_cast<HRESULT>(WBEM_E_INVALID_OBJECT_PATH), call);
        // Static methods (a provider's, a class's) go to the class; others to the instance.
        bool onClass = target.isClass || target.path.empty() ||
                       sameName(className, objectPathClass(moniker_.objectPath));
        std::string objectPath = onClass ? className : target.path;

        ComPtr<IWbemClassObject> classObject = fetch(className, call);
        ComPtr<IWbemClassObject> signature;
        HRESULT hr = classObject->GetMethod(toWide(method).c_str(), 0, &signature, nullptr);
        if (FAILED(hr))
            throw hresultError(hr, call);

        ComPtr<IWbemClassObject> inParameters;
        std::vector<Parameter> parameters;
        if (signature) {
            parameters = parametersOf(signature.Get(), call);
            hr = signature->SpawnInstance(0, &inParameters);
            if (FAILED(hr))
                throw hresultError(hr, call);
        }
        if (args.size() > parameters.size())
            throw hresultError(DISP_E_BADPARAMCOUNT, call);
        for (std::size_t i = 0; i < args.size(); ++i) {
            if (args[i].isNull())
                continue;
            if (args[i].kind == platform::Value::Kind::Object) {
                putObjectArgument(inParameters.Get(), parameters[i], args[i], call);
                continue;
            }
            putProperty(inParameters.Get(), toUtf8(parameters[i].name),
                        asDeclared(args[i], parameters[i].type), parameters[i].type, call);
        }

        ComPtr<IWbemClassObject> outParameters;
        hr = services_->ExecMethod(Bstr(objectPath).get(), Bstr(method).get(), 0, nullptr,
                                   inParameters.Get(), &outParameters, nullptr);
        if (FAILED(hr))
            throw hresultError(hr, call);
        if (!outParameters)
            return std::nullopt;
        return returnValueOf(outParameters.Get());
    }

  private:
    // An object argument goes as an embedded object (CIM_OBJECT, VT_UNKNOWN). A class object
    // cannot be embedded, so a new instance of its class carries the record's properties.
    void putObjectArgument(IWbemClassObject* inParameters, const Parameter& parameter,
                           const platform::Value& value, const std::string& call) {
        const std::string name = toUtf8(parameter.name);
        if (parameter.type != CIM_OBJECT)
            throw platform::errorFor(platform::errors::kTypeMismatch, call + " " + name);
        ComPtr<IWbemClassObject> embedded = spawn(value.objectClass, call);
        for (const auto& [member, memberValue] : value.members) {
            // A fetched class lists every property, most of them never set.
            if (memberValue.isNull() || member.rfind("__", 0) == 0)
                continue;
            CIMTYPE type = 0;
            HRESULT hr = embedded->Get(Bstr(member).get(), 0, nullptr, &type, nullptr);
            if (FAILED(hr))
                throw hresultError(hr, call + " " + name + "." + member);
            putProperty(embedded.Get(), member, memberValue, type, call + " " + name);
        }
        Variant argument;
        V_VT(argument.get()) = VT_UNKNOWN;
        V_UNKNOWN(argument.get()) = embedded.Detach();  // the Variant releases it
        HRESULT hr = inParameters->Put(parameter.name.c_str(), 0, argument.get(), 0);
        if (FAILED(hr))
            throw hresultError(hr, call + " " + name);
    }

    ComPtr<IWbemClassObject> fetch(const std::string& path, const std::string& call) {
        ComPtr<IWbemClassObject> object;
        HRESULT hr = services_->GetObject(Bstr(path).get(), WBEM_FLAG_RETURN_WBEM_COMPLETE, nullptr,
                                          &object, nullptr);
        if (FAILED(hr))
            throw hresultError(hr, call);
        if (!object)
            throw hresultError(static_cast<HRESULT>(WBEM_E_NOT_FOUND), call);
        return object;
    }

    ComPtr<IWbemClassObject> spawn(const std::string& className, const std::string& call) {
        ComPtr<IWbemClassObject> instance;
        HRESULT hr = fetch(className, call)->SpawnInstance(0, &instance);
        if (FAILED(hr))
            throw hresultError(hr, call);
        return instance;
    }

    ComPtr<IWbemServices> services_;
    Moniker moniker_;
    DWORD impersonation_;
};

// What a query made ahead found: each failure where the program would have met it.
struct AheadAnswer {
    std::exception_ptr connectFailure;
    std::exception_ptr queryFailure;
    std::vector<platform::WmiObject> rows;
};

// The service of a query made ahead: that query answers from the worker's rows once; every
// other call goes to a connection made on the caller's thread when first needed.
class AheadService final : public platform::WmiService {
  public:
    AheadService(Win32Wmi& wmi, std::string moniker, std::string wql, AheadAnswer answer)
        : wmi_(wmi),
          moniker_(std::move(moniker)),
          wql_(std::move(wql)),
          answer_(std::move(answer)) {}

    std::vector<platform::WmiObject> execQuery(const std::string& wql,
                                               std::optional<int> flags) override {
        if (!answered_ && !flags && wql == wql_) {
            answered_ = true;
            if (answer_.queryFailure)
                std::rethrow_exception(answer_.queryFailure);
            return std::move(answer_.rows);
        }
        return live().execQuery(wql, flags);
    }
    platform::WmiObject get(const std::string& path) override { return live().get(path); }
    platform::WmiObject spawnInstance(const platform::WmiObject& classObject) override {
        return live().spawnInstance(classObject);
    }
    void put(const platform::WmiObject& instance) override { live().put(instance); }
    std::optional<long long> callMethod(const platform::WmiObject& target,
                                        const std::string& method,
                                        const std::vector<platform::Value>& args) override {
        return live().callMethod(target, method, args);
    }

  private:
    platform::WmiService& live() {
        if (!live_)
            live_ = wmi_.connectNow(moniker_);
        return *live_;
    }

    Win32Wmi& wmi_;
    std::string moniker_;
    std::string wql_;
    AheadAnswer answer_;
    bool answered_ = false;
    std::unique_ptr<platform::WmiService> live_;
};

AheadAnswer queryOnThisThread(const std::string& moniker, const std::string& wql) {
    AheadAnswer answer;
    Win32Wmi wmi;
    std::unique_ptr<platform::WmiService> service;
    try {
        service = wmi.connectNow(moniker);
    } catch (...) {
        answer.connectFailure = std::current_exception();
        return answer;
    }
    try {
        answer.rows = service->execQuery(wql, std::nullopt);
    } catch (...) {
        answer.queryFailure = std::current_exception();
    }
    return answer;
}

}  // namespace

struct Win32Wmi::Ahead {
    std::string moniker;
    std::string wql;
    std::future<AheadAnswer> answer;
};

Win32Wmi::Win32Wmi() = default;
Win32Wmi::~Win32Wmi() = default;

void Win32Wmi::queryAhead(const std::string& moniker, const std::string& wql) {
    auto ahead = std::make_unique<Ahead>();
    ahead->moniker = moniker;
    ahead->wql = wql;
    std::promise<AheadAnswer> answer;
    ahead->answer = answer.get_future();
    // Detached: a process that ends before it asks leaves nothing behind to wait for. Only
    // plain values leave the worker's apartment. Without a worker the query waits for its place.
    auto work = [moniker, wql, answer = std::move(answer)]() mutable {
        HRESULT com = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
        AheadAnswer found;
        if (FAILED(com)) {
            found.connectFailure =
                std::make_exception_ptr(hresultError(com, "wmi.connect " + moniker));
        } else {
            found = queryOnThisThread(moniker, wql);
        }
        answer.set_value(std::move(found));
        if (SUCCEEDED(com))
            CoUninitialize();
    };
    try {
        std::thread(std::move(work)).detach();
    } catch (const std::system_error&) {
        return;
    }
    ahead_ = std::move(ahead);
}

std::unique_ptr<platform::WmiService> Win32Wmi::connect(const std::string& moniker) {
    if (ahead_ && ahead_->answer.valid() && ahead_->moniker == moniker) {
        AheadAnswer answer = ahead_->answer.get();  // get() leaves it invalid: asked once
        if (answer.connectFailure)
            std::rethrow_exception(answer.connectFailure);
        return std::make_unique<AheadService>(*this, moniker, ahead_->wql, std::move(answer));
    }
    return connectNow(moniker);
}

std::unique_ptr<platform::WmiService> Win32Wmi::connectNow(const std::string& monikerText) {
    const std::string call = "wmi.connect " + monikerText;
    auto moniker = parseMoniker(monikerText);
    if (!moniker)
        throw hresultError(MK_E_SYNTAX, call);
    if (!locator_) {
        HRESULT hr = CoCreateInstance(CLSID_WbemLocator, nullptr, CLSCTX_INPROC_SERVER,
                                      IID_PPV_ARGS(&locator_));
        if (FAILED(hr))
            throw hresultError(hr, call);
    }
    ComPtr<IWbemServices> services;
    HRESULT hr = locator_->ConnectServer(Bstr(serverNamespace(*moniker)).get(), nullptr, nullptr,
                                         nullptr, 0, nullptr, nullptr, &services);
    if (FAILED(hr))
        throw hresultError(hr, call);
    DWORD impersonation = impersonationOf(moniker->impersonationLevel);
    setBlanket(services.Get(), impersonation, call);
    if (!moniker->objectPath.empty()) {
        // The moniker names an object: a missing one fails here, as the scripting GetObject does.
        ComPtr<IWbemClassObject> object;
        hr = services->GetObject(Bstr(moniker->objectPath).get(), WBEM_FLAG_RETURN_WBEM_COMPLETE,
                                 nullptr, &object, nullptr);
        if (FAILED(hr))
            throw hresultError(hr, call);
    }
    return std::make_unique<Service>(std::move(services), std::move(*moniker), impersonation);
}

}  // namespace platform::win32
