// Apartments and the classes this process can create.
#include <map>
#include <mutex>

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
    return ProcessClasses().count(clsid) != 0;
}

HRESULT CoCreateInstance(REFCLSID clsid, IUnknown* outer, DWORD context, REFIID iid, void** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (outer) return CLASS_E_CLASSNOTAVAILABLE;  // no aggregation of the layer's classes
    if (!(context & CLSCTX_INPROC_SERVER)) return REGDB_E_CLASSNOTREG;
    ClassFactoryFunction create = nullptr;
    {
        std::lock_guard lock(classesLock);
        auto it = ProcessClasses().find(clsid);
        if (it != ProcessClasses().end()) create = it->second;
    }
    if (!create) return REGDB_E_CLASSNOTREG;
    return create(iid, out);
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
