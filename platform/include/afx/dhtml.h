// The framework's HTML dialog: a dialog hosting a WebBrowser control, with the browser's
// host interface answered by virtual members and its events through the event sink map.
#pragma once

#include <memory>
#include <string>

#include "afx/ole.h"
#include "com/ptr.h"
#include "mshtml/document.h"
#include "mshtml/host.h"
#include "mshtml/webbrowser.h"

constexpr UINT AFX_IDC_BROWSER = 102;  // the browser control's id in an HTML dialog

class CDHtmlEventSink {
public:
    virtual ~CDHtmlEventSink() = default;
};

class CDHtmlDialog : public CDialog, public CDHtmlEventSink {
    DECLARE_MESSAGE_MAP()
    DECLARE_EVENTSINK_MAP()
public:
    CDHtmlDialog(UINT templateId, UINT htmlResId, CWnd* parent = nullptr);
    ~CDHtmlDialog() override;

    BOOL OnInitDialog() override;
    BOOL PreTranslateMessage(MSG* msg) override;

    // Navigation of the hosted browser.
    void Navigate(LPCWSTR url, DWORD flags = 0, LPCWSTR targetFrame = nullptr, LPCWSTR headers = nullptr,
                  void* postData = nullptr, DWORD postDataLength = 0);
    BOOL LoadFromResource(UINT htmlResId);
    // The dialog's current document (the top-level one), counted for the caller.
    HRESULT GetDHtmlDocument(IHTMLDocument2** document);

    virtual void OnBeforeNavigate(IDispatch* disp, LPCWSTR url);
    virtual void OnNavigateComplete(IDispatch* disp, LPCWSTR url);
    virtual void OnDocumentComplete(IDispatch* disp, LPCWSTR url);
    void OnSize(UINT type, int cx, int cy);
    void OnDestroy();

    // The browser host's user-interface handler, answered by the dialog.
    virtual HRESULT ShowContextMenu(DWORD id, POINT* pt, IUnknown* commandTarget, IDispatch* object);
    virtual HRESULT GetHostInfo(DOCHOSTUIINFO* info);
    virtual HRESULT ShowUI(DWORD id, IOleInPlaceActiveObject* active, IOleCommandTarget* commandTarget,
                           IOleInPlaceFrame* frame, IOleInPlaceUIWindow* doc);
    virtual HRESULT HideUI();
    virtual HRESULT UpdateUI();
    virtual HRESULT EnableModeless(BOOL enable);
    virtual HRESULT OnDocWindowActivate(BOOL activate);
    virtual HRESULT OnFrameWindowActivate(BOOL activate);
    virtual HRESULT ResizeBorder(const RECT* border, IOleInPlaceUIWindow* window, BOOL frameWindow);
    virtual HRESULT TranslateAccelerator(MSG* msg, const GUID* group, DWORD command);
    virtual HRESULT GetOptionKeyPath(char16_t** key, DWORD reserved);
    virtual HRESULT GetDropTarget(IDropTarget* dropTarget, IDropTarget** out);
    virtual HRESULT GetExternal(IDispatch** out);
    virtual HRESULT TranslateUrl(DWORD translate, char16_t* url, char16_t** out);
    virtual HRESULT FilterDataObject(IDataObject* object, IDataObject** out);

    // The base handling of the browser's events.
    void _OnBeforeNavigate2(IDispatch* disp, VARIANT* url, VARIANT* flags, VARIANT* targetFrameName,
                            VARIANT* postData, VARIANT* headers, VARIANT_BOOL* cancel);
    void _OnNavigateComplete2(IDispatch* disp, VARIANT* url);
    void _OnDocumentComplete(IDispatch* disp, VARIANT* url);

    CComPtr<IWebBrowser2> m_pBrowserApp;
    CWnd m_wndBrowser;
    DWORD m_dwHostFlags = DOCHOSTUIFLAG_NO3DBORDER | DOCHOSTUIFLAG_SCROLL_NO;
    UINT m_nHtmlResID = 0;
    std::u16string m_strCurrentUrl;
    CComPtr<IHTMLDocument2> m_spHtmlDoc;

protected:
    std::unique_ptr<COleControlContainer> m_pCtrlCont;
    void CreateBrowserControl();
    void ReleaseBrowser();
};

// Navigate's flags
constexpr DWORD navNoHistory = 0x2;
