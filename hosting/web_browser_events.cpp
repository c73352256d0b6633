// The popup's event tracer.
#include "hosting/web_browser_events.h"

#include "diagnostics/log_writer.h"

HRESULT CWebBrowserEvents::QueryInterface(REFIID iid, void** out) {
    if (!out) return E_POINTER;
    if (iid == IID_IUnknown || iid == IID_IDispatch || iid == DIID_DWebBrowserEvents2) {
        *out = static_cast<IDispatch*>(this);
        return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
}

HRESULT CWebBrowserEvents::Invoke(DISPID dispid, REFIID iid, LCID lcid, WORD flags, DISPPARAMS*, VARIANT*,
                                  EXCEPINFO*, UINT*) {
    LogMessage(LogLevel::Info, this, "INVOKE -> %d (0x%02X), riid = %d, lcid = 0x%08X, flags = 0x%08X\n",
               static_cast<int>(dispid), static_cast<unsigned>(dispid), static_cast<int>(iid.Data1),
               static_cast<unsigned>(lcid), static_cast<unsigned>(flags));
    return E_NOTIMPL;
}
