// The event tracer of a popup's browser: one log line for every DWebBrowserEvents2 event.
// It changes nothing in the browser and keeps no reference count: it lives inside its dialog.
#pragma once

#include "mshtml/webbrowser.h"

class CWebBrowserEvents final : public IDispatch {
public:
    CWebBrowserEvents() = default;
    CWebBrowserEvents(const CWebBrowserEvents&) = delete;
    CWebBrowserEvents& operator=(const CWebBrowserEvents&) = delete;
    ~CWebBrowserEvents() = default;

    HRESULT QueryInterface(REFIID iid, void** out) override;
    ULONG AddRef() override { return 0; }
    ULONG Release() override { return 0; }
    HRESULT GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
    HRESULT GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT GetIDsOfNames(REFIID, char16_t**, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    HRESULT Invoke(DISPID dispid, REFIID iid, LCID lcid, WORD flags, DISPPARAMS* params, VARIANT* result,
                   EXCEPINFO* exception, UINT* argError) override;
};
