// The WebBrowser control: the COM object a host sees (IWebBrowser2 with its events through a
// connection point), driving an engine of the backend and asking the host's site for its
// answers (user-interface handler, command target, services).
#pragma once

#include <memory>
#include <vector>

#include "backend/backend.h"
#include "com/ptr.h"
#include "dispatch_without_type_info.h"
#include "mshtml/document.h"
#include "mshtml/host.h"
#include "mshtml/webbrowser.h"

namespace platform {

class ConsoleReceiverSet;

// A private interface through which the layer finds the control behind an IWebBrowser2 that a
// host hands back as a new window (the host forwards unknown interfaces to its inner browser).
inline constexpr IID IID_IBrowserControlPrivate{0x6C1E5A7B, 0x2F43, 0x4D1A, {0x9E, 0x3B, 0x51, 0x70, 0x0C, 0x2A, 0x8D, 0x41}};

// What documents of a control share with it: the engine while the control lives, and the
// generation of the current document (a document of an earlier navigation reads nothing).
struct EngineLink {
    Engine* engine = nullptr;
    unsigned generation = 0;
    // The console receivers registered with the current document (a new set for each).
    std::shared_ptr<ConsoleReceiverSet> consoleReceivers;
};

// Hears the clicks in a control's documents (the HTML dialog's DHTML event map).
class ElementClickSink {
public:
    virtual void OnElementClick(IHTMLElement* element) = 0;

protected:
    ~ElementClickSink() = default;
};

class BrowserControl final : public DispatchByInterfaceOnly<IWebBrowser2>, public IConnectionPointContainer, public EngineClient {
public:
    // site: the host's client site (the control keeps a reference until Close).
    BrowserControl(HWND window, IUnknown* site);
    BrowserControl(const BrowserControl&) = delete;
    BrowserControl& operator=(const BrowserControl&) = delete;

    // Makes the engine once the host's site is in place.
    void Start() { EnsureEngine(); }
    // Ends the control: the engine goes, sinks are disconnected, the site is released.
    void Close();
    HWND Window() const { return window_; }
    Engine* GetEngine() const { return link_->engine; }
    // The browser's own keyboard handling, after the host's: true when the key was taken.
    bool TranslateAccelerator(MSG* msg);
    // This control was handed back as a new window; frame is the object the host gave
    // (the browser's reference, held until the window is placed and shown).
    void AcceptAsNewWindow(CComPtr<IWebBrowser2> frame);
    // One sink at most; null disconnects it.
    void SetElementClickSink(ElementClickSink* sink) { clickSink_ = sink; }

    // IUnknown
    HRESULT QueryInterface(REFIID iid, void** out) override;
    ULONG AddRef() override { return ++refCount_; }
    ULONG Release() override;
    // IWebBrowser
    HRESULT GoBack() override;
    HRESULT GoForward() override;
    HRESULT GoHome() override;
    HRESULT GoSearch() override;
    HRESULT Navigate(BSTR url, VARIANT* flags, VARIANT* targetFrameName, VARIANT* postData, VARIANT* headers) override;
    HRESULT Refresh() override;
    HRESULT Refresh2(VARIANT* level) override;
    HRESULT Stop() override;
    HRESULT get_Application(IDispatch** out) override;
    HRESULT get_Parent(IDispatch** out) override;
    HRESULT get_Container(IDispatch** out) override;
    HRESULT get_Document(IDispatch** out) override;
    HRESULT get_TopLevelContainer(VARIANT_BOOL* out) override;
    HRESULT get_Type(BSTR* out) override;
    HRESULT get_Left(LONG* out) override;
    HRESULT put_Left(LONG value) override;
    HRESULT get_Top(LONG* out) override;
    HRESULT put_Top(LONG value) override;
    HRESULT get_Width(LONG* out) override;
    HRESULT put_Width(LONG value) override;
    HRESULT get_Height(LONG* out) override;
    HRESULT put_Height(LONG value) override;
    HRESULT get_LocationName(BSTR* out) override;
    HRESULT get_LocationURL(BSTR* out) override;
    HRESULT get_Busy(VARIANT_BOOL* out) override;
    // IWebBrowserApp
    HRESULT Quit() override;
    HRESULT ClientToWindow(int* cx, int* cy) override;
    HRESULT PutProperty(BSTR property, VARIANT value) override;
    HRESULT GetProperty(BSTR property, VARIANT* value) override;
    HRESULT get_Name(BSTR* out) override;
    HRESULT get_HWND(SHANDLE_PTR* out) override;
    HRESULT get_FullName(BSTR* out) override;
    HRESULT get_Path(BSTR* out) override;
    HRESULT get_Visible(VARIANT_BOOL* out) override;
    HRESULT put_Visible(VARIANT_BOOL value) override;
    HRESULT get_StatusBar(VARIANT_BOOL* out) override;
    HRESULT put_StatusBar(VARIANT_BOOL value) override;
    HRESULT get_StatusText(BSTR* out) override;
    HRESULT put_StatusText(BSTR value) override;
    HRESULT get_ToolBar(int* out) override;
    HRESULT put_ToolBar(int value) override;
    HRESULT get_MenuBar(VARIANT_BOOL* out) override;
    HRESULT put_MenuBar(VARIANT_BOOL value) override;
    HRESULT get_FullScreen(VARIANT_BOOL* out) override;
    HRESULT put_FullScreen(VARIANT_BOOL value) override;
    // IWebBrowser2
    HRESULT Navigate2(VARIANT* url, VARIANT* flags, VARIANT* targetFrameName, VARIANT* postData, VARIANT* headers) override;
    HRESULT QueryStatusWB(OLECMDID command, OLECMDF* status) override;
    HRESULT ExecWB(OLECMDID command, OLECMDEXECOPT option, VARIANT* in, VARIANT* out) override;
    HRESULT ShowBrowserBar(VARIANT* clsid, VARIANT* show, VARIANT* size) override;
    HRESULT get_ReadyState(READYSTATE* out) override;
    HRESULT get_Offline(VARIANT_BOOL* out) override;
    HRESULT put_Offline(VARIANT_BOOL value) override;
    HRESULT get_Silent(VARIANT_BOOL* out) override;
    HRESULT put_Silent(VARIANT_BOOL value) override;
    HRESULT get_RegisterAsBrowser(VARIANT_BOOL* out) override;
    HRESULT put_RegisterAsBrowser(VARIANT_BOOL value) override;
    HRESULT get_RegisterAsDropTarget(VARIANT_BOOL* out) override;
    HRESULT put_RegisterAsDropTarget(VARIANT_BOOL value) override;
    HRESULT get_TheaterMode(VARIANT_BOOL* out) override;
    HRESULT put_TheaterMode(VARIANT_BOOL value) override;
    HRESULT get_AddressBar(VARIANT_BOOL* out) override;
    HRESULT put_AddressBar(VARIANT_BOOL value) override;
    HRESULT get_Resizable(VARIANT_BOOL* out) override;
    HRESULT put_Resizable(VARIANT_BOOL value) override;
    // IConnectionPointContainer
    HRESULT FindConnectionPoint(REFIID iid, IConnectionPoint** out) override;

    // EngineClient
    bool OnBeforeNavigate(const std::u16string& url, bool topLevel) override;
    void OnNavigateComplete(const std::u16string& url, bool topLevel) override;
    void OnDocumentComplete(const std::u16string& url, bool topLevel) override;
    void OnTitleChange(const std::u16string& title) override;
    Engine* OnNewWindow(const NewWindowRequest& request) override;
    void OnReadyToShow(const WindowFeatures& features) override;
    void OnWindowClosing() override;
    bool OnScriptWindowOp(ScriptWindowOp op, LONG a, LONG b) override;
    bool OnFileDownload(bool activeDocument) override;
    void OnConsoleMessage(const ConsoleMessage& message) override;
    void OnScriptError(const std::u16string& message, const std::u16string& url, ULONG line) override;
    bool OnAuthenticate(const std::u16string& url, std::u16string* userName, std::u16string* password) override;
    void OnElementClick(const ElementData& element) override;

private:
    ~BrowserControl();
    void EnsureEngine();
    template <class I>
    CComPtr<I> SiteInterface(REFIID iid) const;
    template <class I>
    CComPtr<I> SiteService(REFIID service) const;
    // Sends an event to the connected sinks, in the order they connected.
    void Fire(DISPID dispid, std::vector<VARIANT>& reversedArgs);
    IDispatch* FrameDispatch(bool topLevel);

    class EventPoint;
    ULONG refCount_ = 1;  // the creator's
    HWND window_;
    CComPtr<IUnknown> site_;
    std::unique_ptr<Engine> engine_;
    std::shared_ptr<EngineLink> link_ = std::make_shared<EngineLink>();
    std::unique_ptr<EventPoint> events_;
    CComPtr<IDispatch> document_;
    CComPtr<IWebBrowser2> newWindowFrame_;
    bool closed_ = false;
    VARIANT_BOOL visible_ = VARIANT_FALSE, silent_ = VARIANT_FALSE, offline_ = VARIANT_FALSE;
    VARIANT_BOOL registerAsBrowser_ = VARIANT_FALSE, registerAsDropTarget_ = VARIANT_TRUE;
    VARIANT_BOOL statusBar_ = VARIANT_FALSE, menuBar_ = VARIANT_FALSE, fullScreen_ = VARIANT_FALSE;
    VARIANT_BOOL theaterMode_ = VARIANT_FALSE, addressBar_ = VARIANT_FALSE, resizable_ = VARIANT_TRUE;
    int toolBar_ = 0;
    std::u16string statusText_;
    ElementClickSink* clickSink_ = nullptr;
};

// The document object of a control's current page.
CComPtr<IDispatch> CreateHtmlDocument(std::shared_ptr<EngineLink> link);

}  // namespace platform
