// Button objects, control exchange, and the CWnd helpers that dialogs use on their controls.
#include "afx/buttons.h"

#include "window_manager.h"

void CButton::SetCheck(int state) { ::SendMessageW(m_hWnd, BM_SETCHECK, static_cast<WPARAM>(state), 0); }

int CButton::GetCheck() const { return static_cast<int>(::SendMessageW(m_hWnd, BM_GETCHECK, 0, 0)); }

BOOL CWnd::EnableWindow(BOOL enable) { return ::EnableWindow(m_hWnd, enable); }

BOOL CWnd::IsWindowEnabled() const { return ::IsWindowEnabled(m_hWnd); }

int CWnd::GetDlgItemText(int id, std::u16string& text) const {
    text.clear();
    HWND control = ::GetDlgItem(m_hWnd, id);
    if (!control) return 0;
    int length = ::GetWindowTextLengthW(control);
    text.assign(static_cast<std::size_t>(length) + 1, u'\0');
    text.resize(static_cast<std::size_t>(::GetWindowTextW(control, text.data(), length + 1)));
    return static_cast<int>(text.size());
}

void DDX_Control(CDataExchange* dx, int id, CWnd& control) {
    if (control.m_hWnd) return;  // attached by an earlier exchange
    if (HWND window = ::GetDlgItem(dx->m_pDlgWnd->m_hWnd, id)) control.Attach(window);
}
