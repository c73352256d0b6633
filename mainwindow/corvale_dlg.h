// The program's main window: an HTML dialog with an address bar over the browser.
#pragma once

#include <string>

#include "afx/controls.h"
#include "afx/dhtml.h"

class CConsoleLog;

// Resource and command identifiers of the main window.
namespace mainwindow {
constexpr UINT kDialogTemplate = 102;
constexpr UINT kIcon = 128;
constexpr UINT kAddressLabel = 8;
constexpr UINT kMenu = 140;
constexpr UINT kAddressBox = 1004;
constexpr int kAddressBarHeight = 27;
constexpr int kTypedAddressesKept = 7;
constexpr int kItemTextMax = 2048;
constexpr UINT kNoDialogKeysFlag = 0x1000;
constexpr UINT kBookmarksPage = 142;
constexpr UINT kBookmarksFilled = 104;

constexpr UINT ID_ADD_TO_BOOKMARKS = 32771;
constexpr UINT ID_SHOW_BOOKMARKS = 32772;
constexpr UINT ID_EXIT = 32773;
constexpr UINT ID_INTERNET_OPTIONS = 32774;
constexpr UINT ID_PROXY_SETTINGS = 32775;
constexpr UINT ID_LOGGING = 32776;
constexpr UINT ID_OPEN_LOGS_FOLDER = 32777;
constexpr UINT ID_REFRESH = 32778;
constexpr UINT ID_COMPATIBILITY_FIRST = 32779;
constexpr UINT ID_COMPATIBILITY_LAST = 32788;
constexpr UINT ID_ZOOM_IN = 32789;
constexpr UINT ID_ZOOM_OUT = 32790;
constexpr UINT ID_ACTUAL_SIZE = 32791;
constexpr UINT ID_CLEAR_CACHE = 32792;
constexpr UINT ID_ABOUT = 32793;
}  // namespace mainwindow

// The built-in start address, fixed when the program is built.
extern const char16_t* const kBuiltInStartUrl;

class CCorvaleDlg : public CDHtmlDialog {
    DECLARE_MESSAGE_MAP()
    DECLARE_EVENTSINK_MAP()
    DECLARE_DHTML_EVENT_MAP()
public:
    explicit CCorvaleDlg(bool fullScreen);
    ~CCorvaleDlg() override;

    BOOL PreTranslateMessage(MSG* msg) override;
    BOOL CreateControlSite(COleControlContainer* container, COleControlSite** site, UINT id,
                           REFCLSID clsid) override;
    BOOL OnInitDialog() override;
    void OnOK() override {}
    void OnCancel() override {}
    void OnNavigateComplete(IDispatch* disp, LPCWSTR url) override;
    HRESULT TranslateAccelerator(MSG* msg, const GUID* group, DWORD command) override;

    void CreateAddressBar();
    void EnterFullScreen();
    void ExitFullScreen();
    void NavigateToTypedAddress();

    // Browser events (navigation policy).
    void OnBeforeNavigate2(IDispatch* disp, VARIANT* url, VARIANT* flags, VARIANT* targetFrameName,
                           VARIANT* postData, VARIANT* headers, VARIANT_BOOL* cancel);
    void OnNewWindow2(IDispatch** newWindow, VARIANT_BOOL* cancel);
    void OnNewWindow3(IDispatch** newWindow, VARIANT_BOOL* cancel, DWORD flags, BSTR urlContext, BSTR url);
    using CDHtmlDialog::OnDocumentComplete;
    void OnDocumentComplete(IDispatch* disp, VARIANT* url);

    // Menu commands.
    void OnAbout();
    void OnExit();
    void OnRefresh();
    void OnInternetOptions();
    void OnZoomIn();
    void OnZoomOut();
    void OnActualSize();
    void OnLogging();
    void OnClearCache();
    void OnOpenLogsFolder();
    void OnCompatibility(UINT id);

    // Bookmarks: the two commands, the filling of the bookmarks page and its buttons.
    void OnAddToBookmarks();
    void OnShowBookmarks();
    void FillBookmarksPage(IHTMLElement* body);
    HRESULT OnBookmarkEdit(IHTMLElement* element);
    HRESULT OnBookmarkDelete(IHTMLElement* element);
    // Proxy settings command.
    void OnProxySettings();

    // Window messages.
    void OnClose();
    void OnWindowPosChanged(void* position);
    void OnSize(UINT type, int cx, int cy);

    HICON icon = nullptr;
    const WCHAR* startUrl;
    CConsoleLog* consoleLog = nullptr;
    CReBar addressBar;
    CComboBoxEx addressBox;
    bool fullScreen;
    bool enableLogging = false;
    HMENU savedMenu = nullptr;
    DWORD savedStyle = 0;
    DWORD savedExStyle = 0;
    RECT savedRect{};
    DWORD emulationMode = 0;
};

// True when the address belongs to another application rather than to the browser.
bool IsExternalProtocol(const std::u16string& url);
