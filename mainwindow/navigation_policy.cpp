// The main window's answers to its browser: which addresses leave for another application,
// new windows, and the housekeeping after every completed document.
#include <mutex>
#include <set>

#include "diagnostics/console_log.h"
#include "diagnostics/html_dump.h"
#include "hosting/browser_window.h"
#include "mainwindow/corvale_dlg.h"

using namespace mainwindow;

namespace {
const std::set<std::u16string>& InternalSchemes() {
    // Ordered by UTF-16 code units, compared exactly.
    static const std::set<std::u16string> schemes{u"http", u"https", u"res", u"file", u"ftp", u"about", u"javascript"};
    return schemes;
}

// Adds WS_EX_CONTROLPARENT to a window that lacks it.
void AddControlParent(HWND window) {
    if (window && !(static_cast<DWORD>(::GetWindowLongW(window, GWL_EXSTYLE)) & WS_EX_CONTROLPARENT))
        CWnd::ModifyStyleEx(window, 0, WS_EX_CONTROLPARENT, 0);
}
}  // namespace

bool IsExternalProtocol(const std::u16string& url) {
    const auto& internal = InternalSchemes();
    // A drive-letter path ("C:\..."). An empty address has no second character: it is
    // checked like any other address (no scheme, so external).
    if (url.size() >= 2 && url[1] == u':') return false;
    auto colon = url.find(u':');
    std::u16string scheme = colon == std::u16string::npos ? std::u16string() : url.substr(0, colon);
    return internal.count(scheme) == 0;
}

const AFX_EVENTSINKMAP* CCorvaleDlg::GetThisEventSinkMap() {
    static const AFX_EVENTSINKMAP_ENTRY entries[] = {
        afx::OnEvent<AFX_IDC_BROWSER, DISPID_NEWWINDOW2, &CCorvaleDlg::OnNewWindow2>(),
        afx::OnEvent<AFX_IDC_BROWSER, DISPID_NEWWINDOW3, &CCorvaleDlg::OnNewWindow3>(),
        afx::OnEvent<AFX_IDC_BROWSER, DISPID_DOCUMENTCOMPLETE, static_cast<void (CCorvaleDlg::*)(IDispatch*, VARIANT*)>(
                                                                   &CCorvaleDlg::OnDocumentComplete)>(),
        afx::OnEvent<AFX_IDC_BROWSER, DISPID_BEFORENAVIGATE2, &CCorvaleDlg::OnBeforeNavigate2>(),
    };
    static const AFX_EVENTSINKMAP map{&CDHtmlDialog::GetThisEventSinkMap, entries, std::size(entries)};
    return &map;
}
const AFX_EVENTSINKMAP* CCorvaleDlg::GetEventSinkMap() const { return GetThisEventSinkMap(); }

void CCorvaleDlg::OnBeforeNavigate2(IDispatch* disp, VARIANT* url, VARIANT* flags, VARIANT* targetFrameName,
                                    VARIANT* postData, VARIANT* headers, VARIANT_BOOL* cancel) {
    std::u16string address = url && url->vt == VT_BSTR && url->bstrVal ? std::u16string(url->bstrVal) : u"";
    if (IsExternalProtocol(address)) {
        if (cancel) *cancel = VARIANT_TRUE;
        int answer = ::MessageBoxW(nullptr, u"Do you want to allow this website to open an application on your computer?",
                                   u"Message", MB_OKCANCEL | MB_ICONQUESTION);
        if (answer == IDOK) ::ShellExecuteW(nullptr, u"open", address.c_str(), nullptr, nullptr, SW_SHOWDEFAULT);
        return;
    }
    _OnBeforeNavigate2(disp, url, flags, targetFrameName, postData, headers, cancel);
}

void CCorvaleDlg::OnNewWindow2(IDispatch**, VARIANT_BOOL* cancel) {
    if (cancel) *cancel = VARIANT_TRUE;
}

void CCorvaleDlg::OnNewWindow3(IDispatch** newWindow, VARIANT_BOOL*, DWORD, BSTR, BSTR) {
    // A popup of the program's own, owned by this window; the browser gets its first reference.
    auto* window = new CBrowserWindow(this);
    if (newWindow) {
        window->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(newWindow));
    } else {
        // Nobody can take the window: it goes at once.
        window->AddRef();
        window->Release();
    }
}

void CCorvaleDlg::OnDocumentComplete(IDispatch*, VARIANT*) {
    if (m_wndBrowser.m_hWnd) {
        HWND child = ::GetWindow(m_wndBrowser.m_hWnd, GW_CHILD);
        if (child) {
            AddControlParent(child);
            AddControlParent(::GetWindow(child, GW_CHILD));
        }
    }
    EndWaitCursor();

    CComPtr<IHTMLDocument2> document;
    if (FAILED(GetDHtmlDocument(&document)) || !document) return;
    CComBSTR title;
    document->get_title(&title);
    if (m_nHtmlResID == kBookmarksPage && title.get() && std::u16string(title.get()) == u"Bookmarks") {
        CComPtr<IHTMLElement> body;
        if (FAILED(document->get_body(&body))) return;
        FillBookmarksPage(body.get());
        m_nHtmlResID = kBookmarksFilled;
    }
    // Diagnostics: the console receiver follows the current document, and while logging is
    // on the document is written out.
    if (!consoleLog) consoleLog = new CConsoleLog();
    consoleLog->Attach(document);
    DumpHtmlDocument(document);
}
