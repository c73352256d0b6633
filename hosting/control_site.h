// The control site of every browser window: the browser's host. User-interface questions go
// to the hosting dialog; script errors are never shown; credentials come from the login
// dialog; script window moves and resizes act on the dialog's window.
#pragma once

#include "afx/dhtml.h"

class CCorvaleControlSite : public COleControlSite,
                            public IDocHostUIHandler,
                            public IServiceProvider,
                            public IAuthenticate,
                            public IDownloadManager,
                            public IOleCommandTarget,
                            public IHTMLOMWindowServices {
public:
    CCorvaleControlSite(COleControlContainer* container, CDHtmlDialog* hostDialog);
    ~CCorvaleControlSite() override;

    IUnknown* GetInterfaceHook(const void* iid) override;

    // IUnknown, the same for every interface of the site.
    HRESULT QueryInterface(REFIID iid, void** out) override { return ExternalQueryInterface(&iid, out); }
    ULONG AddRef() override { return ExternalAddRef(); }
    ULONG Release() override { return ExternalRelease(); }

    // IDocHostUIHandler
    HRESULT ShowContextMenu(DWORD id, POINT* pt, IUnknown* commandTarget, IDispatch* object) override;
    HRESULT GetHostInfo(DOCHOSTUIINFO* info) override;
    HRESULT ShowUI(DWORD id, IOleInPlaceActiveObject* active, IOleCommandTarget* commandTarget,
                   IOleInPlaceFrame* frame, IOleInPlaceUIWindow* doc) override;
    HRESULT HideUI() override;
    HRESULT UpdateUI() override;
    HRESULT EnableModeless(BOOL enable) override;
    HRESULT OnDocWindowActivate(BOOL activate) override;
    HRESULT OnFrameWindowActivate(BOOL activate) override;
    HRESULT ResizeBorder(const RECT* border, IOleInPlaceUIWindow* window, BOOL frameWindow) override;
    HRESULT TranslateAccelerator(MSG* msg, const GUID* group, DWORD command) override;
    HRESULT GetOptionKeyPath(char16_t** key, DWORD reserved) override;
    HRESULT GetDropTarget(IDropTarget* dropTarget, IDropTarget** out) override;
    HRESULT GetExternal(IDispatch** out) override;
    HRESULT TranslateUrl(DWORD translate, char16_t* url, char16_t** out) override;
    HRESULT FilterDataObject(IDataObject* object, IDataObject** out) override;
    // IServiceProvider
    HRESULT QueryService(REFGUID service, REFIID iid, void** out) override;
    // IAuthenticate
    HRESULT Authenticate(HWND* window, char16_t** userName, char16_t** password) override;
    // IDownloadManager: carried but never handed out, so downloads keep the browser's handling.
    HRESULT Download(IMoniker*, IBindCtx*, DWORD, LONG, void*, const char16_t*, const char16_t*, UINT) override {
        return S_OK;
    }
    // IOleCommandTarget
    HRESULT QueryStatus(const GUID* group, ULONG count, OLECMD* commands, OLECMDTEXT* text) override;
    HRESULT Exec(const GUID* group, DWORD id, DWORD option, VARIANT* in, VARIANT* out) override;
    // IHTMLOMWindowServices
    HRESULT moveTo(LONG x, LONG y) override;
    HRESULT moveBy(LONG dx, LONG dy) override;
    HRESULT resizeTo(LONG cx, LONG cy) override;
    HRESULT resizeBy(LONG dx, LONG dy) override;

    CDHtmlDialog* dialog;

private:
    HRESULT PlaceWindow(int x, int y, int cx, int cy, UINT flags);
};

namespace hosting {
// The site factory that every browser window uses.
BOOL CreateControlSite(CDHtmlDialog* dialog, COleControlContainer* container, COleControlSite** site, UINT id,
                       REFCLSID clsid);
}
