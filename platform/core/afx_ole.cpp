// Control containers and control sites.
#include "afx/ole.h"

#include "browser_control.h"
#include "window_manager.h"

// The site's sink for its control's events: hands them to the container window's event
// sink map. Lives inside the site and shares its reference count.
class COleControlSite::EventSink final : public platform::DispatchWithoutTypeInfo<IDispatch> {
public:
    explicit EventSink(COleControlSite& site) : site_(site) {}
    HRESULT QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        if (iid == IID_IUnknown || iid == IID_IDispatch || iid == DIID_DWebBrowserEvents2) {
            *out = static_cast<IDispatch*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG AddRef() override { return site_.ExternalAddRef(); }
    ULONG Release() override { return site_.ExternalRelease(); }
    HRESULT Invoke(DISPID dispid, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*, EXCEPINFO*, UINT*) override {
        site_.FireEventToContainer(dispid, params);
        return S_OK;
    }

private:
    COleControlSite& site_;
};

COleControlSite::COleControlSite(COleControlContainer* container)
    : m_pCtrlCont(container), eventSink_(std::make_unique<EventSink>(*this)) {
    clientSite_.owner = this;
}

COleControlSite::~COleControlSite() = default;

HRESULT COleControlSite::ExternalQueryInterface(const IID* iid, void** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (!iid) return E_INVALIDARG;
    if (IUnknown* hooked = GetInterfaceHook(iid)) {
        *out = hooked;
        ExternalAddRef();
        return S_OK;
    }
    if (*iid == IID_IUnknown) {
        *out = &clientSite_;
        ExternalAddRef();
        return S_OK;
    }
    return E_NOINTERFACE;
}

ULONG COleControlSite::ExternalAddRef() { return ++refCount_; }

ULONG COleControlSite::ExternalRelease() {
    ULONG n = --refCount_;
    if (n == 0) delete this;
    return n;
}

IUnknown* COleControlSite::EventSinkUnknown() { return eventSink_.get(); }

IUnknown* COleControlSite::GetInterfaceHook(const void*) { return nullptr; }

void COleControlSite::FireEventToContainer(DISPID dispid, DISPPARAMS* params) {
    if (m_pCtrlCont && m_pCtrlCont->m_pWnd) m_pCtrlCont->m_pWnd->OnEvent(m_nID, dispid, params);
}

COleControlContainer::~COleControlContainer() { DestroyControls(); }

IUnknown* COleControlContainer::CreateControl(REFCLSID clsid, UINT id, const RECT& rect, HWND* controlWindow) {
    if (!(clsid == CLSID_WebBrowser) || !m_pWnd || !m_pWnd->m_hWnd) return nullptr;
    COleControlSite* site = nullptr;
    if (!m_pWnd->CreateControlSite(this, &site, id, clsid) || !site) site = new COleControlSite(this);
    HWND window = platform::CreateControlWindow(platform::WindowClass::Browser, 0, u"", WS_CHILD | WS_VISIBLE, rect,
                                                m_pWnd->m_hWnd, static_cast<int>(id));
    if (!window) {
        site->ExternalRelease();
        return nullptr;
    }
    site->m_hWnd = window;
    site->m_nID = id;
    auto* control = new platform::BrowserControl(window, site->GetControllingUnknown());
    hosted_.push_back({site, control});
    // The site hears the control's events first, before any sink the program connects.
    IConnectionPoint* point = nullptr;
    if (SUCCEEDED(control->FindConnectionPoint(DIID_DWebBrowserEvents2, &point))) {
        point->Advise(site->EventSinkUnknown(), &site->eventCookie);
        point->Release();
    }
    control->Start();
    if (controlWindow) *controlWindow = window;
    return static_cast<IWebBrowser2*>(control);
}

void COleControlContainer::DestroyControls() {
    std::vector<Hosted> gone;
    gone.swap(hosted_);
    for (Hosted& h : gone) {
        HWND window = h.control->Window();
        h.control->Close();
        h.control->Release();
        if (platform::Live(window)) ::DestroyWindow(window);
        h.site->ExternalRelease();
    }
}
