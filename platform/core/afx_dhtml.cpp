// The HTML dialog: hosts the browser control and answers for its host.
#include "afx/dhtml.h"

#include "browser_control.h"
#include "com/connection_points.h"
#include "window_manager.h"

namespace {
// The layer's control behind the dialog's browser, or null.
platform::BrowserControl* ControlOf(IWebBrowser2* browser) {
    if (!browser) return nullptr;
    IWebBrowser2* control = nullptr;
    if (FAILED(browser->QueryInterface(platform::IID_IBrowserControlPrivate, reinterpret_cast<void**>(&control))) ||
        !control)
        return nullptr;
    control->Release();  // the dialog's own reference keeps it
    return static_cast<platform::BrowserControl*>(control);
}
}  // namespace

// Connects the dialog's DHTML event map to each top-level document once it has completed
// and disconnects it when the next one arrives; it hears the browser's events on a
// connection of its own, whatever the dialog's event sink map does with them.
class CDHtmlDialog::DHtmlEventConnector final : public platform::DispatchWithoutTypeInfo<IDispatch>, public platform::ElementClickSink {
public:
    explicit DHtmlEventConnector(CDHtmlDialog& dialog) : dialog_(&dialog) {}
    void Detach() {
        dialog_ = nullptr;
        connected_ = false;
    }

    HRESULT QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        if (iid == IID_IUnknown || iid == IID_IDispatch || iid == DIID_DWebBrowserEvents2) {
            *out = static_cast<IDispatch*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG AddRef() override { return ++refs_; }
    ULONG Release() override {
        ULONG n = --refs_;
        if (!n) delete this;
        return n;
    }
    HRESULT Invoke(DISPID dispid, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*, EXCEPINFO*, UINT*) override {
        if (!dialog_ || !params || params->cArgs < 2) return S_OK;
        if (dispid != DISPID_NAVIGATECOMPLETE2 && dispid != DISPID_DOCUMENTCOMPLETE) return S_OK;
        // pDisp, the first argument, comes last.
        const VARIANT& first = params->rgvarg[params->cArgs - 1];
        if (first.vt != VT_DISPATCH || !IsTopLevel(first.pdispVal)) return S_OK;
        connected_ = dispid == DISPID_DOCUMENTCOMPLETE;
        return S_OK;
    }

    void OnElementClick(IHTMLElement* element) override {
        if (dialog_ && connected_) dialog_->FireDHtmlEvent(DISPID_HTMLELEMENTEVENTS_ONCLICK, element);
    }

private:
    ~DHtmlEventConnector() = default;
    bool IsTopLevel(IDispatch* disp) const {
        if (!disp || !dialog_->m_pBrowserApp) return false;
        CComPtr<IUnknown> a, b;
        disp->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&a));
        dialog_->m_pBrowserApp->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&b));
        return a && a.get() == b.get();
    }
    ULONG refs_ = 1;
    CDHtmlDialog* dialog_;
    bool connected_ = false;
};

const DHtmlEventMapEntry* CDHtmlEventSink::GetDHtmlEventMap() {
    static const DHtmlEventMapEntry empty[] = {afx::EndOfDHtmlEventMap()};
    return empty;
}

const AFX_MSGMAP* CDHtmlDialog::GetThisMessageMap() {
    static const AFX_MSGMAP_ENTRY entries[] = {
        afx::OnMessage<WM_SIZE, &CDHtmlDialog::OnSize>(),
        afx::OnMessage<WM_DESTROY, &CDHtmlDialog::OnDestroy>(),
    };
    static const AFX_MSGMAP map{&CDialog::GetThisMessageMap, entries, std::size(entries)};
    return &map;
}
const AFX_MSGMAP* CDHtmlDialog::GetMessageMap() const { return GetThisMessageMap(); }

const AFX_EVENTSINKMAP* CDHtmlDialog::GetThisEventSinkMap() {
    static const AFX_EVENTSINKMAP_ENTRY entries[] = {
        afx::OnEvent<AFX_IDC_BROWSER, DISPID_BEFORENAVIGATE2, &CDHtmlDialog::_OnBeforeNavigate2>(),
        afx::OnEvent<AFX_IDC_BROWSER, DISPID_NAVIGATECOMPLETE2, &CDHtmlDialog::_OnNavigateComplete2>(),
        afx::OnEvent<AFX_IDC_BROWSER, DISPID_DOCUMENTCOMPLETE, &CDHtmlDialog::_OnDocumentComplete>(),
    };
    static const AFX_EVENTSINKMAP map{&CWnd::GetThisEventSinkMap, entries, std::size(entries)};
    return &map;
}
const AFX_EVENTSINKMAP* CDHtmlDialog::GetEventSinkMap() const { return GetThisEventSinkMap(); }

CDHtmlDialog::CDHtmlDialog(UINT templateId, UINT htmlResId, CWnd* parent)
    : CDialog(templateId, parent), m_nHtmlResID(htmlResId) {}

CDHtmlDialog::~CDHtmlDialog() { ReleaseBrowser(); }

void CDHtmlDialog::CreateBrowserControl() {
    m_pCtrlCont = std::make_unique<COleControlContainer>(this);
    RECT client{};
    GetClientRect(&client);
    HWND window = nullptr;
    IUnknown* control = m_pCtrlCont->CreateControl(CLSID_WebBrowser, AFX_IDC_BROWSER, client, &window);
    if (!control) return;
    m_wndBrowser.Attach(window);
    control->QueryInterface(IID_IWebBrowser2, reinterpret_cast<void**>(&m_pBrowserApp));
    if (platform::BrowserControl* browser = ControlOf(m_pBrowserApp.get())) {
        dhtmlConnector_ = new DHtmlEventConnector(*this);
        AtlAdvise(m_pBrowserApp.get(), static_cast<IDispatch*>(dhtmlConnector_), DIID_DWebBrowserEvents2,
                  &dhtmlConnectorCookie_);
        browser->SetElementClickSink(dhtmlConnector_);
    }
}

void CDHtmlDialog::ReleaseBrowser() {
    if (dhtmlConnector_) {
        if (platform::BrowserControl* browser = ControlOf(m_pBrowserApp.get())) browser->SetElementClickSink(nullptr);
        if (m_pBrowserApp && dhtmlConnectorCookie_)
            AtlUnadvise(m_pBrowserApp.get(), DIID_DWebBrowserEvents2, dhtmlConnectorCookie_);
        dhtmlConnectorCookie_ = 0;
        dhtmlConnector_->Detach();
        dhtmlConnector_->Release();
        dhtmlConnector_ = nullptr;
    }
    m_spHtmlDoc.Release();
    m_pBrowserApp.Release();
    if (m_pCtrlCont) m_pCtrlCont->DestroyControls();
    m_wndBrowser.Detach();
    m_pCtrlCont.reset();
}

void CDHtmlDialog::OnDestroy() { ReleaseBrowser(); }

BOOL CDHtmlDialog::OnInitDialog() {
    CDialog::OnInitDialog();
    CreateBrowserControl();
    if (m_nHtmlResID) LoadFromResource(m_nHtmlResID);
    else if (!m_strCurrentUrl.empty()) Navigate(m_strCurrentUrl.c_str());
    return TRUE;
}

void CDHtmlDialog::Navigate(LPCWSTR url, DWORD flags, LPCWSTR targetFrame, LPCWSTR headers, void*, DWORD) {
    if (!m_pBrowserApp) return;
    CComBSTR address(url ? url : u"");
    VARIANT vFlags, vTarget, vHeaders, vPost;
    vFlags.vt = VT_I4;
    vFlags.lVal = static_cast<LONG>(flags);
    vTarget.vt = VT_BSTR;
    vTarget.bstrVal = SysAllocString(targetFrame ? targetFrame : u"");
    vHeaders.vt = VT_BSTR;
    vHeaders.bstrVal = SysAllocString(headers ? headers : u"");
    m_pBrowserApp->Navigate(address, &vFlags, &vTarget, &vPost, &vHeaders);
    VariantClear(&vTarget);
    VariantClear(&vHeaders);
}

BOOL CDHtmlDialog::LoadFromResource(UINT htmlResId) {
    // res://<module path>/<id>, the address of the program's own HTML resource.
    char16_t module[MAX_PATH] = {};
    if (!GetModuleFileNameW(nullptr, module, MAX_PATH)) return FALSE;
    std::u16string address = u"res://" + std::u16string(module) + u"/";
    for (char c : std::to_string(htmlResId)) address += static_cast<char16_t>(c);
    m_nHtmlResID = htmlResId;
    Navigate(address.c_str());
    return TRUE;
}

HRESULT CDHtmlDialog::GetDHtmlDocument(IHTMLDocument2** document) {
    if (!document) return E_POINTER;
    *document = m_spHtmlDoc.get();
    if (!*document) return E_NOINTERFACE;
    (*document)->AddRef();
    return S_OK;
}

bool CDHtmlDialog::FireDHtmlEvent(DISPID dispId, IHTMLElement* element) {
    if (!element) return false;
    CComBSTR id;
    if (FAILED(element->get_id(&id))) return false;
    std::u16string elementId = id.get() ? std::u16string(id.get(), id.Length()) : std::u16string();
    for (const DHtmlEventMapEntry* entry = GetDHtmlEventMap(); entry && entry->type != DHtmlEventMapEntryType::End;
         ++entry) {
        if (entry->type != DHtmlEventMapEntryType::ElementId || entry->dispId != dispId || !entry->elementId ||
            elementId != entry->elementId || !entry->handler)
            continue;
        entry->handler(this, element);
        return true;
    }
    return false;
}

void CDHtmlDialog::OnBeforeNavigate(IDispatch*, LPCWSTR) {}

void CDHtmlDialog::OnNavigateComplete(IDispatch* disp, LPCWSTR url) {
    // The top-level browser's navigation brings the dialog a new current document.
    if (!m_pBrowserApp || !disp) return;
    CComPtr<IUnknown> a, b;
    disp->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&a));
    m_pBrowserApp->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&b));
    if (!a || a.get() != b.get()) return;
    m_strCurrentUrl = url ? url : u"";
    CComPtr<IDispatch> document;
    m_spHtmlDoc.Release();
    if (m_pBrowserApp->get_Document(&document) == S_OK && document)
        document->QueryInterface(IID_IHTMLDocument2, reinterpret_cast<void**>(&m_spHtmlDoc));
}

void CDHtmlDialog::OnDocumentComplete(IDispatch*, LPCWSTR) {}

void CDHtmlDialog::_OnBeforeNavigate2(IDispatch* disp, VARIANT* url, VARIANT*, VARIANT*, VARIANT*, VARIANT*,
                                      VARIANT_BOOL*) {
    OnBeforeNavigate(disp, url && url->vt == VT_BSTR ? url->bstrVal : nullptr);
}

void CDHtmlDialog::_OnNavigateComplete2(IDispatch* disp, VARIANT* url) {
    OnNavigateComplete(disp, url && url->vt == VT_BSTR ? url->bstrVal : nullptr);
}

void CDHtmlDialog::_OnDocumentComplete(IDispatch* disp, VARIANT* url) {
    OnDocumentComplete(disp, url && url->vt == VT_BSTR ? url->bstrVal : nullptr);
}

void CDHtmlDialog::OnSize(UINT, int cx, int cy) {
    Default();
    if (m_wndBrowser.m_hWnd) m_wndBrowser.MoveWindow(0, 0, cx, cy);
}

BOOL CDHtmlDialog::PreTranslateMessage(MSG* msg) {
    // Keys inside the page go to the browser's keyboard handling, which asks the host first.
    if (msg->message >= WM_KEYDOWN && msg->message <= WM_SYSKEYUP && m_wndBrowser.m_hWnd) {
        for (HWND h = msg->hwnd; h && h != m_hWnd; h = ::GetParent(h)) {
            if (h != m_wndBrowser.m_hWnd) continue;
            if (WindowObject* w = platform::Live(h); w && w->browser && w->browser->TranslateAccelerator(msg))
                return TRUE;
            break;
        }
    }
    return CDialog::PreTranslateMessage(msg);
}

// ---- The host's user-interface handler, as the framework answers it ---------------------------
HRESULT CDHtmlDialog::ShowContextMenu(DWORD, POINT*, IUnknown*, IDispatch*) { return S_FALSE; }
HRESULT CDHtmlDialog::GetHostInfo(DOCHOSTUIINFO* info) {
    if (!info) return E_POINTER;
    info->dwFlags = m_dwHostFlags;
    return S_OK;
}
HRESULT CDHtmlDialog::ShowUI(DWORD, IOleInPlaceActiveObject*, IOleCommandTarget*, IOleInPlaceFrame*,
                             IOleInPlaceUIWindow*) {
    return S_FALSE;
}
HRESULT CDHtmlDialog::HideUI() { return E_NOTIMPL; }
HRESULT CDHtmlDialog::UpdateUI() { return E_NOTIMPL; }
HRESULT CDHtmlDialog::EnableModeless(BOOL) { return E_NOTIMPL; }
HRESULT CDHtmlDialog::OnDocWindowActivate(BOOL) { return E_NOTIMPL; }
HRESULT CDHtmlDialog::OnFrameWindowActivate(BOOL) { return E_NOTIMPL; }
HRESULT CDHtmlDialog::ResizeBorder(const RECT*, IOleInPlaceUIWindow*, BOOL) { return E_NOTIMPL; }
HRESULT CDHtmlDialog::TranslateAccelerator(MSG*, const GUID*, DWORD) { return S_FALSE; }
HRESULT CDHtmlDialog::GetOptionKeyPath(char16_t**, DWORD) { return E_NOTIMPL; }
HRESULT CDHtmlDialog::GetDropTarget(IDropTarget*, IDropTarget** out) {
    if (out) *out = nullptr;
    return E_NOTIMPL;
}
HRESULT CDHtmlDialog::GetExternal(IDispatch** out) {
    if (out) *out = nullptr;
    return E_NOTIMPL;
}
HRESULT CDHtmlDialog::TranslateUrl(DWORD, char16_t*, char16_t** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    return S_FALSE;
}
HRESULT CDHtmlDialog::FilterDataObject(IDataObject*, IDataObject** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    return S_FALSE;
}
