// Connection points: how event sinks attach to an object's outgoing interfaces.
#pragma once

#include "com/com.h"

class IConnectionPointContainer;

class IConnectionPoint : public IUnknown {
public:
    virtual HRESULT GetConnectionInterface(IID* iid) = 0;
    virtual HRESULT GetConnectionPointContainer(IConnectionPointContainer** out) = 0;
    virtual HRESULT Advise(IUnknown* sink, DWORD* cookie) = 0;
    virtual HRESULT Unadvise(DWORD cookie) = 0;

protected:
    ~IConnectionPoint() = default;
};
inline constexpr IID IID_IConnectionPoint{0xB196B286, 0xBAB4, 0x101A, {0xB6, 0x9C, 0x00, 0xAA, 0x00, 0x34, 0x1D, 0x07}};

class IConnectionPointContainer : public IUnknown {
public:
    virtual HRESULT FindConnectionPoint(REFIID iid, IConnectionPoint** out) = 0;

protected:
    ~IConnectionPointContainer() = default;
};
inline constexpr IID IID_IConnectionPointContainer{0xB196B284, 0xBAB4, 0x101A, {0xB6, 0x9C, 0x00, 0xAA, 0x00, 0x34, 0x1D, 0x07}};

// The framework's helpers: find the connection point for iid on source and advise or
// unadvise sink with it.
HRESULT AtlAdvise(IUnknown* source, IUnknown* sink, REFIID iid, DWORD* cookie);
HRESULT AtlUnadvise(IUnknown* source, REFIID iid, DWORD cookie);
