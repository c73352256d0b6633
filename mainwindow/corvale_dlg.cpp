// The main window: construction, initialisation, layout, the address bar and closing.
#include "mainwindow/corvale_dlg.h"

#include "diagnostics/console_log.h"
#include "diagnostics/log_writer.h"
#include "hosting/control_site.h"
#include "mainwindow/browser_emulation.h"
#include "proxy/process_proxy.h"

using namespace mainwindow;

const char16_t* const kBuiltInStartUrl = u"" PELMARIN_START_URL;

const AFX_MSGMAP* CCorvaleDlg::GetThisMessageMap() {
    static const AFX_MSGMAP_ENTRY entries[] = {
        afx::OnMessage<WM_CLOSE, &CCorvaleDlg::OnClose>(),
        afx::OnMessage<WM_WINDOWPOSCHANGED, &CCorvaleDlg::OnWindowPosChanged>(),
        afx::OnMessage<WM_SIZE, &CCorvaleDlg::OnSize>(),
        afx::OnCommand<ID_ADD_TO_BOOKMARKS, &CCorvaleDlg::OnAddToBookmarks>(),
        afx::OnCommand<ID_SHOW_BOOKMARKS, &CCorvaleDlg::OnShowBookmarks>(),
        afx::OnCommand<ID_PROXY_SETTINGS, &CCorvaleDlg::OnProxySettings>(),
        afx::OnCommand<ID_INTERNET_OPTIONS, &CCorvaleDlg::OnInternetOptions>(),
        afx::OnCommand<ID_CLEAR_CACHE, &CCorvaleDlg::OnClearCache>(),
        afx::OnCommand<ID_LOGGING, &CCorvaleDlg::OnLogging>(),
        afx::OnCommand<ID_OPEN_LOGS_FOLDER, &CCorvaleDlg::OnOpenLogsFolder>(),
        afx::OnCommand<ID_EXIT, &CCorvaleDlg::OnExit>(),
        afx::OnCommand<ID_ACTUAL_SIZE, &CCorvaleDlg::OnActualSize>(),
        afx::OnCommand<ID_ZOOM_IN, &CCorvaleDlg::OnZoomIn>(),
        afx::OnCommand<ID_ZOOM_OUT, &CCorvaleDlg::OnZoomOut>(),
        afx::OnCommand<ID_REFRESH, &CCorvaleDlg::OnRefresh>(),
        afx::OnCommandRange<ID_COMPATIBILITY_FIRST, ID_COMPATIBILITY_LAST, &CCorvaleDlg::OnCompatibility>(),
        afx::OnCommand<ID_ABOUT, &CCorvaleDlg::OnAbout>(),
    };
    static const AFX_MSGMAP map{&CDHtmlDialog::GetThisMessageMap, entries, std::size(entries)};
    return &map;
}
const AFX_MSGMAP* CCorvaleDlg::GetMessageMap() const { return GetThisMessageMap(); }

// The buttons of the bookmarks page: every row's buttons share these ids.
const DHtmlEventMapEntry* CCorvaleDlg::GetDHtmlEventMap() {
    static const DHtmlEventMapEntry entries[] = {
        afx::OnElementClick<&CCorvaleDlg::OnBookmarkEdit>(u"CCVD_Edit"),
        afx::OnElementClick<&CCorvaleDlg::OnBookmarkDelete>(u"CCVD_Delete"),
        afx::EndOfDHtmlEventMap(),
    };
    return entries;
}

CCorvaleDlg::CCorvaleDlg(bool fullScreen_)
    : CDHtmlDialog(kDialogTemplate, 0, nullptr), startUrl(kBuiltInStartUrl), fullScreen(fullScreen_) {
    icon = LoadIconW(AfxGetResourceHandle(), MAKEINTRESOURCEW(kIcon));
}

CCorvaleDlg::~CCorvaleDlg() {
    delete consoleLog;  // detaches from its document first
    // Closed while full screen, the window went without its menu: the menu is ours to free.
    if (fullScreen && savedMenu) ::DestroyMenu(savedMenu);
}

BOOL CCorvaleDlg::CreateControlSite(COleControlContainer* container, COleControlSite** site, UINT id,
                                    REFCLSID clsid) {
    return hosting::CreateControlSite(this, container, site, id, clsid);
}

BOOL CCorvaleDlg::OnInitDialog() {
    BeginWaitCursor();
    // No dialog keyboard handling for this window; the browser still gets its keys.
    m_nFlags |= kNoDialogKeysFlag;
    m_dwHostFlags = (m_dwHostFlags & ~DOCHOSTUIFLAG_SCROLL_NO) | DOCHOSTUIFLAG_DPI_AWARE;
    CDHtmlDialog::OnInitDialog();
    // In force before the first page is requested.
    ApplyProxySettings();

    SendMessage(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
    SendMessage(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
    if (m_wndBrowser.m_hWnd) m_wndBrowser.ModifyStyleEx(0, WS_EX_CONTROLPARENT, 0);

    HMENU menu = ::GetMenu(m_hWnd);
    emulationMode = ReadBrowserEmulation();
    if (menu) {
        if (UINT command = CompatibilityCommandOf(emulationMode)) ::CheckMenuItem(menu, command, MF_BYCOMMAND | MF_CHECKED);
    }
    CreateAddressBar();
    if (fullScreen) EnterFullScreen();
    Navigate(startUrl);
    if (menu) ::CheckMenuItem(menu, ID_LOGGING, MF_BYCOMMAND | (enableLogging ? MF_CHECKED : MF_UNCHECKED));
    SetLoggingEnabled(enableLogging);
    return TRUE;
}

void CCorvaleDlg::CreateAddressBar() {
    addressBar.Create(this, RBS_AUTOSIZE, WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | WS_BORDER | CBRS_TOP,
                      AFX_IDW_REBAR);
    addressBar.ModifyStyleEx(0, WS_EX_TOOLWINDOW);
    addressBox.Create(WS_CHILD | WS_VISIBLE | CBS_DROPDOWN, RECT{0, 0, 100, 150}, this, kAddressBox);
    if (HWND edit = addressBox.GetEditCtrlHandle()) CWnd::ModifyStyle(edit, 0, WS_TABSTOP, 0);

    char16_t label[64] = {};
    if (!LoadStringW(AfxGetResourceHandle(), kAddressLabel, label, static_cast<int>(std::size(label)))) label[0] = u'\0';
    addressBar.AddBar(&addressBox, label, nullptr, RBBS_NOGRIPPER);

    RECT client{};
    GetClientRect(&client);
    if (m_wndBrowser.m_hWnd)
        m_wndBrowser.MoveWindow(0, kAddressBarHeight, client.right, client.bottom - kAddressBarHeight, TRUE);
    addressBar.SetWindowPos(nullptr, 0, 0, client.right, kAddressBarHeight, SWP_NOMOVE);
    Invalidate(TRUE);
}

void CCorvaleDlg::OnSize(UINT type, int cx, int cy) {
    CDHtmlDialog::OnSize(type, cx, cy);
    if (!fullScreen && addressBar.m_hWnd) {
        addressBar.SetWindowPos(nullptr, 0, 0, cx, kAddressBarHeight, SWP_NOMOVE);
        if (m_wndBrowser.m_hWnd) m_wndBrowser.MoveWindow(0, kAddressBarHeight, cx, cy - kAddressBarHeight, TRUE);
    }
}

void CCorvaleDlg::OnWindowPosChanged(void*) { Default(); }

void CCorvaleDlg::NavigateToTypedAddress() {
    HWND edit = addressBox.GetEditCtrlHandle();
    if (!edit) return;
    int length = ::GetWindowTextLengthW(edit);
    if (length <= 0) return;
    std::u16string typed(static_cast<std::size_t>(length) + 1, u'\0');
    typed.resize(static_cast<std::size_t>(::GetWindowTextW(edit, typed.data(), length + 1)));
    if (typed.empty()) return;

    bool alreadyFirst = false;
    int count = static_cast<int>(addressBox.SendMessage(CB_GETCOUNT));
    for (int index = 0; index < count; ++index) {
        char16_t text[kItemTextMax] = {};
        COMBOBOXEXITEMW item;
        item.mask = CBEIF_TEXT;
        item.iItem = index;
        item.pszText = text;
        item.cchTextMax = kItemTextMax;
        if (!addressBox.SendMessage(CBEM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item)) || typed != text) continue;
        if (index == 0) alreadyFirst = true;
        else addressBox.SendMessage(CBEM_DELETEITEM, static_cast<WPARAM>(index));
        break;
    }
    if (!alreadyFirst) {
        count = static_cast<int>(addressBox.SendMessage(CB_GETCOUNT));
        if (count >= kTypedAddressesKept) addressBox.SendMessage(CBEM_DELETEITEM, static_cast<WPARAM>(count - 1));
        COMBOBOXEXITEMW item;
        item.mask = CBEIF_TEXT;
        item.iItem = 0;
        item.pszText = typed.data();
        addressBox.SendMessage(CBEM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
    }
    Navigate(typed.c_str());
}

void CCorvaleDlg::OnNavigateComplete(IDispatch* disp, LPCWSTR url) {
    if (m_pBrowserApp) {
        CComBSTR location;
        if (SUCCEEDED(m_pBrowserApp->get_LocationURL(&location)))
            if (HWND edit = addressBox.GetEditCtrlHandle()) ::SetWindowTextW(edit, location.get() ? location.get() : u"");
    }
    CDHtmlDialog::OnNavigateComplete(disp, url);
}

void CCorvaleDlg::OnClose() { EndDialog(0); }
