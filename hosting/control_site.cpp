// The browser's host in every window.
#include "hosting/control_site.h"

#include "diagnostics/log_writer.h"
#include "hosting/login_dlg.h"

CCorvaleControlSite::CCorvaleControlSite(COleControlContainer* container, CDHtmlDialog* hostDialog)
    : COleControlSite(container), dialog(hostDialog) {}

CCorvaleControlSite::~CCorvaleControlSite() { dialog = nullptr; }

IUnknown* CCorvaleControlSite::GetInterfaceHook(const void* iid) {
    const IID& wanted = *static_cast<const IID*>(iid);
    if (wanted == IID_IDocHostUIHandler) return static_cast<IDocHostUIHandler*>(this);
    if (wanted == IID_IServiceProvider) return static_cast<IServiceProvider*>(this);
    if (wanted == IID_IOleCommandTarget) return static_cast<IOleCommandTarget*>(this);
    return nullptr;
}

// ---- IDocHostUIHandler: the dialog answers, except for window.external ------------------------

HRESULT CCorvaleControlSite::ShowContextMenu(DWORD id, POINT* pt, IUnknown* commandTarget, IDispatch* object) {
    return dialog->ShowContextMenu(id, pt, commandTarget, object);
}
HRESULT CCorvaleControlSite::GetHostInfo(DOCHOSTUIINFO* info) { return dialog->GetHostInfo(info); }
HRESULT CCorvaleControlSite::ShowUI(DWORD id, IOleInPlaceActiveObject* active, IOleCommandTarget* commandTarget,
                                    IOleInPlaceFrame* frame, IOleInPlaceUIWindow* doc) {
    return dialog->ShowUI(id, active, commandTarget, frame, doc);
}
HRESULT CCorvaleControlSite::HideUI() { return dialog->HideUI(); }
HRESULT CCorvaleControlSite::UpdateUI() { return dialog->UpdateUI(); }
HRESULT CCorvaleControlSite::EnableModeless(BOOL enable) { return dialog->EnableModeless(enable); }
HRESULT CCorvaleControlSite::OnDocWindowActivate(BOOL activate) { return dialog->OnDocWindowActivate(activate); }
HRESULT CCorvaleControlSite::OnFrameWindowActivate(BOOL activate) { return dialog->OnFrameWindowActivate(activate); }
HRESULT CCorvaleControlSite::ResizeBorder(const RECT* border, IOleInPlaceUIWindow* window, BOOL frameWindow) {
    return dialog->ResizeBorder(border, window, frameWindow);
}
HRESULT CCorvaleControlSite::TranslateAccelerator(MSG* msg, const GUID* group, DWORD command) {
    return dialog->TranslateAccelerator(msg, group, command);
}
HRESULT CCorvaleControlSite::GetOptionKeyPath(char16_t** key, DWORD reserved) {
    return dialog->GetOptionKeyPath(key, reserved);
}
HRESULT CCorvaleControlSite::GetDropTarget(IDropTarget* dropTarget, IDropTarget** out) {
    return dialog->GetDropTarget(dropTarget, out);
}
HRESULT CCorvaleControlSite::TranslateUrl(DWORD translate, char16_t* url, char16_t** out) {
    return dialog->TranslateUrl(translate, url, out);
}
HRESULT CCorvaleControlSite::FilterDataObject(IDataObject* object, IDataObject** out) {
    return dialog->FilterDataObject(object, out);
}

HRESULT CCorvaleControlSite::GetExternal(IDispatch** out) {
    if (!out) return E_NOTIMPL;
    IDispatch* helper = nullptr;
    if (FAILED(CoCreateInstance(CLSID_ShellUIHelper, nullptr, CLSCTX_SERVER, IID_IShellUIHelper,
                                reinterpret_cast<void**>(&helper))) ||
        !helper)
        return E_NOTIMPL;
    *out = helper;
    return S_OK;
}

// ---- IServiceProvider ------------------------------------------------------------------------

HRESULT CCorvaleControlSite::QueryService(REFGUID service, REFIID, void** out) {
    if (!out) return E_POINTER;
    if (service == IID_IAuthenticate) {
        *out = static_cast<IAuthenticate*>(this);
        ExternalAddRef();
        return S_OK;
    }
    if (service == IID_IHTMLOMWindowServices) {
        *out = static_cast<IHTMLOMWindowServices*>(this);
        ExternalAddRef();
        return S_OK;
    }
    *out = nullptr;
    return E_FAIL;
}

// ---- IAuthenticate ---------------------------------------------------------------------------

HRESULT CCorvaleControlSite::Authenticate(HWND* window, char16_t** userName, char16_t** password) {
    return AuthenticateWithLoginDialog(window, userName, password);
}

// ---- IOleCommandTarget: script errors are never shown ----------------------------------------

HRESULT CCorvaleControlSite::QueryStatus(const GUID*, ULONG, OLECMD*, OLECMDTEXT*) { return OLECMDERR_E_UNKNOWNGROUP; }

HRESULT CCorvaleControlSite::Exec(const GUID*, DWORD id, DWORD, VARIANT*, VARIANT* out) {
    if (id != OLECMDID_SHOWSCRIPTERROR) return OLECMDERR_E_UNKNOWNGROUP;
    if (out) {
        out->vt = VT_BOOL;
        out->boolVal = VARIANT_TRUE;  // go on running the page's scripts, without a dialog
    }
    return S_OK;
}

// ---- IHTMLOMWindowServices: the page moves and sizes its whole window ---------------------------

HRESULT CCorvaleControlSite::PlaceWindow(int x, int y, int cx, int cy, UINT flags) {
    if (!dialog || !dialog->m_hWnd) return E_FAIL;
    return ::SetWindowPos(dialog->m_hWnd, nullptr, x, y, cx, cy, flags) ? S_OK : E_FAIL;
}

HRESULT CCorvaleControlSite::moveTo(LONG x, LONG y) { return PlaceWindow(x, y, 0, 0, SWP_NOSIZE); }

HRESULT CCorvaleControlSite::moveBy(LONG dx, LONG dy) {
    RECT r{};
    if (!dialog || !::GetWindowRect(dialog->m_hWnd, &r)) return E_FAIL;
    return PlaceWindow(r.left + dx, r.top + dy, 0, 0, SWP_NOSIZE);
}

HRESULT CCorvaleControlSite::resizeTo(LONG cx, LONG cy) { return PlaceWindow(0, 0, cx, cy, SWP_NOMOVE); }

HRESULT CCorvaleControlSite::resizeBy(LONG dx, LONG dy) {
    RECT r{};
    if (!dialog || !::GetWindowRect(dialog->m_hWnd, &r)) return E_FAIL;
    return PlaceWindow(0, 0, r.right - r.left + dx, r.bottom - r.top + dy, SWP_NOMOVE);
}

BOOL hosting::CreateControlSite(CDHtmlDialog* dialog, COleControlContainer* container, COleControlSite** site, UINT,
                                REFCLSID) {
    LogMessage(LogLevel::Info, dialog, "CDerivedHtmlDialog::CreateControlSite()\n");
    if (!site) return FALSE;
    auto* created = new CCorvaleControlSite(container, dialog);
    *site = created;
    return TRUE;
}
