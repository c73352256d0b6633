// The band container and the extended combo box.
#include "afx/controls.h"

#include "window_manager.h"

BOOL CReBar::Create(CWnd* parent, DWORD barStyle, DWORD style, UINT id) {
    if (!parent || !parent->m_hWnd || m_hWnd) return FALSE;
    // The bar's own style bits (CBRS_*) are the framework's; the window keeps the rest.
    DWORD windowStyle = (style & ~(CBRS_ALIGN_TOP | CBRS_BORDER_BOTTOM)) | barStyle;
    RECT client{};
    ::GetClientRect(parent->m_hWnd, &client);
    RECT rect{0, 0, client.right, 0};
    HWND window = platform::CreateControlWindow(platform::WindowClass::ReBar, 0, u"", windowStyle, rect,
                                                parent->m_hWnd, static_cast<int>(id));
    return window && Attach(window);
}

BOOL CReBar::AddBar(CWnd* child, LPCWSTR text, void*, DWORD bandStyle) {
    WindowObject* bar = platform::Live(m_hWnd);
    if (!bar || !child || !platform::Live(child->m_hWnd)) return FALSE;
    bar->bands.push_back({text ? std::u16string(text) : std::u16string(), child->m_hWnd, bandStyle});
    if (platform::HasBackend()) platform::CurrentBackend().WindowChanged(m_hWnd, platform::kChangeBands);
    return TRUE;
}

BOOL CComboBoxEx::Create(DWORD style, const RECT& rect, CWnd* parent, UINT id) {
    if (!parent || !parent->m_hWnd || m_hWnd) return FALSE;
    HWND window = platform::CreateControlWindow(platform::WindowClass::ComboBoxEx, 0, u"", style, rect,
                                                parent->m_hWnd, static_cast<int>(id));
    return window && Attach(window);
}

HWND CComboBoxEx::GetEditCtrlHandle() const {
    return reinterpret_cast<HWND>(::SendMessageW(m_hWnd, CBEM_GETEDITCONTROL, 0, 0));
}
