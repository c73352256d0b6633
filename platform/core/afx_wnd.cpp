// CWnd: message maps, event sink maps, pre-translation and the window helpers.
#include "afx/wnd.h"

#include <vector>

#include "window_manager.h"

CWnd::~CWnd() {
    if (m_hWnd) {
        HWND window = m_hWnd;
        ::DestroyWindow(window);
    }
}

CWnd* CWnd::FromHandlePermanent(HWND window) {
    WindowObject* w = platform::Live(window);
    return w ? w->wnd : nullptr;
}

BOOL CWnd::Attach(HWND window) {
    WindowObject* w = platform::Live(window);
    if (!w || m_hWnd) return FALSE;
    w->wnd = this;
    m_hWnd = window;
    return TRUE;
}

HWND CWnd::Detach() {
    HWND window = m_hWnd;
    if (WindowObject* w = platform::Live(window); w && w->wnd == this) w->wnd = nullptr;
    m_hWnd = nullptr;
    return window;
}

const AFX_MSGMAP* CWnd::GetThisMessageMap() {
    static const AFX_MSGMAP map{nullptr, nullptr, 0};
    return &map;
}
const AFX_MSGMAP* CWnd::GetMessageMap() const { return GetThisMessageMap(); }

const AFX_EVENTSINKMAP* CWnd::GetThisEventSinkMap() {
    static const AFX_EVENTSINKMAP map{nullptr, nullptr, 0};
    return &map;
}
const AFX_EVENTSINKMAP* CWnd::GetEventSinkMap() const { return GetThisEventSinkMap(); }

BOOL CWnd::OnEvent(UINT controlId, DISPID dispid, DISPPARAMS* params) {
    for (const AFX_EVENTSINKMAP* map = GetEventSinkMap(); map; map = map->base ? map->base() : nullptr)
        for (std::size_t i = 0; i < map->count; ++i)
            if (map->entries[i].controlId == controlId && map->entries[i].dispid == dispid) {
                map->entries[i].handler(this, params);
                return TRUE;
            }
    return FALSE;
}

BOOL CWnd::OnCommand(WPARAM wParam, LPARAM) {
    UINT id = LOWORD(wParam);
    for (const AFX_MSGMAP* map = GetMessageMap(); map; map = map->base ? map->base() : nullptr)
        for (std::size_t i = 0; i < map->count; ++i) {
            const AFX_MSGMAP_ENTRY& e = map->entries[i];
            if (e.message == WM_COMMAND && id >= e.idFirst && id <= e.idLast) {
                e.handler(this, wParam, 0);
                return TRUE;
            }
        }
    return FALSE;
}

namespace {
// The message the thread's innermost WindowProc handles, for Default(). The thread keeps it,
// not the window object: a handler may end with the object's deletion (a popup released by
// its own Cancel), after which nothing of the object may be touched.
struct HandledMessage {
    UINT message = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
};
thread_local HandledMessage handledMessage;
}  // namespace

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    const HandledMessage saved = handledMessage;
    handledMessage = {message, wParam, lParam};
    LRESULT result = 0;
    bool handled = false;
    if (message == WM_COMMAND) {
        handled = OnCommand(wParam, lParam) != FALSE;
    } else {
        for (const AFX_MSGMAP* map = GetMessageMap(); map && !handled; map = map->base ? map->base() : nullptr)
            for (std::size_t i = 0; i < map->count; ++i)
                if (map->entries[i].message == message) {
                    result = map->entries[i].handler(this, wParam, lParam);
                    handled = true;
                    break;
                }
    }
    if (!handled) result = DefWindowProc(message, wParam, lParam);
    handledMessage = saved;
    return result;
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    return m_hWnd ? platform::DefaultWindowProc(m_hWnd, message, wParam, lParam) : 0;
}

LRESULT CWnd::Default() { return DefWindowProc(handledMessage.message, handledMessage.wParam, handledMessage.lParam); }

BOOL CWnd::PreTranslateMessage(MSG*) { return FALSE; }

BOOL CWnd::CreateControlSite(COleControlContainer*, COleControlSite**, UINT, REFCLSID) { return FALSE; }

BOOL CWnd::WalkPreTranslateTree(HWND stop, MSG* msg) {
    for (HWND h = msg->hwnd; h; h = ::GetParent(h)) {
        if (CWnd* w = FromHandlePermanent(h); w && w->PreTranslateMessage(msg)) return TRUE;
        if (h == stop) break;
    }
    return FALSE;
}

LRESULT CWnd::SendMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    return ::SendMessageW(m_hWnd, message, wParam, lParam);
}
BOOL CWnd::PostMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    return ::PostMessageW(m_hWnd, message, wParam, lParam);
}

DWORD CWnd::GetStyle() const { return static_cast<DWORD>(::GetWindowLongW(m_hWnd, GWL_STYLE)); }
DWORD CWnd::GetExStyle() const { return static_cast<DWORD>(::GetWindowLongW(m_hWnd, GWL_EXSTYLE)); }

namespace {
BOOL ModifyLong(HWND window, int index, DWORD remove, DWORD add, UINT flags) {
    if (!platform::Live(window)) return FALSE;
    DWORD style = static_cast<DWORD>(::GetWindowLongW(window, index));
    DWORD changed = (style & ~remove) | add;
    if (changed == style) return FALSE;
    ::SetWindowLongW(window, index, static_cast<LONG>(changed));
    if (flags) ::SetWindowPos(window, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | flags);
    return TRUE;
}
}  // namespace

BOOL CWnd::ModifyStyle(HWND window, DWORD remove, DWORD add, UINT flags) {
    return ModifyLong(window, GWL_STYLE, remove, add, flags);
}
BOOL CWnd::ModifyStyleEx(HWND window, DWORD remove, DWORD add, UINT flags) {
    return ModifyLong(window, GWL_EXSTYLE, remove, add, flags);
}
BOOL CWnd::ModifyStyle(DWORD remove, DWORD add, UINT flags) { return ModifyStyle(m_hWnd, remove, add, flags); }
BOOL CWnd::ModifyStyleEx(DWORD remove, DWORD add, UINT flags) { return ModifyStyleEx(m_hWnd, remove, add, flags); }

BOOL CWnd::SetWindowPos(const CWnd* insertAfter, int x, int y, int cx, int cy, UINT flags) {
    return ::SetWindowPos(m_hWnd, insertAfter ? insertAfter->m_hWnd : nullptr, x, y, cx, cy, flags);
}
void CWnd::MoveWindow(int x, int y, int width, int height, BOOL repaint) { ::MoveWindow(m_hWnd, x, y, width, height, repaint); }
void CWnd::GetWindowRect(LPRECT rect) const { ::GetWindowRect(m_hWnd, rect); }
void CWnd::GetClientRect(LPRECT rect) const { ::GetClientRect(m_hWnd, rect); }
BOOL CWnd::ShowWindow(int command) { return ::ShowWindow(m_hWnd, command); }
BOOL CWnd::IsWindowVisible() const { return ::IsWindowVisible(m_hWnd); }
BOOL CWnd::DestroyWindow() { return m_hWnd ? ::DestroyWindow(m_hWnd) : FALSE; }
void CWnd::SetWindowText(LPCWSTR text) { ::SetWindowTextW(m_hWnd, text); }

std::u16string CWnd::GetWindowText() const {
    int length = ::GetWindowTextLengthW(m_hWnd);
    std::u16string text(static_cast<std::size_t>(length) + 1, u'\0');
    int n = ::GetWindowTextW(m_hWnd, text.data(), length + 1);
    text.resize(static_cast<std::size_t>(n));
    return text;
}

CWnd* CWnd::SetFocus() { return FromHandlePermanent(::SetFocus(m_hWnd)); }
void CWnd::Invalidate(BOOL erase) { ::InvalidateRect(m_hWnd, nullptr, erase); }
CWnd* CWnd::GetParent() const { return FromHandlePermanent(::GetParent(m_hWnd)); }
HWND CWnd::GetDlgItemHandle(int id) const { return ::GetDlgItem(m_hWnd, id); }

void CWnd::CenterWindow(CWnd* alternateOwner) {
    RECT self{};
    GetWindowRect(&self);
    RECT area{};
    HWND owner = alternateOwner ? alternateOwner->m_hWnd : ::GetWindow(m_hWnd, GW_OWNER);
    if (owner && ::IsWindowVisible(owner)) {
        ::GetWindowRect(owner, &area);
    } else {
        MONITORINFO info;
        if (!::GetMonitorInfoW(::MonitorFromWindow(m_hWnd, MONITOR_DEFAULTTONEAREST), &info)) return;
        area = info.rcWork;
    }
    LONG width = self.right - self.left, height = self.bottom - self.top;
    LONG x = area.left + ((area.right - area.left) - width) / 2;
    LONG y = area.top + ((area.bottom - area.top) - height) / 2;
    // Keep the caption on the monitor.
    if (x < area.left) x = area.left;
    if (y < area.top) y = area.top;
    ::SetWindowPos(m_hWnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

int CWnd::MessageBox(LPCWSTR text, LPCWSTR caption, UINT type) {
    CWinApp* app = AfxGetApp();
    if (!caption) caption = app && app->m_pszAppName ? app->m_pszAppName : u"";
    return ::MessageBoxW(m_hWnd, text, caption, type);
}
