// The full-screen view and the main window's keyboard rules.
#include "mainwindow/corvale_dlg.h"

using namespace mainwindow;

BOOL CCorvaleDlg::PreTranslateMessage(MSG* msg) {
    if (msg->message != WM_KEYDOWN) return CDHtmlDialog::PreTranslateMessage(msg);
    HWND edit = addressBox.m_hWnd ? addressBox.GetEditCtrlHandle() : nullptr;
    if (edit && ::GetFocus() == edit && msg->wParam == static_cast<WPARAM>(VK_RETURN)) {
        NavigateToTypedAddress();
        return TRUE;
    }
    // Enter and Escape go to the focused window unchanged and never become OK or Cancel.
    if (msg->wParam == static_cast<WPARAM>(VK_RETURN) || msg->wParam == static_cast<WPARAM>(VK_ESCAPE)) return FALSE;
    if (msg->wParam == static_cast<WPARAM>(VK_F11)) {
        fullScreen = !fullScreen;
        if (fullScreen) EnterFullScreen();
        else ExitFullScreen();
        return TRUE;
    }
    return CDHtmlDialog::PreTranslateMessage(msg);
}

void CCorvaleDlg::EnterFullScreen() {
    if (addressBar.m_hWnd) addressBar.SetWindowPos(nullptr, 0, 0, 0, 0, SWP_HIDEWINDOW | SWP_FRAMECHANGED);
    savedMenu = ::GetMenu(m_hWnd);
    ::SetMenu(m_hWnd, nullptr);
    savedStyle = GetStyle();
    savedExStyle = GetExStyle();
    GetWindowRect(&savedRect);
    ModifyStyle(WS_CAPTION | WS_THICKFRAME, 0, SWP_FRAMECHANGED);
    ModifyStyleEx(WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE | WS_EX_CLIENTEDGE | WS_EX_STATICEDGE, 0, SWP_FRAMECHANGED);
    MONITORINFO info;
    if (::GetMonitorInfoW(::MonitorFromWindow(m_hWnd, MONITOR_DEFAULTTONEAREST), &info)) {
        const RECT& r = info.rcMonitor;
        SetWindowPos(nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                     SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    }
    if (m_wndBrowser.m_hWnd) m_wndBrowser.SetFocus();
}

void CCorvaleDlg::ExitFullScreen() {
    SetWindowPos(nullptr, savedRect.left, savedRect.top, savedRect.right - savedRect.left,
                 savedRect.bottom - savedRect.top, SWP_FRAMECHANGED);
    ModifyStyle(0, savedStyle, SWP_FRAMECHANGED);
    ModifyStyleEx(0, savedExStyle, SWP_FRAMECHANGED);
    if (savedMenu) ::SetMenu(m_hWnd, savedMenu);
    RECT client{};
    GetClientRect(&client);
    if (m_wndBrowser.m_hWnd)
        m_wndBrowser.MoveWindow(0, kAddressBarHeight, client.right, client.bottom - kAddressBarHeight, TRUE);
    if (addressBar.m_hWnd)
        addressBar.SetWindowPos(nullptr, 0, 0, client.right, kAddressBarHeight, SWP_SHOWWINDOW | SWP_FRAMECHANGED);
}

HRESULT CCorvaleDlg::TranslateAccelerator(MSG* msg, const GUID*, DWORD) {
    bool control = (::GetAsyncKeyState(VK_CONTROL) & 0x8000) != 0;
    if (control && msg && (msg->wParam == 0x4E || msg->wParam == 0x4F)) return S_OK;
    return S_FALSE;
}
