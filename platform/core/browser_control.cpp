// The WebBrowser control over an engine.
#include "browser_control.h"

#include <algorithm>

#include "console_receiver_set.h"
#include "crt/crt.h"
#include "window_manager.h"

namespace platform {
namespace {

VARIANT BstrArg(const std::u16string& text) {
    VARIANT v;
    v.vt = VT_BSTR;
    v.bstrVal = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
    return v;
}
VARIANT ByRefVariant(VARIANT* target) {
    VARIANT v;
    v.vt = VT_VARIANT | VT_BYREF;
    v.pvarVal = target;
    return v;
}
VARIANT BoolRef(VARIANT_BOOL* target) {
    VARIANT v;
    v.vt = VT_BOOL | VT_BYREF;
    v.pboolVal = target;
    return v;
}
VARIANT DispatchArg(IDispatch* disp) {
    VARIANT v;
    v.vt = VT_DISPATCH;
    v.pdispVal = disp;  // not counted: the event's caller holds it
    return v;
}
VARIANT DispatchRef(IDispatch** target) {
    VARIANT v;
    v.vt = VT_DISPATCH | VT_BYREF;
    v.ppdispVal = target;
    return v;
}
VARIANT UintArg(ULONG value) {
    VARIANT v;
    v.vt = VT_UI4;
    v.ulVal = value;
    return v;
}
VARIANT BoolArg(bool value) {
    VARIANT v;
    v.vt = VT_BOOL;
    v.boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
    return v;
}

HRESULT PutBstr(BSTR* out, const std::u16string& text) {
    if (!out) return E_POINTER;
    *out = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
    return *out ? S_OK : E_OUTOFMEMORY;
}
HRESULT PutBool(VARIANT_BOOL* out, VARIANT_BOOL value) {
    if (!out) return E_POINTER;
    *out = value;
    return S_OK;
}
std::u16string VariantText(const VARIANT* v) {
    if (!v) return {};
    if (v->vt == (VT_VARIANT | VT_BYREF)) return VariantText(v->pvarVal);
    if (v->vt == VT_BSTR && v->bstrVal) return v->bstrVal;
    return {};
}

// The pDisp of events raised by a frame: a dispatch object of its own.
class FrameObject final : public DispatchByInterfaceOnly<IDispatch> {
public:
    HRESULT QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        if (iid == IID_IUnknown || iid == IID_IDispatch) {
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

private:
    ~FrameObject() = default;
    ULONG refs_ = 1;
};

}  // namespace

// The one outgoing interface, DWebBrowserEvents2.
class BrowserControl::EventPoint final : public IConnectionPoint {
public:
    explicit EventPoint(BrowserControl& owner) : owner_(owner) {}
    HRESULT QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        if (iid == IID_IUnknown || iid == IID_IConnectionPoint) {
            *out = static_cast<IConnectionPoint*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    // The point lives as long as its control.
    ULONG AddRef() override { return owner_.AddRef(); }
    ULONG Release() override { return owner_.Release(); }
    HRESULT GetConnectionInterface(IID* iid) override {
        if (!iid) return E_POINTER;
        *iid = DIID_DWebBrowserEvents2;
        return S_OK;
    }
    HRESULT GetConnectionPointContainer(IConnectionPointContainer** out) override {
        if (!out) return E_POINTER;
        *out = &owner_;
        owner_.AddRef();
        return S_OK;
    }
    HRESULT Advise(IUnknown* sink, DWORD* cookie) override {
        if (!sink || !cookie) return E_POINTER;
        IDispatch* dispatch = nullptr;
        if (FAILED(sink->QueryInterface(DIID_DWebBrowserEvents2, reinterpret_cast<void**>(&dispatch))) &&
            FAILED(sink->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&dispatch))))
            return CONNECT_E_CANNOTCONNECT;  // the sink cannot receive the events
        *cookie = ++lastCookie_;
        sinks_.push_back({*cookie, dispatch});
        return S_OK;
    }
    HRESULT Unadvise(DWORD cookie) override {
        auto it = std::find_if(sinks_.begin(), sinks_.end(), [&](const Sink& s) { return s.cookie == cookie; });
        if (it == sinks_.end()) return CONNECT_E_NOCONNECTION;
        IDispatch* dispatch = it->dispatch;
        sinks_.erase(it);
        dispatch->Release();
        return S_OK;
    }
    void Fire(DISPID dispid, DISPPARAMS* params) {
        // A sink may disconnect (or connect others) while an event runs: walk a copy and
        // skip the ones that have gone.
        std::vector<Sink> now = sinks_;
        for (const Sink& s : now) {
            bool connected = std::any_of(sinks_.begin(), sinks_.end(), [&](const Sink& c) { return c.cookie == s.cookie; });
            if (!connected) continue;
            CComPtr<IDispatch> keep(s.dispatch);
            keep->Invoke(dispid, GUID_NULL, 0, DISPATCH_METHOD, params, nullptr, nullptr, nullptr);
        }
    }
    void DisconnectAll() {
        std::vector<Sink> gone;
        gone.swap(sinks_);
        for (const Sink& s : gone) s.dispatch->Release();
    }

private:
    struct Sink {
        DWORD cookie;
        IDispatch* dispatch;
    };
    BrowserControl& owner_;
    std::vector<Sink> sinks_;
    DWORD lastCookie_ = 0;
};

BrowserControl::BrowserControl(HWND window, IUnknown* site)
    : window_(window), site_(site), events_(std::make_unique<EventPoint>(*this)) {
    if (WindowObject* w = Live(window_)) w->browser = this;
}

BrowserControl::~BrowserControl() = default;

ULONG BrowserControl::Release() {
    ULONG n = --refCount_;
    if (n == 0) {
        Close();
        delete this;
    }
    return n;
}

void BrowserControl::Close() {
    if (closed_) return;
    closed_ = true;
    AddRef();  // the object must outlive its own clean-up
    link_->engine = nullptr;
    if (link_->consoleReceivers) link_->consoleReceivers->Clear();  // no message can come any more
    engine_.reset();
    events_->DisconnectAll();
    document_.Release();
    newWindowFrame_.Release();
    site_.Release();
    if (WindowObject* w = Live(window_)) w->browser = nullptr;
    --refCount_;
}

template <class I>
CComPtr<I> BrowserControl::SiteInterface(REFIID iid) const {
    CComPtr<I> result;
    if (site_) site_->QueryInterface(iid, reinterpret_cast<void**>(&result));
    return result;
}

template <class I>
CComPtr<I> BrowserControl::SiteService(REFIID service) const {
    CComPtr<I> result;
    if (auto provider = SiteInterface<IServiceProvider>(IID_IServiceProvider))
        provider->QueryService(service, service, reinterpret_cast<void**>(&result));
    return result;
}

void BrowserControl::EnsureEngine() {
    if (engine_ || closed_ || !HasBackend() || !Live(window_)) return;
    EngineOptions options;
    if (auto handler = SiteInterface<IDocHostUIHandler>(IID_IDocHostUIHandler)) {
        DOCHOSTUIINFO info;
        handler->GetHostInfo(&info);
        CComPtr<IDispatch> external;
        options.external = handler->GetExternal(&external) == S_OK && external;
    }
    engine_ = CurrentBackend().CreateEngine(window_, *this, options);
    link_->engine = engine_.get();
}

HRESULT BrowserControl::QueryInterface(REFIID iid, void** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (iid == IID_IUnknown || iid == IID_IDispatch || iid == IID_IWebBrowser || iid == IID_IWebBrowserApp ||
        iid == IID_IWebBrowser2)
        *out = static_cast<IWebBrowser2*>(this);
    else if (iid == IID_IConnectionPointContainer)
        *out = static_cast<IConnectionPointContainer*>(this);
    else if (iid == IID_IBrowserControlPrivate)
        *out = static_cast<IWebBrowser2*>(this);
    if (!*out) return E_NOINTERFACE;
    AddRef();
    return S_OK;
}

HRESULT BrowserControl::FindConnectionPoint(REFIID iid, IConnectionPoint** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (!(iid == DIID_DWebBrowserEvents2)) return CONNECT_E_NOCONNECTION;
    *out = events_.get();
    AddRef();
    return S_OK;
}

void BrowserControl::Fire(DISPID dispid, std::vector<VARIANT>& reversedArgs) {
    DISPPARAMS params;
    params.rgvarg = reversedArgs.data();
    params.cArgs = static_cast<UINT>(reversedArgs.size());
    CComPtr<IWebBrowser2> keep(this);  // a handler may release the last reference
    events_->Fire(dispid, &params);
}

IDispatch* BrowserControl::FrameDispatch(bool topLevel) {
    if (topLevel) {
        AddRef();
        return static_cast<IWebBrowser2*>(this);
    }
    return new FrameObject;
}

// ---- Events -------------------------------------------------------------------------------

bool BrowserControl::OnBeforeNavigate(const std::u16string& url, bool topLevel) {
    CComPtr<IDispatch> disp;
    disp.Attach(FrameDispatch(topLevel));
    VARIANT urlValue = BstrArg(url), flags, target = BstrArg(u""), postData, headers = BstrArg(u"");
    flags.vt = VT_I4;
    flags.lVal = 0;
    VARIANT_BOOL cancel = VARIANT_FALSE;
    std::vector<VARIANT> args{BoolRef(&cancel), ByRefVariant(&headers), ByRefVariant(&postData),
                              ByRefVariant(&target), ByRefVariant(&flags), ByRefVariant(&urlValue),
                              DispatchArg(disp)};
    Fire(DISPID_BEFORENAVIGATE2, args);
    VariantClear(&urlValue);
    VariantClear(&target);
    VariantClear(&headers);
    VariantClear(&postData);
    return cancel != VARIANT_FALSE;
}

void BrowserControl::OnNavigateComplete(const std::u16string& url, bool topLevel) {
    if (topLevel) {
        ++link_->generation;
        document_ = CreateHtmlDocument(link_);
    }
    CComPtr<IDispatch> disp;
    disp.Attach(FrameDispatch(topLevel));
    VARIANT urlValue = BstrArg(url);
    std::vector<VARIANT> args{ByRefVariant(&urlValue), DispatchArg(disp)};
    Fire(DISPID_NAVIGATECOMPLETE2, args);
    VariantClear(&urlValue);
}

void BrowserControl::OnDocumentComplete(const std::u16string& url, bool topLevel) {
    CComPtr<IDispatch> disp;
    disp.Attach(FrameDispatch(topLevel));
    VARIANT urlValue = BstrArg(url);
    std::vector<VARIANT> args{ByRefVariant(&urlValue), DispatchArg(disp)};
    Fire(DISPID_DOCUMENTCOMPLETE, args);
    VariantClear(&urlValue);
}

void BrowserControl::OnTitleChange(const std::u16string& title) {
    std::vector<VARIANT> args{BstrArg(title)};
    Fire(DISPID_TITLECHANGE, args);
    VariantClear(&args[0]);
}

Engine* BrowserControl::OnNewWindow(const NewWindowRequest& request) {
    // NewWindow3 first; NewWindow2 only when the host left NewWindow3 unanswered.
    IDispatch* newWindow = nullptr;
    VARIANT_BOOL cancel = VARIANT_FALSE;
    {
        std::vector<VARIANT> args{BstrArg(request.url), BstrArg(request.referrer),
                                  UintArg(request.userInitiated ? NWMF_USERINITED : 0), BoolRef(&cancel),
                                  DispatchRef(&newWindow)};
        Fire(DISPID_NEWWINDOW3, args);
        VariantClear(&args[0]);
        VariantClear(&args[1]);
    }
    if (!cancel && !newWindow) {
        std::vector<VARIANT> args{BoolRef(&cancel), DispatchRef(&newWindow)};
        Fire(DISPID_NEWWINDOW2, args);
    }
    CComPtr<IDispatch> answer;
    answer.Attach(newWindow);  // the host's reference now belongs to the browser
    if (cancel || !answer) return nullptr;
    CComPtr<IWebBrowser2> frame;
    answer->QueryInterface(IID_IWebBrowser2, reinterpret_cast<void**>(&frame));
    CComPtr<IWebBrowser2> inner;
    answer->QueryInterface(IID_IBrowserControlPrivate, reinterpret_cast<void**>(&inner));
    if (!inner) return nullptr;  // not a browser of this layer: nothing can load the page
    auto* control = static_cast<BrowserControl*>(inner.get());
    control->EnsureEngine();
    if (!control->engine_) return nullptr;
    // The browser keeps the new window object until the window is placed and shown.
    control->AcceptAsNewWindow(frame ? frame : inner);
    return control->engine_.get();
}

void BrowserControl::AcceptAsNewWindow(CComPtr<IWebBrowser2> frame) { newWindowFrame_ = std::move(frame); }

void BrowserControl::OnReadyToShow(const WindowFeatures& features) {
    CComPtr<IWebBrowser2> frame = std::move(newWindowFrame_);
    if (!frame) return;
    frame->put_MenuBar(features.menuBar ? VARIANT_TRUE : VARIANT_FALSE);
    frame->put_StatusBar(features.statusBar ? VARIANT_TRUE : VARIANT_FALSE);
    frame->put_Resizable(features.resizable ? VARIANT_TRUE : VARIANT_FALSE);
    if (features.width || features.height) {
        LONG currentWidth = 0, currentHeight = 0;
        frame->get_Width(&currentWidth);
        frame->get_Height(&currentHeight);
        int cx = features.width.value_or(currentWidth), cy = features.height.value_or(currentHeight);
        // The page gives the size of its page area; the window is larger by its frame.
        if (features.width && features.height) frame->ClientToWindow(&cx, &cy);
        if (features.width) frame->put_Width(cx);
        if (features.height) frame->put_Height(cy);
    }
    if (features.left) frame->put_Left(*features.left);
    if (features.top) frame->put_Top(*features.top);
    frame->put_Visible(VARIANT_TRUE);
    // The browser lets go of the new window object here.
}

void BrowserControl::OnWindowClosing() {
    VARIANT_BOOL cancel = VARIANT_FALSE;
    std::vector<VARIANT> args{BoolRef(&cancel), BoolArg(false)};
    Fire(DISPID_WINDOWCLOSING, args);
}

bool BrowserControl::OnScriptWindowOp(ScriptWindowOp op, LONG a, LONG b) {
    auto services = SiteService<IHTMLOMWindowServices>(IID_IHTMLOMWindowServices);
    if (!services) return false;
    HRESULT hr = E_FAIL;
    switch (op) {
    case ScriptWindowOp::MoveTo: hr = services->moveTo(a, b); break;
    case ScriptWindowOp::MoveBy: hr = services->moveBy(a, b); break;
    case ScriptWindowOp::ResizeTo: hr = services->resizeTo(a, b); break;
    case ScriptWindowOp::ResizeBy: hr = services->resizeBy(a, b); break;
    }
    return SUCCEEDED(hr);
}

bool BrowserControl::OnFileDownload(bool activeDocument) {
    VARIANT_BOOL cancel = VARIANT_FALSE;
    std::vector<VARIANT> args{BoolRef(&cancel), BoolArg(activeDocument)};
    Fire(DISPID_FILEDOWNLOAD, args);
    return cancel == VARIANT_FALSE;
}

void BrowserControl::OnConsoleMessage(const ConsoleMessage& message) {
    // The receivers registered with the current document (its command target) get them.
    if (std::shared_ptr<ConsoleReceiverSet> receivers = link_->consoleReceivers) receivers->Deliver(message);
}

void BrowserControl::OnScriptError(const std::u16string& message, const std::u16string& url, ULONG line) {
    // The host decides whether the user sees script errors; without its answer they are shown.
    if (auto target = SiteInterface<IOleCommandTarget>(IID_IOleCommandTarget)) {
        VARIANT in, out;
        HRESULT hr = target->Exec(nullptr, OLECMDID_SHOWSCRIPTERROR, 0, &in, &out);
        bool silent = hr == S_OK && out.vt == VT_BOOL && out.boolVal == VARIANT_TRUE;
        VariantClear(&out);
        if (silent) return;
    }
    if (silent_ == VARIANT_TRUE) return;
    std::u16string text = u"A script on this page caused an error.\n\nLine: " +
                          text::FromUtf8(std::to_string(line)) + u"\nError: " + message + u"\nURL: " + url;
    MessageBoxW(nullptr, text.c_str(), u"Script Error", MB_OK | MB_ICONWARNING);
}

bool BrowserControl::OnAuthenticate(const std::u16string&, std::u16string* userName, std::u16string* password) {
    auto authenticate = SiteService<IAuthenticate>(IID_IAuthenticate);
    if (!authenticate) return false;
    HWND window = nullptr;
    char16_t* user = nullptr;
    char16_t* pass = nullptr;
    HRESULT hr = authenticate->Authenticate(&window, &user, &pass);
    bool ok = hr == S_OK && user && pass;
    if (ok) {
        *userName = user;
        *password = pass;
    }
    CoTaskMemFree(user);
    CoTaskMemFree(pass);
    return ok;
}

// ---- Keys -----------------------------------------------------------------------------------

bool BrowserControl::TranslateAccelerator(MSG* msg) {
    if (auto handler = SiteInterface<IDocHostUIHandler>(IID_IDocHostUIHandler))
        if (handler->TranslateAccelerator(msg, nullptr, 0) == S_OK) return true;
    if (msg->message != WM_KEYDOWN || !engine_) return false;
    // The control's own keys: zoom with Ctrl and =, - or 0; F5 reloads.
    bool control = GetAsyncKeyState(VK_CONTROL) & 0x8000;
    int key = static_cast<int>(msg->wParam);
    if (control && key == VK_OEM_PLUS) engine_->Zoom(+1);
    else if (control && key == VK_OEM_MINUS) engine_->Zoom(-1);
    else if (control && key == '0') engine_->Zoom(0);
    else if (!control && key == VK_F5) engine_->Refresh();
    else return false;
    return true;
}

// ---- IWebBrowser2 ---------------------------------------------------------------------------

HRESULT BrowserControl::GoBack() { return E_FAIL; }
HRESULT BrowserControl::GoForward() { return E_FAIL; }
HRESULT BrowserControl::GoHome() { return E_NOTIMPL; }
HRESULT BrowserControl::GoSearch() { return E_NOTIMPL; }

HRESULT BrowserControl::Navigate(BSTR url, VARIANT*, VARIANT*, VARIANT*, VARIANT*) {
    if (closed_) return E_FAIL;
    std::u16string address = url ? std::u16string(url) : std::u16string();
    EnsureEngine();
    if (!engine_) return E_FAIL;
    engine_->Navigate(address);
    return S_OK;
}

HRESULT BrowserControl::Navigate2(VARIANT* url, VARIANT* flags, VARIANT* target, VARIANT* postData, VARIANT* headers) {
    std::u16string address = VariantText(url);
    CComBSTR b(address.c_str());
    return Navigate(b, flags, target, postData, headers);
}

HRESULT BrowserControl::Refresh() {
    if (!engine_) return E_FAIL;
    engine_->Refresh();
    return S_OK;
}
HRESULT BrowserControl::Refresh2(VARIANT*) { return Refresh(); }
HRESULT BrowserControl::Stop() {
    if (engine_) engine_->Stop();
    return S_OK;
}

HRESULT BrowserControl::get_Application(IDispatch** out) {
    if (!out) return E_POINTER;
    *out = static_cast<IWebBrowser2*>(this);
    AddRef();
    return S_OK;
}
HRESULT BrowserControl::get_Parent(IDispatch** out) { return get_Application(out); }
HRESULT BrowserControl::get_Container(IDispatch** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    return E_NOINTERFACE;
}

HRESULT BrowserControl::get_Document(IDispatch** out) {
    if (!out) return E_POINTER;
    *out = document_.get();
    if (!*out) return S_FALSE;
    (*out)->AddRef();
    return S_OK;
}

HRESULT BrowserControl::get_TopLevelContainer(VARIANT_BOOL* out) { return PutBool(out, VARIANT_TRUE); }
HRESULT BrowserControl::get_Type(BSTR* out) { return PutBstr(out, document_ ? u"HTML Document" : u""); }

HRESULT BrowserControl::get_Left(LONG* out) {
    if (!out) return E_POINTER;
    RECT r{};
    ::GetWindowRect(window_, &r);
    *out = r.left;
    return S_OK;
}
HRESULT BrowserControl::get_Top(LONG* out) {
    if (!out) return E_POINTER;
    RECT r{};
    ::GetWindowRect(window_, &r);
    *out = r.top;
    return S_OK;
}
HRESULT BrowserControl::get_Width(LONG* out) {
    if (!out) return E_POINTER;
    RECT r{};
    ::GetWindowRect(window_, &r);
    *out = r.right - r.left;
    return S_OK;
}
HRESULT BrowserControl::get_Height(LONG* out) {
    if (!out) return E_POINTER;
    RECT r{};
    ::GetWindowRect(window_, &r);
    *out = r.bottom - r.top;
    return S_OK;
}
// A hosted control is placed by its host.
HRESULT BrowserControl::put_Left(LONG) { return S_OK; }
HRESULT BrowserControl::put_Top(LONG) { return S_OK; }
HRESULT BrowserControl::put_Width(LONG) { return S_OK; }
HRESULT BrowserControl::put_Height(LONG) { return S_OK; }

HRESULT BrowserControl::get_LocationName(BSTR* out) { return PutBstr(out, engine_ ? engine_->Title() : u""); }
HRESULT BrowserControl::get_LocationURL(BSTR* out) { return PutBstr(out, engine_ ? engine_->Url() : u""); }
HRESULT BrowserControl::get_Busy(VARIANT_BOOL* out) {
    return PutBool(out, engine_ && engine_->Busy() ? VARIANT_TRUE : VARIANT_FALSE);
}

HRESULT BrowserControl::Quit() { return S_OK; }
HRESULT BrowserControl::ClientToWindow(int* cx, int* cy) { return cx && cy ? S_OK : E_POINTER; }
HRESULT BrowserControl::PutProperty(BSTR, VARIANT) { return E_NOTIMPL; }
HRESULT BrowserControl::GetProperty(BSTR, VARIANT* value) {
    if (value) VariantInit(value);
    return E_NOTIMPL;
}
HRESULT BrowserControl::get_Name(BSTR* out) { return PutBstr(out, u"Web Browser Control"); }
HRESULT BrowserControl::get_HWND(SHANDLE_PTR* out) {
    if (!out) return E_POINTER;
    *out = reinterpret_cast<SHANDLE_PTR>(window_);
    return S_OK;
}
HRESULT BrowserControl::get_FullName(BSTR* out) { return PutBstr(out, u""); }
HRESULT BrowserControl::get_Path(BSTR* out) { return PutBstr(out, u""); }
HRESULT BrowserControl::get_Visible(VARIANT_BOOL* out) { return PutBool(out, visible_); }
HRESULT BrowserControl::put_Visible(VARIANT_BOOL value) {
    visible_ = value ? VARIANT_TRUE : VARIANT_FALSE;
    return S_OK;
}
HRESULT BrowserControl::get_StatusBar(VARIANT_BOOL* out) { return PutBool(out, statusBar_); }
HRESULT BrowserControl::put_StatusBar(VARIANT_BOOL value) {
    statusBar_ = value;
    return S_OK;
}
HRESULT BrowserControl::get_StatusText(BSTR* out) { return PutBstr(out, statusText_); }
HRESULT BrowserControl::put_StatusText(BSTR value) {
    statusText_ = value ? value : u"";
    return S_OK;
}
HRESULT BrowserControl::get_ToolBar(int* out) {
    if (!out) return E_POINTER;
    *out = toolBar_;
    return S_OK;
}
HRESULT BrowserControl::put_ToolBar(int value) {
    toolBar_ = value;
    return S_OK;
}
HRESULT BrowserControl::get_MenuBar(VARIANT_BOOL* out) { return PutBool(out, menuBar_); }
HRESULT BrowserControl::put_MenuBar(VARIANT_BOOL value) {
    menuBar_ = value;
    return S_OK;
}
HRESULT BrowserControl::get_FullScreen(VARIANT_BOOL* out) { return PutBool(out, fullScreen_); }
HRESULT BrowserControl::put_FullScreen(VARIANT_BOOL value) {
    fullScreen_ = value;
    return S_OK;
}
HRESULT BrowserControl::QueryStatusWB(OLECMDID, OLECMDF* status) {
    if (!status) return E_POINTER;
    *status = OLECMDF_SUPPORTED;
    return S_OK;
}
HRESULT BrowserControl::ExecWB(OLECMDID command, OLECMDEXECOPT, VARIANT* in, VARIANT*) {
    if (command == OLECMDID_OPTICAL_ZOOM && in && in->vt == VT_I4 && engine_) {
        engine_->Zoom(in->lVal > 100 ? +1 : in->lVal < 100 ? -1 : 0);
        return S_OK;
    }
    return OLECMDERR_E_NOTSUPPORTED;
}
HRESULT BrowserControl::ShowBrowserBar(VARIANT*, VARIANT*, VARIANT*) { return E_NOTIMPL; }
HRESULT BrowserControl::get_ReadyState(READYSTATE* out) {
    if (!out) return E_POINTER;
    *out = !engine_ ? READYSTATE_UNINITIALIZED : engine_->Busy() ? READYSTATE_LOADING : READYSTATE_COMPLETE;
    return S_OK;
}
HRESULT BrowserControl::get_Offline(VARIANT_BOOL* out) { return PutBool(out, offline_); }
HRESULT BrowserControl::put_Offline(VARIANT_BOOL value) {
    offline_ = value;
    return S_OK;
}
HRESULT BrowserControl::get_Silent(VARIANT_BOOL* out) { return PutBool(out, silent_); }
HRESULT BrowserControl::put_Silent(VARIANT_BOOL value) {
    silent_ = value;
    return S_OK;
}
HRESULT BrowserControl::get_RegisterAsBrowser(VARIANT_BOOL* out) { return PutBool(out, registerAsBrowser_); }
HRESULT BrowserControl::put_RegisterAsBrowser(VARIANT_BOOL value) {
    registerAsBrowser_ = value;
    return S_OK;
}
HRESULT BrowserControl::get_RegisterAsDropTarget(VARIANT_BOOL* out) { return PutBool(out, registerAsDropTarget_); }
HRESULT BrowserControl::put_RegisterAsDropTarget(VARIANT_BOOL value) {
    registerAsDropTarget_ = value;
    return S_OK;
}
HRESULT BrowserControl::get_TheaterMode(VARIANT_BOOL* out) { return PutBool(out, theaterMode_); }
HRESULT BrowserControl::put_TheaterMode(VARIANT_BOOL value) {
    theaterMode_ = value;
    return S_OK;
}
HRESULT BrowserControl::get_AddressBar(VARIANT_BOOL* out) { return PutBool(out, addressBar_); }
HRESULT BrowserControl::put_AddressBar(VARIANT_BOOL value) {
    addressBar_ = value;
    return S_OK;
}
HRESULT BrowserControl::get_Resizable(VARIANT_BOOL* out) { return PutBool(out, resizable_); }
HRESULT BrowserControl::put_Resizable(VARIANT_BOOL value) {
    resizable_ = value;
    return S_OK;
}

}  // namespace platform
