// IDispatch for the layer's objects that callers reach by dispatch identifier or through
// their own interface only: they describe no type information and resolve no names.
#pragma once

#include "com/com.h"

namespace platform {

template <class Interface>
class DispatchWithoutTypeInfo : public Interface {
public:
    HRESULT GetTypeInfoCount(UINT* count) override {
        if (!count) return E_POINTER;
        *count = 0;
        return S_OK;
    }
    HRESULT GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT GetIDsOfNames(REFIID, char16_t**, UINT, LCID, DISPID*) override { return E_NOTIMPL; }

protected:
    ~DispatchWithoutTypeInfo() = default;  // objects are released, never deleted through a base
};

// An object whose members are called through its interface only: nothing to invoke by number.
template <class Interface>
class DispatchByInterfaceOnly : public DispatchWithoutTypeInfo<Interface> {
public:
    HRESULT Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override {
        return E_NOTIMPL;
    }

protected:
    ~DispatchByInterfaceOnly() = default;
};

}  // namespace platform
