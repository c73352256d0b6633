// The object handed to the browser as a new window. It creates and owns the popup dialog,
// answers the browser's questions about the window's frame itself (place, size, visibility,
// menu bar, page size to window size) and passes every other member and interface on to the
// browser inside the popup. Its reference count decides when the popup is destroyed.
#pragma once

#include "mshtml/webbrowser.h"

class CWnd;
class CDerivedHtmlDialog;

class CBrowserWindow final : public IWebBrowser2 {
public:
    // parent owns the popup dialog: always the main window. The new object has no reference
    // yet; the caller's QueryInterface gives the browser the first one.
    explicit CBrowserWindow(CWnd* parent);
    CBrowserWindow(const CBrowserWindow&) = delete;
    CBrowserWindow& operator=(const CBrowserWindow&) = delete;

    // The popup was closed (its OnCancel): takes away the reference that showing it added.
    // A popup closed before it was ever shown takes none, so the browser's own reference is
    // never released for it; it is destroyed once the browser lets go.
    void ReleaseForClose();

    CDerivedHtmlDialog* Dialog() const { return dialog; }
    LONG ReferenceCount() const { return refCount; }

    // IUnknown
    HRESULT QueryInterface(REFIID iid, void** out) override;
    ULONG AddRef() override;
    ULONG Release() override;
    // IDispatch
    HRESULT GetTypeInfoCount(UINT* count) override;
    HRESULT GetTypeInfo(UINT index, LCID lcid, ITypeInfo** info) override;
    HRESULT GetIDsOfNames(REFIID iid, char16_t** names, UINT count, LCID lcid, DISPID* ids) override;
    HRESULT Invoke(DISPID id, REFIID iid, LCID lcid, WORD flags, DISPPARAMS* params, VARIANT* result,
                   EXCEPINFO* exception, UINT* argError) override;
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

private:
    ~CBrowserWindow();
    IWebBrowser2* Inner() const;
    HWND PopupWindow() const;
    // Calls the inner browser's member of the same name, or returns whenMissing without one.
    template <class Interface, class... P, class... A>
    HRESULT Forward(HRESULT (Interface::*member)(P...), HRESULT whenMissing, A&&... args) const {
        Interface* inner = Inner();
        return inner ? (inner->*member)(static_cast<A&&>(args)...) : whenMissing;
    }
    HRESULT ReadRect(LONG* out, LONG (*pick)(const RECT&)) const;
    void DropVisibleReference();

    LONG refCount = 0;
    DWORD menuBar = 0;
    CDerivedHtmlDialog* dialog = nullptr;
    // References that put_Visible(true) added and that neither put_Visible(false) nor the
    // popup's closing has taken away yet. Only these may be taken away again: any other
    // reference belongs to another holder.
    LONG visibleReferences = 0;
    bool closed = false;
};
