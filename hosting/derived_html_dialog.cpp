// The popup window and its answers to its browser.
#include "hosting/derived_html_dialog.h"

#include "diagnostics/log_writer.h"
#include "hosting/browser_window.h"
#include "hosting/control_site.h"

const AFX_MSGMAP* CDerivedHtmlDialog::GetThisMessageMap() {
    static const AFX_MSGMAP map{&CDHtmlDialog::GetThisMessageMap, nullptr, 0};
    return &map;
}
const AFX_MSGMAP* CDerivedHtmlDialog::GetMessageMap() const { return GetThisMessageMap(); }

const AFX_EVENTSINKMAP* CDerivedHtmlDialog::GetThisEventSinkMap() {
    static const AFX_EVENTSINKMAP_ENTRY entries[] = {
        afx::OnEvent<AFX_IDC_BROWSER, DISPID_NEWWINDOW3, &CDerivedHtmlDialog::OnNewWindow3>(),
        afx::OnEvent<AFX_IDC_BROWSER, DISPID_WINDOWCLOSING, &CDerivedHtmlDialog::OnWindowClosing>(),
        afx::OnEvent<AFX_IDC_BROWSER, DISPID_FILEDOWNLOAD, &CDerivedHtmlDialog::OnFileDownload>(),
        afx::OnEvent<AFX_IDC_BROWSER, DISPID_DOCUMENTCOMPLETE,
                     static_cast<void (CDerivedHtmlDialog::*)(IDispatch*, VARIANT*)>(
                         &CDerivedHtmlDialog::OnDocumentComplete)>(),
        afx::OnEvent<AFX_IDC_BROWSER, DISPID_TITLECHANGE, &CDerivedHtmlDialog::OnTitleChange>(),
    };
    static const AFX_EVENTSINKMAP map{&CDHtmlDialog::GetThisEventSinkMap, entries, std::size(entries)};
    return &map;
}
const AFX_EVENTSINKMAP* CDerivedHtmlDialog::GetEventSinkMap() const { return GetThisEventSinkMap(); }

CDerivedHtmlDialog::CDerivedHtmlDialog(CWnd* parent) : CDHtmlDialog(hosting::kPopupTemplate, 0, parent) {}

CDerivedHtmlDialog::~CDerivedHtmlDialog() = default;

BOOL CDerivedHtmlDialog::CreateControlSite(COleControlContainer* container, COleControlSite** site, UINT id,
                                           REFCLSID clsid) {
    return hosting::CreateControlSite(this, container, site, id, clsid);
}

void CDerivedHtmlDialog::CreateBrowser(CWnd* parent) {
    LogMessage(LogLevel::Info, this, "CDerivedHtmlDialog::CreateBrowser()\n");
    // Both must be in force when the base class creates the browser control. Pages in
    // popups scroll.
    m_nFlags |= hosting::kNoDialogKeysFlag;
    m_dwHostFlags = (m_dwHostFlags & ~DOCHOSTUIFLAG_SCROLL_NO) | DOCHOSTUIFLAG_DPI_AWARE;
    Create(hosting::kPopupTemplate, parent);
    if (!m_hWnd) return;  // no window, so no browser either: the popup stays an empty object

    if (parent && parent->m_hWnd) {
        SendMessage(WM_SETICON, ICON_BIG, parent->SendMessage(WM_GETICON, ICON_BIG, 0));
        SendMessage(WM_SETICON, ICON_SMALL, parent->SendMessage(WM_GETICON, ICON_SMALL, 0));
    }
    if (!m_pBrowserApp) return;
    m_pBrowserApp->put_RegisterAsBrowser(VARIANT_TRUE);
    if (eventCookie == 0) ConnectTracer();
}

void CDerivedHtmlDialog::ConnectTracer() {
    DWORD cookie = 0;
    if (m_pBrowserApp && SUCCEEDED(AtlAdvise(m_pBrowserApp, &eventTracer, DIID_DWebBrowserEvents2, &cookie)))
        eventCookie = cookie;
}

BOOL CDerivedHtmlDialog::OnInitDialog() {
    LogMessage(LogLevel::Info, this, "CDerivedHtmlDialog::OnInitDialog()\n");
    CDHtmlDialog::OnInitDialog();
    return TRUE;
}

void CDerivedHtmlDialog::OnNewWindow3(IDispatch** newWindow, VARIANT_BOOL*, DWORD, BSTR, BSTR) {
    LogMessage(LogLevel::Info, this, "CDerivedHtmlDialog::OnNewWindow3()\n");
    // Every popup, however deeply opened, is owned by the main window.
    auto* window = new CBrowserWindow(m_pParentWnd);
    if (newWindow) {
        window->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(newWindow));
    } else {
        // Nobody can take the window: it goes at once.
        window->AddRef();
        window->Release();
    }
}

void CDerivedHtmlDialog::OnWindowClosing(VARIANT_BOOL, VARIANT_BOOL* cancel) {
    LogMessage(LogLevel::Info, this, "CDerivedHtmlDialog::OnWindowClosing()\n");
    // Closed once the event has returned; the browser does not close its own window.
    PostMessage(WM_COMMAND, IDCANCEL, 0);
    if (cancel) *cancel = VARIANT_TRUE;
}

void CDerivedHtmlDialog::OnFileDownload(VARIANT_BOOL activeDocument, VARIANT_BOOL* cancel) {
    LogMessage(LogLevel::Info, this, "CDerivedHtmlDialog::OnFileDownload()\n");
    if (cancel) *cancel = VARIANT_FALSE;
    if (activeDocument) return;
    // A popup that shows nothing and was opened only for the download closes itself. A
    // popup whose first page is the download itself has no document yet (the engine makes
    // no empty one first): it shows nothing either.
    CComPtr<IHTMLDocument2> document;
    CComBSTR markup;
    if (SUCCEEDED(GetDHtmlDocument(&document)) && document) {
        CComPtr<IHTMLElement> body;
        if (SUCCEEDED(document->get_body(&body)) && body) body->get_innerHTML(&markup);
    }
    // An empty string and a null one are the same text.
    if (markup.Length() == 0) PostMessage(WM_COMMAND, IDCANCEL, 0);
}

void CDerivedHtmlDialog::OnDocumentComplete(IDispatch*, VARIANT* url) {
    BSTR text = url && url->vt == VT_BSTR ? url->bstrVal : nullptr;
    LogMessage(LogLevel::Info, this, "CDerivedHtmlDialog::OnDocumentComplete() : %S\n", text ? text : u"");
    if (!text || !m_pBrowserApp) return;
    VARIANT_BOOL visible = VARIANT_FALSE;
    if (SUCCEEDED(m_pBrowserApp->get_Visible(&visible)) && visible == VARIANT_TRUE) ShowWindow(SW_SHOW);
}

void CDerivedHtmlDialog::OnTitleChange(BSTR text) {
    LogMessage(LogLevel::Info, this, "CDerivedHtmlDialog::OnTitleChange() : %S\n", text ? text : u"");
    SetWindowText(text ? text : u"");
}

void CDerivedHtmlDialog::OnNavigateComplete(IDispatch* disp, LPCWSTR url) {
    LogMessage(LogLevel::Info, this, "CDerivedHtmlDialog::OnNavigateComplete() : %S\n", url ? url : u"");
    CDHtmlDialog::OnNavigateComplete(disp, url);
    // A failed first connection is tried again after every completed navigation.
    if (eventCookie == 0) ConnectTracer();
}

void CDerivedHtmlDialog::OnCancel() {
    LogMessage(LogLevel::Info, this, "CDerivedHtmlDialog::OnCancel()\n");
    if (m_pBrowserApp) AtlUnadvise(m_pBrowserApp, DIID_DWebBrowserEvents2, eventCookie);
    CDHtmlDialog::OnCancel();
    // May destroy this dialog: nothing is touched after it.
    if (browserWindow) browserWindow->ReleaseForClose();
}
