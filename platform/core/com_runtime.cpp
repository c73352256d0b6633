// Apartments and the classes this process can create.
#include <iterator>
#include <map>
#include <mutex>
#include <vector>

#include "com/com.h"
#include "com/connection_points.h"
#include "mshtml/host.h"
#include "shell_ui_helper.h"

namespace {
thread_local int apartmentInits = 0;

struct GuidLess {
    bool operator()(const GUID& a, const GUID& b) const { return std::memcmp(&a, &b, sizeof(GUID)) < 0; }
};
std::map<GUID, ClassFactoryFunction, GuidLess>& ProcessClasses() {
    // The system components are there from the start.
    static std::map<GUID, ClassFactoryFunction, GuidLess> classes{{CLSID_ShellUIHelper, &platform::CreateShellUIHelper}};
    return classes;
}
std::mutex classesLock;

// Class objects registered by modules, latest last; held by one reference each.
struct RegisteredClassObject {
    DWORD cookie = 0;
    GUID clsid;
    IUnknown* object = nullptr;
    bool singleUse = false;
};
std::vector<RegisteredClassObject>& ClassObjects() {
    // Never destroyed: a class object not revoked stays registered, and referenced, until the
    // process is gone, and no module code runs while the process ends.
    static auto* objects = new std::vector<RegisteredClassObject>;
    return *objects;
}
DWORD lastCookie = 0;

// Takes a reference to the latest registered class object of clsid (under classesLock).
IUnknown* TakeClassObject(REFCLSID clsid) {
    auto& objects = ClassObjects();
    for (auto it = objects.rbegin(); it != objects.rend(); ++it) {
        if (!(it->clsid == clsid)) continue;
        IUnknown* object = it->object;
        object->AddRef();
        if (it->singleUse) {
            // Out of service: the registration's own reference now belongs to the caller.
            objects.erase(std::next(it).base());
            object->Release();
        }
        return object;
    }
    return nullptr;
}

// The class object of a class the layer makes itself: CreateInstance calls its function.
class FunctionClassObject final : public IClassFactory {
public:
    explicit FunctionClassObject(ClassFactoryFunction create) : create_(create) {}
    HRESULT QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        if (iid == IID_IUnknown || iid == IID_IClassFactory) {
            *out = static_cast<IClassFactory*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG AddRef() override { return ++references_; }
    ULONG Release() override {
        const ULONG left = --references_;
        if (left == 0) delete this;
        return left;
    }
    HRESULT CreateInstance(IUnknown* outer, REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        if (outer) return CLASS_E_NOAGGREGATION;
        return create_(iid, out);
    }
    HRESULT LockServer(BOOL) override { return S_OK; }

private:
    ~FunctionClassObject() = default;
    ClassFactoryFunction create_;
    ULONG references_ = 1;
};

int HexValue(char16_t c) {
    if (c >= u'0' && c <= u'9') return c - u'0';
    if (c >= u'a' && c <= u'f') return c - u'a' + 10;
    if (c >= u'A' && c <= u'F') return c - u'A' + 10;
    return -1;
}
}  // namespace

HRESULT CoInitializeEx(void* reserved, DWORD model) {
    if (reserved) return E_INVALIDARG;
    if (model != COINIT_APARTMENTTHREADED) return RPC_E_CHANGED_MODE;
    return apartmentInits++ == 0 ? S_OK : S_FALSE;
}

void CoUninitialize() {
    if (apartmentInits > 0) --apartmentInits;
}

HRESULT CoRegisterProcessClass(REFCLSID clsid, ClassFactoryFunction create) {
    if (!create) return E_INVALIDARG;
    std::lock_guard lock(classesLock);
    ProcessClasses()[clsid] = create;
    return S_OK;
}

HRESULT CoRevokeProcessClass(REFCLSID clsid) {
    std::lock_guard lock(classesLock);
    return ProcessClasses().erase(clsid) ? S_OK : E_INVALIDARG;
}

bool CoIsProcessClassRegistered(REFCLSID clsid) {
    std::lock_guard lock(classesLock);
    for (const RegisteredClassObject& registered : ClassObjects())
        if (registered.clsid == clsid) return true;
    return ProcessClasses().count(clsid) != 0;
}

HRESULT CoRegisterClassObject(REFCLSID clsid, IUnknown* classObject, DWORD context, DWORD flags, DWORD* cookie) {
    if (!classObject || !cookie) return E_INVALIDARG;
    *cookie = 0;
    if (!(context & CLSCTX_INPROC_SERVER)) return E_INVALIDARG;
    if (flags != REGCLS_SINGLEUSE && flags != REGCLS_MULTIPLEUSE) return E_INVALIDARG;
    classObject->AddRef();
    std::lock_guard lock(classesLock);
    *cookie = ++lastCookie;
    ClassObjects().push_back({*cookie, clsid, classObject, flags == REGCLS_SINGLEUSE});
    return S_OK;
}

HRESULT CoRevokeClassObject(DWORD cookie) {
    IUnknown* revoked = nullptr;
    {
        std::lock_guard lock(classesLock);
        auto& objects = ClassObjects();
        for (auto it = objects.begin(); it != objects.end(); ++it) {
            if (it->cookie != cookie) continue;
            revoked = it->object;
            objects.erase(it);
            break;
        }
    }
    if (!revoked) return CO_E_OBJNOTREG;
    // Released outside the lock: the object's last release may call back into the layer.
    revoked->Release();
    return S_OK;
}

HRESULT CoGetClassObject(REFCLSID clsid, DWORD context, void* serverInfo, REFIID iid, void** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (serverInfo || !(context & CLSCTX_INPROC_SERVER)) return REGDB_E_CLASSNOTREG;
    IUnknown* object = nullptr;
    {
        std::lock_guard lock(classesLock);
        object = TakeClassObject(clsid);
        if (!object) {
            auto it = ProcessClasses().find(clsid);
            if (it == ProcessClasses().end()) return REGDB_E_CLASSNOTREG;
            object = new FunctionClassObject(it->second);
        }
    }
    const HRESULT hr = object->QueryInterface(iid, out);
    object->Release();
    return hr;
}

HRESULT CoCreateInstance(REFCLSID clsid, IUnknown* outer, DWORD context, REFIID iid, void** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (!(context & CLSCTX_INPROC_SERVER)) return REGDB_E_CLASSNOTREG;
    IClassFactory* factory = nullptr;
    const HRESULT found = CoGetClassObject(clsid, CLSCTX_INPROC_SERVER, nullptr, IID_IClassFactory,
                                           reinterpret_cast<void**>(&factory));
    if (FAILED(found)) return found == E_NOINTERFACE ? REGDB_E_CLASSNOTREG : found;
    const HRESULT hr = factory->CreateInstance(outer, iid, out);
    factory->Release();
    return hr;
}

bool GuidFromString(const char16_t* text, GUID* out) {
    // {XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}
    static constexpr int kLength = 38;
    if (!text || !out) return false;
    for (int i = 0; i < kLength; ++i)
        if (!text[i]) return false;
    if (text[kLength] || text[0] != u'{' || text[kLength - 1] != u'}') return false;
    std::uint8_t bytes[16];
    int byte = 0;
    for (int i = 1; i < kLength - 1;) {
        if (i == 9 || i == 14 || i == 19 || i == 24) {
            if (text[i] != u'-') return false;
            ++i;
            continue;
        }
        int hi = HexValue(text[i]), lo = HexValue(text[i + 1]);
        if (hi < 0 || lo < 0) return false;
        bytes[byte++] = static_cast<std::uint8_t>(hi * 16 + lo);
        i += 2;
    }
    out->Data1 = (std::uint32_t{bytes[0]} << 24) | (std::uint32_t{bytes[1]} << 16) | (std::uint32_t{bytes[2]} << 8) | bytes[3];
    out->Data2 = static_cast<std::uint16_t>((bytes[4] << 8) | bytes[5]);
    out->Data3 = static_cast<std::uint16_t>((bytes[6] << 8) | bytes[7]);
    std::memcpy(out->Data4, bytes + 8, 8);
    return true;
}

HRESULT AtlAdvise(IUnknown* source, IUnknown* sink, REFIID iid, DWORD* cookie) {
    if (!source) return E_INVALIDARG;
    IConnectionPointContainer* container = nullptr;
    HRESULT hr = source->QueryInterface(IID_IConnectionPointContainer, reinterpret_cast<void**>(&container));
    if (FAILED(hr)) return hr;
    IConnectionPoint* point = nullptr;
    hr = container->FindConnectionPoint(iid, &point);
    if (SUCCEEDED(hr)) {
        hr = point->Advise(sink, cookie);
        point->Release();
    }
    container->Release();
    return hr;
}

HRESULT AtlUnadvise(IUnknown* source, REFIID iid, DWORD cookie) {
    if (!source) return E_INVALIDARG;
    IConnectionPointContainer* container = nullptr;
    HRESULT hr = source->QueryInterface(IID_IConnectionPointContainer, reinterpret_cast<void**>(&container));
    if (FAILED(hr)) return hr;
    IConnectionPoint* point = nullptr;
    hr = container->FindConnectionPoint(iid, &point);
    if (SUCCEEDED(hr)) {
        hr = point->Unadvise(cookie);
        point->Release();
    }
    container->Release();
    return hr;
}
