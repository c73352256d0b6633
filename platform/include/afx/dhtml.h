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

// ---- DHTML event maps ----------------------------------------------------------------------
// Handlers for events of the elements of the dialog's document, by element id. The map is
// connected to each top-level document when it has completed; an event of an element runs
// the first entry, in map order, whose event and id (compared exactly) match.
constexpr DISPID DISPID_HTMLELEMENTEVENTS_ONCLICK = -600;

class CDHtmlEventSink;

enum class DHtmlEventMapEntryType { ElementId, End };

struct DHtmlEventMapEntry {
    DHtmlEventMapEntryType type = DHtmlEventMapEntryType::End;
    DISPID dispId = 0;
    const char16_t* elementId = nullptr;
    HRESULT (*handler)(CDHtmlEventSink* sink, IHTMLElement* element) = nullptr;
};

class CDHtmlEventSink {
public:
    virtual ~CDHtmlEventSink() = default;
    // The sink's map, ended by an entry of type End; the base map is empty.
    virtual const DHtmlEventMapEntry* GetDHtmlEventMap();
};

#define DECLARE_DHTML_EVENT_MAP()                                 \
public:                                                           \
    const DHtmlEventMapEntry* GetDHtmlEventMap() override;        \
                                                                  \
private:

namespace afx {
template <auto Handler>
struct DHtmlThunk;
template <class T, HRESULT (T::*Handler)(IHTMLElement*)>
struct DHtmlThunk<Handler> {
    static HRESULT Call(CDHtmlEventSink* sink, IHTMLElement* element) {
        return (static_cast<T*>(sink)->*Handler)(element);
    }
};
// An entry for an event of the element with this id.
template <auto Handler>
DHtmlEventMapEntry OnElementEvent(DISPID dispId, const char16_t* elementId) {
    return {DHtmlEventMapEntryType::ElementId, dispId, elementId, &DHtmlThunk<Handler>::Call};
}
template <auto Handler>
DHtmlEventMapEntry OnElementClick(const char16_t* elementId) {
    return OnElementEvent<Handler>(DISPID_HTMLELEMENTEVENTS_ONCLICK, elementId);
}
inline DHtmlEventMapEntry EndOfDHtmlEventMap() { return {}; }
}  // namespace afx

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
    // The address of the page the dialog shows (its last top-level navigation).
    void GetCurrentUrl(std::u16string& url) const { url = m_strCurrentUrl; }
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

    // Runs the DHTML event map's handler for an event of element in the current document.
    // Returns false when no entry matched.
    bool FireDHtmlEvent(DISPID dispId, IHTMLElement* element);

protected:
    std::unique_ptr<COleControlContainer> m_pCtrlCont;
    void CreateBrowserControl();
    void ReleaseBrowser();

private:
    class DHtmlEventConnector;
    DHtmlEventConnector* dhtmlConnector_ = nullptr;  // counted; lives while the browser does
    DWORD dhtmlConnectorCookie_ = 0;
};

// Navigate's flags
constexpr DWORD navNoHistory = 0x2;
