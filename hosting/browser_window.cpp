// The new-window object: the popup's frame answered here, everything else by the popup's
// own browser.
#include "hosting/browser_window.h"

#include "diagnostics/log_writer.h"
#include "hosting/derived_html_dialog.h"
#include "mshtml/document.h"

CBrowserWindow::CBrowserWindow(CWnd* parent) {
    LogMessage(LogLevel::Info, this, "CBrowserWindow: Creating browser window\n");
    auto* created = new CDerivedHtmlDialog(parent);
    created->browserWindow = this;
    created->CreateBrowser(parent);
    dialog = created;
}

CBrowserWindow::~CBrowserWindow() = default;

IWebBrowser2* CBrowserWindow::Inner() const { return dialog ? dialog->m_pBrowserApp.get() : nullptr; }

HWND CBrowserWindow::PopupWindow() const { return dialog ? dialog->m_hWnd : nullptr; }

// ---- Identity and references ------------------------------------------------------------------

HRESULT CBrowserWindow::QueryInterface(REFIID iid, void** out) {
    if (!out) return E_POINTER;
    if (iid == IID_IUnknown || iid == IID_IDispatch || iid == IID_IWebBrowserApp || iid == IID_IWebBrowser2) {
        *out = static_cast<IWebBrowser2*>(this);
        ++refCount;
        return S_OK;
    }
    // Every other interface is the inner browser's, counted on the inner browser.
    if (IWebBrowser2* inner = Inner(); inner && inner->QueryInterface(iid, out) == S_OK) return S_OK;
    *out = nullptr;
    return E_NOINTERFACE;
}

ULONG CBrowserWindow::AddRef() { return static_cast<ULONG>(++refCount); }

ULONG CBrowserWindow::Release() {
    LONG count = --refCount;
    if (count == 0) {
        LogMessage(LogLevel::Info, this, "CBrowserWindow::~CBrowserWindow()\n");
        if (CDerivedHtmlDialog* owned = dialog) {
            dialog = nullptr;
            owned->DestroyWindow();
            delete owned;
        }
        delete this;
    }
    return static_cast<ULONG>(count);
}

void CBrowserWindow::DropVisibleReference() {
    if (visibleReferences <= 0) return;
    --visibleReferences;
    Release();
}

void CBrowserWindow::ReleaseForClose() {
    closed = true;
    DropVisibleReference();  // may delete this object
}

// ---- Visibility -----------------------------------------------------------------------------

HRESULT CBrowserWindow::put_Visible(VARIANT_BOOL value) {
    // A closed popup stays closed: the page cannot bring it back.
    if (closed && value != VARIANT_FALSE) return S_OK;
    if (IWebBrowser2* inner = Inner()) inner->put_Visible(value);
    if (value == VARIANT_FALSE) {
        if (HWND window = PopupWindow()) ::ShowWindow(window, SW_HIDE);
        DropVisibleReference();  // may delete this object
        return S_OK;
    }
    if (IWebBrowser2* inner = Inner()) {
        CComPtr<IDispatch> document;
        if (SUCCEEDED(inner->get_Document(&document)) && document) {
            CComPtr<IHTMLDocument2> html;
            if (SUCCEEDED(document->QueryInterface(IID_IHTMLDocument2, reinterpret_cast<void**>(&html))) && html)
                ::ShowWindow(PopupWindow(), SW_SHOW);
        }
    }
    ++visibleReferences;
    AddRef();
    return S_OK;
}

// ---- The window's frame ---------------------------------------------------------------------

HRESULT CBrowserWindow::ReadRect(LONG* out, LONG (*pick)(const RECT&)) const {
    if (!out) return E_POINTER;
    *out = 0;
    RECT r{};
    if (!::GetWindowRect(PopupWindow(), &r)) return E_FAIL;
    *out = pick(r);
    return S_OK;
}

HRESULT CBrowserWindow::get_Left(LONG* out) {
    return ReadRect(out, [](const RECT& r) { return r.left; });
}
HRESULT CBrowserWindow::get_Top(LONG* out) {
    return ReadRect(out, [](const RECT& r) { return r.top; });
}
HRESULT CBrowserWindow::get_Width(LONG* out) {
    return ReadRect(out, [](const RECT& r) { return r.right - r.left; });
}
HRESULT CBrowserWindow::get_Height(LONG* out) {
    return ReadRect(out, [](const RECT& r) { return r.bottom - r.top; });
}

HRESULT CBrowserWindow::put_Left(LONG x) {
    RECT r{};
    if (!::GetWindowRect(PopupWindow(), &r)) return E_FAIL;
    ::SetWindowPos(PopupWindow(), nullptr, x, r.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    return S_OK;
}
HRESULT CBrowserWindow::put_Top(LONG y) {
    RECT r{};
    if (!::GetWindowRect(PopupWindow(), &r)) return E_FAIL;
    ::SetWindowPos(PopupWindow(), nullptr, r.left, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    return S_OK;
}
HRESULT CBrowserWindow::put_Width(LONG width) {
    RECT r{};
    if (!::GetWindowRect(PopupWindow(), &r)) return E_FAIL;
    ::SetWindowPos(PopupWindow(), nullptr, 0, 0, width, r.bottom - r.top, SWP_NOMOVE | SWP_NOZORDER);
    return S_OK;
}
HRESULT CBrowserWindow::put_Height(LONG height) {
    RECT r{};
    if (!::GetWindowRect(PopupWindow(), &r)) return E_FAIL;
    ::SetWindowPos(PopupWindow(), nullptr, 0, 0, r.right - r.left, height, SWP_NOMOVE | SWP_NOZORDER);
    return S_OK;
}

HRESULT CBrowserWindow::ClientToWindow(int* cx, int* cy) {
    if (!cx || !cy) return E_POINTER;
    HWND window = PopupWindow();
    if (!window) return E_FAIL;
    RECT r{0, 0, *cx, *cy};
    // The popup never has a menu; the flag only makes room for the one the page asked for.
    ::AdjustWindowRect(&r, static_cast<DWORD>(::GetWindowLongW(window, GWL_STYLE)), menuBar ? TRUE : FALSE);
    *cx = r.right - r.left;
    *cy = r.bottom - r.top;
    return S_OK;
}

HRESULT CBrowserWindow::get_MenuBar(VARIANT_BOOL* out) {
    if (!out) return E_POINTER;
    *out = menuBar ? VARIANT_TRUE : VARIANT_FALSE;
    return S_OK;
}
HRESULT CBrowserWindow::put_MenuBar(VARIANT_BOOL value) {
    menuBar = value != VARIANT_FALSE ? 1 : 0;
    return S_OK;
}

// ---- Forwarded to the inner browser ----------------------------------------------------------
// Without an inner browser: the dispatch members are not implemented, the navigation members
// do nothing, and the others fail.

HRESULT CBrowserWindow::GetTypeInfoCount(UINT* count) {
    return Forward(&IWebBrowser2::GetTypeInfoCount, E_NOTIMPL, count);
}
HRESULT CBrowserWindow::GetTypeInfo(UINT index, LCID lcid, ITypeInfo** info) {
    return Forward(&IWebBrowser2::GetTypeInfo, E_NOTIMPL, index, lcid, info);
}
HRESULT CBrowserWindow::GetIDsOfNames(REFIID iid, char16_t** names, UINT count, LCID lcid, DISPID* ids) {
    return Forward(&IWebBrowser2::GetIDsOfNames, E_NOTIMPL, iid, names, count, lcid, ids);
}
HRESULT CBrowserWindow::Invoke(DISPID id, REFIID iid, LCID lcid, WORD flags, DISPPARAMS* params, VARIANT* result,
                               EXCEPINFO* exception, UINT* argError) {
    return Forward(&IWebBrowser2::Invoke, E_NOTIMPL, id, iid, lcid, flags, params, result, exception, argError);
}

HRESULT CBrowserWindow::GoBack() { return Forward(&IWebBrowser2::GoBack, S_OK); }
HRESULT CBrowserWindow::GoForward() { return Forward(&IWebBrowser2::GoForward, S_OK); }
HRESULT CBrowserWindow::GoHome() { return Forward(&IWebBrowser2::GoHome, S_OK); }
HRESULT CBrowserWindow::GoSearch() { return Forward(&IWebBrowser2::GoSearch, S_OK); }
HRESULT CBrowserWindow::Navigate(BSTR url, VARIANT* flags, VARIANT* targetFrameName, VARIANT* postData,
                                 VARIANT* headers) {
    return Forward(&IWebBrowser2::Navigate, S_OK, url, flags, targetFrameName, postData, headers);
}
HRESULT CBrowserWindow::Refresh() { return Forward(&IWebBrowser2::Refresh, S_OK); }
HRESULT CBrowserWindow::Refresh2(VARIANT* level) { return Forward(&IWebBrowser2::Refresh2, S_OK, level); }
HRESULT CBrowserWindow::put_RegisterAsDropTarget(VARIANT_BOOL value) {
    return Forward(&IWebBrowser2::put_RegisterAsDropTarget, S_OK, value);
}
HRESULT CBrowserWindow::put_TheaterMode(VARIANT_BOOL value) {
    return Forward(&IWebBrowser2::put_TheaterMode, S_OK, value);
}
HRESULT CBrowserWindow::put_AddressBar(VARIANT_BOOL value) {
    return Forward(&IWebBrowser2::put_AddressBar, S_OK, value);
}

HRESULT CBrowserWindow::Stop() { return Forward(&IWebBrowser2::Stop, E_FAIL); }
HRESULT CBrowserWindow::get_Application(IDispatch** out) {
    return Forward(&IWebBrowser2::get_Application, E_FAIL, out);
}
HRESULT CBrowserWindow::get_Parent(IDispatch** out) { return Forward(&IWebBrowser2::get_Parent, E_FAIL, out); }
HRESULT CBrowserWindow::get_Container(IDispatch** out) {
    return Forward(&IWebBrowser2::get_Container, E_FAIL, out);
}
HRESULT CBrowserWindow::get_Document(IDispatch** out) { return Forward(&IWebBrowser2::get_Document, E_FAIL, out); }
HRESULT CBrowserWindow::get_TopLevelContainer(VARIANT_BOOL* out) {
    return Forward(&IWebBrowser2::get_TopLevelContainer, E_FAIL, out);
}
HRESULT CBrowserWindow::get_Type(BSTR* out) { return Forward(&IWebBrowser2::get_Type, E_FAIL, out); }
HRESULT CBrowserWindow::get_LocationName(BSTR* out) {
    return Forward(&IWebBrowser2::get_LocationName, E_FAIL, out);
}
HRESULT CBrowserWindow::get_LocationURL(BSTR* out) {
    return Forward(&IWebBrowser2::get_LocationURL, E_FAIL, out);
}
HRESULT CBrowserWindow::get_Busy(VARIANT_BOOL* out) { return Forward(&IWebBrowser2::get_Busy, E_FAIL, out); }
HRESULT CBrowserWindow::Quit() { return Forward(&IWebBrowser2::Quit, E_FAIL); }
HRESULT CBrowserWindow::PutProperty(BSTR property, VARIANT value) {
    return Forward(&IWebBrowser2::PutProperty, E_FAIL, property, value);
}
HRESULT CBrowserWindow::GetProperty(BSTR property, VARIANT* value) {
    return Forward(&IWebBrowser2::GetProperty, E_FAIL, property, value);
}
HRESULT CBrowserWindow::get_Name(BSTR* out) { return Forward(&IWebBrowser2::get_Name, E_FAIL, out); }
HRESULT CBrowserWindow::get_HWND(SHANDLE_PTR* out) { return Forward(&IWebBrowser2::get_HWND, E_FAIL, out); }
HRESULT CBrowserWindow::get_FullName(BSTR* out) { return Forward(&IWebBrowser2::get_FullName, E_FAIL, out); }
HRESULT CBrowserWindow::get_Path(BSTR* out) { return Forward(&IWebBrowser2::get_Path, E_FAIL, out); }
HRESULT CBrowserWindow::get_Visible(VARIANT_BOOL* out) { return Forward(&IWebBrowser2::get_Visible, E_FAIL, out); }
HRESULT CBrowserWindow::get_StatusBar(VARIANT_BOOL* out) {
    return Forward(&IWebBrowser2::get_StatusBar, E_FAIL, out);
}
HRESULT CBrowserWindow::put_StatusBar(VARIANT_BOOL value) {
    return Forward(&IWebBrowser2::put_StatusBar, E_FAIL, value);
}
HRESULT CBrowserWindow::get_StatusText(BSTR* out) { return Forward(&IWebBrowser2::get_StatusText, E_FAIL, out); }
HRESULT CBrowserWindow::put_StatusText(BSTR value) {
    return Forward(&IWebBrowser2::put_StatusText, E_FAIL, value);
}
HRESULT CBrowserWindow::get_ToolBar(int* out) { return Forward(&IWebBrowser2::get_ToolBar, E_FAIL, out); }
HRESULT CBrowserWindow::put_ToolBar(int value) { return Forward(&IWebBrowser2::put_ToolBar, E_FAIL, value); }
HRESULT CBrowserWindow::get_FullScreen(VARIANT_BOOL* out) {
    return Forward(&IWebBrowser2::get_FullScreen, E_FAIL, out);
}
HRESULT CBrowserWindow::put_FullScreen(VARIANT_BOOL value) {
    return Forward(&IWebBrowser2::put_FullScreen, E_FAIL, value);
}
HRESULT CBrowserWindow::Navigate2(VARIANT* url, VARIANT* flags, VARIANT* targetFrameName, VARIANT* postData,
                                  VARIANT* headers) {
    return Forward(&IWebBrowser2::Navigate2, E_FAIL, url, flags, targetFrameName, postData, headers);
}
HRESULT CBrowserWindow::QueryStatusWB(OLECMDID command, OLECMDF* status) {
    return Forward(&IWebBrowser2::QueryStatusWB, E_FAIL, command, status);
}
HRESULT CBrowserWindow::ExecWB(OLECMDID command, OLECMDEXECOPT option, VARIANT* in, VARIANT* out) {
    return Forward(&IWebBrowser2::ExecWB, E_FAIL, command, option, in, out);
}
HRESULT CBrowserWindow::ShowBrowserBar(VARIANT* clsid, VARIANT* show, VARIANT* size) {
    return Forward(&IWebBrowser2::ShowBrowserBar, E_FAIL, clsid, show, size);
}
HRESULT CBrowserWindow::get_ReadyState(READYSTATE* out) {
    return Forward(&IWebBrowser2::get_ReadyState, E_FAIL, out);
}
HRESULT CBrowserWindow::get_Offline(VARIANT_BOOL* out) { return Forward(&IWebBrowser2::get_Offline, E_FAIL, out); }
HRESULT CBrowserWindow::put_Offline(VARIANT_BOOL value) {
    return Forward(&IWebBrowser2::put_Offline, E_FAIL, value);
}
HRESULT CBrowserWindow::get_Silent(VARIANT_BOOL* out) { return Forward(&IWebBrowser2::get_Silent, E_FAIL, out); }
HRESULT CBrowserWindow::put_Silent(VARIANT_BOOL value) { return Forward(&IWebBrowser2::put_Silent, E_FAIL, value); }
HRESULT CBrowserWindow::get_RegisterAsBrowser(VARIANT_BOOL* out) {
    return Forward(&IWebBrowser2::get_RegisterAsBrowser, E_FAIL, out);
}
HRESULT CBrowserWindow::put_RegisterAsBrowser(VARIANT_BOOL value) {
    return Forward(&IWebBrowser2::put_RegisterAsBrowser, E_FAIL, value);
}
HRESULT CBrowserWindow::get_RegisterAsDropTarget(VARIANT_BOOL* out) {
    return Forward(&IWebBrowser2::get_RegisterAsDropTarget, E_FAIL, out);
}
HRESULT CBrowserWindow::get_TheaterMode(VARIANT_BOOL* out) {
    return Forward(&IWebBrowser2::get_TheaterMode, E_FAIL, out);
}
HRESULT CBrowserWindow::get_AddressBar(VARIANT_BOOL* out) {
    return Forward(&IWebBrowser2::get_AddressBar, E_FAIL, out);
}
HRESULT CBrowserWindow::get_Resizable(VARIANT_BOOL* out) {
    return Forward(&IWebBrowser2::get_Resizable, E_FAIL, out);
}
HRESULT CBrowserWindow::put_Resizable(VARIANT_BOOL value) {
    return Forward(&IWebBrowser2::put_Resizable, E_FAIL, value);
}
