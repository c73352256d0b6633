// The popup window: a modeless HTML dialog (template 103) owned by the main window, with a
// browser of its own whose events it follows, and the event tracer on that browser. Its
// CBrowserWindow creates it, owns it and destroys it when the last reference goes.
#pragma once

#include "afx/dhtml.h"
#include "hosting/web_browser_events.h"

class CBrowserWindow;

namespace hosting {
constexpr UINT kPopupTemplate = 103;
// The framework flag with which the control container's message pre-translation leaves the
// window's keys alone.
constexpr UINT kNoDialogKeysFlag = 0x1000;
}  // namespace hosting

class CDerivedHtmlDialog : public CDHtmlDialog {
    DECLARE_MESSAGE_MAP()
    DECLARE_EVENTSINK_MAP()
public:
    explicit CDerivedHtmlDialog(CWnd* parent);
    ~CDerivedHtmlDialog() override;

    // Creates the hidden modeless window with its browser and connects the tracer.
    void CreateBrowser(CWnd* parent);

    BOOL CreateControlSite(COleControlContainer* container, COleControlSite** site, UINT id,
                           REFCLSID clsid) override;
    BOOL OnInitDialog() override;
    void OnCancel() override;
    void OnNavigateComplete(IDispatch* disp, LPCWSTR url) override;

    // Browser events.
    void OnNewWindow3(IDispatch** newWindow, VARIANT_BOOL* cancel, DWORD flags, BSTR urlContext, BSTR url);
    void OnWindowClosing(VARIANT_BOOL isChildWindow, VARIANT_BOOL* cancel);
    void OnFileDownload(VARIANT_BOOL activeDocument, VARIANT_BOOL* cancel);
    using CDHtmlDialog::OnDocumentComplete;
    void OnDocumentComplete(IDispatch* disp, VARIANT* url);
    void OnTitleChange(BSTR text);

    CBrowserWindow* browserWindow = nullptr;  // the owner; no reference is counted for it
    CWebBrowserEvents eventTracer;
    DWORD eventCookie = 0;  // 0: the tracer is not connected

private:
    void ConnectTracer();
};
