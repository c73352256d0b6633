// Hosting ActiveX controls: the control container of a window and the site of each control.
#pragma once

#include <memory>
#include <vector>

#include "afx/wnd.h"

namespace platform {
class BrowserControl;
}

class COleControlSite;

// Owns the sites of the controls that one window hosts.
class COleControlContainer {
public:
    explicit COleControlContainer(CWnd* window) : m_pWnd(window) {}
    ~COleControlContainer();
    COleControlContainer(const COleControlContainer&) = delete;
    COleControlContainer& operator=(const COleControlContainer&) = delete;

    // Creates the control of class clsid as child id of the window, in the site that the
    // window's CreateControlSite gives (or a plain site). Returns the control's IUnknown
    // (not counted), or null.
    IUnknown* CreateControl(REFCLSID clsid, UINT id, const RECT& rect, HWND* controlWindow);
    void DestroyControls();

    CWnd* m_pWnd;

private:
    struct Hosted {
        COleControlSite* site;
        platform::BrowserControl* control;
    };
    std::vector<Hosted> hosted_;
};

// The site of one control. All the interfaces a site hands out share one identity and one
// reference count (ExternalQueryInterface, ExternalAddRef, ExternalRelease). A derived site
// adds interfaces through GetInterfaceHook, which is asked first.
class COleControlSite : public CCmdTarget {
public:
    explicit COleControlSite(COleControlContainer* container);
    ~COleControlSite() override;
    COleControlSite(const COleControlSite&) = delete;
    COleControlSite& operator=(const COleControlSite&) = delete;

    HRESULT ExternalQueryInterface(const IID* iid, void** out);
    ULONG ExternalAddRef();
    ULONG ExternalRelease();  // deletes the site when the count reaches 0
    virtual IUnknown* GetInterfaceHook(const void* iid);

    // The site's own IUnknown, which the control holds as its client site.
    IUnknown* GetControllingUnknown() { return &clientSite_; }

    COleControlContainer* m_pCtrlCont;
    HWND m_hWnd = nullptr;  // the control's window
    UINT m_nID = 0;

    // The control's events arrive here and go to the container window's event sink map.
    void FireEventToContainer(DISPID dispid, DISPPARAMS* params);
    IUnknown* EventSinkUnknown();
    DWORD eventCookie = 0;

private:
    class EventSink;
    std::unique_ptr<EventSink> eventSink_;
    struct ClientSite final : IUnknown {
        COleControlSite* owner = nullptr;
        HRESULT QueryInterface(REFIID iid, void** out) override { return owner->ExternalQueryInterface(&iid, out); }
        ULONG AddRef() override { return owner->ExternalAddRef(); }
        ULONG Release() override { return owner->ExternalRelease(); }
    } clientSite_;
    ULONG refCount_ = 1;  // the container's reference
};
