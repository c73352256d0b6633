// COM basics: identifiers, IUnknown and IDispatch, BSTR and VARIANT, apartments, class
// objects and task memory. Single-threaded apartments only; the layer keeps one per thread.
#pragma once

#include <compare>
#include <cstring>

#include "win32/types.h"

struct GUID {
    std::uint32_t Data1 = 0;
    std::uint16_t Data2 = 0;
    std::uint16_t Data3 = 0;
    std::uint8_t Data4[8] = {};
    friend bool operator==(const GUID& a, const GUID& b) {
        return std::memcmp(&a, &b, sizeof(GUID)) == 0;
    }
};
using IID = GUID;
using CLSID = GUID;
using REFIID = const IID&;
using REFCLSID = const CLSID&;
using REFGUID = const GUID&;
inline constexpr GUID GUID_NULL{};

using DISPID = LONG;
using LCID = DWORD;
using VARTYPE = std::uint16_t;
using VARIANT_BOOL = std::int16_t;
using BSTR = char16_t*;
constexpr VARIANT_BOOL VARIANT_TRUE = -1;
constexpr VARIANT_BOOL VARIANT_FALSE = 0;

// Texts of identifiers, "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}".
bool GuidFromString(const char16_t* text, GUID* out);

class IUnknown {
public:
    virtual HRESULT QueryInterface(REFIID iid, void** out) = 0;
    virtual ULONG AddRef() = 0;
    virtual ULONG Release() = 0;

protected:
    ~IUnknown() = default;
};
inline constexpr IID IID_IUnknown{0x00000000, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

struct VARIANT;
struct DISPPARAMS {
    VARIANT* rgvarg = nullptr;  // arguments in reverse order
    DISPID* rgdispidNamedArgs = nullptr;
    UINT cArgs = 0;
    UINT cNamedArgs = 0;
};
struct EXCEPINFO;
class ITypeInfo;
constexpr WORD DISPATCH_METHOD = 0x1;
constexpr WORD DISPATCH_PROPERTYGET = 0x2;

class IDispatch : public IUnknown {
public:
    virtual HRESULT GetTypeInfoCount(UINT* count) = 0;
    virtual HRESULT GetTypeInfo(UINT index, LCID lcid, ITypeInfo** info) = 0;
    virtual HRESULT GetIDsOfNames(REFIID iid, char16_t** names, UINT count, LCID lcid, DISPID* ids) = 0;
    virtual HRESULT Invoke(DISPID id, REFIID iid, LCID lcid, WORD flags, DISPPARAMS* params,
                           VARIANT* result, EXCEPINFO* exception, UINT* argError) = 0;

protected:
    ~IDispatch() = default;
};
inline constexpr IID IID_IDispatch{0x00020400, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

// ---- BSTR -----------------------------------------------------------------------------
BSTR SysAllocString(const char16_t* text);
BSTR SysAllocStringLen(const char16_t* text, UINT length);
void SysFreeString(BSTR text);
UINT SysStringLen(BSTR text);

// ---- VARIANT --------------------------------------------------------------------------
constexpr VARTYPE VT_EMPTY = 0;
constexpr VARTYPE VT_NULL = 1;
constexpr VARTYPE VT_I2 = 2;
constexpr VARTYPE VT_I4 = 3;
constexpr VARTYPE VT_R4 = 4;
constexpr VARTYPE VT_R8 = 5;
constexpr VARTYPE VT_BSTR = 8;
constexpr VARTYPE VT_DISPATCH = 9;
constexpr VARTYPE VT_BOOL = 11;
constexpr VARTYPE VT_VARIANT = 12;
constexpr VARTYPE VT_UNKNOWN = 13;
constexpr VARTYPE VT_UI4 = 19;
constexpr VARTYPE VT_BYREF = 0x4000;

struct VARIANT {
    VARTYPE vt = VT_EMPTY;
    union {
        LONG lVal;
        ULONG ulVal;
        float fltVal;
        double dblVal;
        VARIANT_BOOL boolVal;
        BSTR bstrVal;
        IUnknown* punkVal;
        IDispatch* pdispVal;
        VARIANT* pvarVal;
        VARIANT_BOOL* pboolVal;
        IDispatch** ppdispVal;
        BSTR* pbstrVal;
        LONG* plVal;
        void* byref;
    };
    VARIANT() : lVal(0) {}
};
using VARIANTARG = VARIANT;
void VariantInit(VARIANT* v);
HRESULT VariantClear(VARIANT* v);  // frees a BSTR, releases an interface

// ---- Apartments and classes -------------------------------------------------------------
constexpr DWORD COINIT_APARTMENTTHREADED = 0x2;
constexpr DWORD CLSCTX_INPROC_SERVER = 0x1;
constexpr DWORD CLSCTX_LOCAL_SERVER = 0x4;
constexpr DWORD CLSCTX_REMOTE_SERVER = 0x10;
constexpr DWORD CLSCTX_SERVER = CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER | CLSCTX_REMOTE_SERVER;

HRESULT CoInitializeEx(void* reserved, DWORD model);
void CoUninitialize();
HRESULT CoCreateInstance(REFCLSID clsid, IUnknown* outer, DWORD context, REFIID iid, void** out);
void* CoTaskMemAlloc(std::size_t size);
void CoTaskMemFree(void* memory);

// A class that CoCreateInstance can make in this process. Registered by the layer for the
// system components it provides, and by modules that make their classes available to the
// process (the way a module registers its class objects with the host's COM layer).
using ClassFactoryFunction = HRESULT (*)(REFIID iid, void** out);
HRESULT CoRegisterProcessClass(REFCLSID clsid, ClassFactoryFunction create);
HRESULT CoRevokeProcessClass(REFCLSID clsid);
bool CoIsProcessClassRegistered(REFCLSID clsid);

// Class objects, as a module hands them to the host's COM layer.
class IClassFactory : public IUnknown {
public:
    virtual HRESULT CreateInstance(IUnknown* outer, REFIID iid, void** out) = 0;
    virtual HRESULT LockServer(BOOL lock) = 0;

protected:
    ~IClassFactory() = default;
};
inline constexpr IID IID_IClassFactory{0x00000001, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
constexpr DWORD REGCLS_SINGLEUSE = 0;
constexpr DWORD REGCLS_MULTIPLEUSE = 1;
constexpr HRESULT CO_E_OBJNOTREG = static_cast<HRESULT>(0x800401FC);
constexpr HRESULT CLASS_E_NOAGGREGATION = static_cast<HRESULT>(0x80040110);

// Makes classObject the class object of clsid for this process: CoGetClassObject and
// CoCreateInstance find it until it is revoked. The layer holds a reference until then. A
// class registered more than once is served by its latest registration; revoking that one
// uncovers the one before. Only in-process use (CLSCTX_INPROC_SERVER) is supported; a
// single-use class object is taken out of service after its first CoGetClassObject.
HRESULT CoRegisterClassObject(REFCLSID clsid, IUnknown* classObject, DWORD context, DWORD flags, DWORD* cookie);
// Ends the registration of that cookie and releases the class object; CO_E_OBJNOTREG for a
// cookie that is not registered.
HRESULT CoRevokeClassObject(DWORD cookie);
// The class object of clsid: a registered one, or one made for a class of the layer.
HRESULT CoGetClassObject(REFCLSID clsid, DWORD context, void* serverInfo, REFIID iid, void** out);
