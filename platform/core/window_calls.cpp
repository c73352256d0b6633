// Geometry, styles, text, focus and relations of windows.
#include <algorithm>
#include <map>

#include "window_manager.h"

using platform::Live;

namespace {
HWND focusWindow = nullptr;

void Notify(HWND window, unsigned changes) {
    if (platform::HasBackend()) platform::CurrentBackend().WindowChanged(window, changes);
}

// The screen position of a window's client area.
POINT ClientOrigin(const WindowObject& w) {
    RECT insets = platform::FrameInsetsOf(w);
    POINT p{w.rect.left + insets.left, w.rect.top + insets.top};
    if (w.parent) {
        POINT parent = ClientOrigin(*w.parent);
        p.x += parent.x;
        p.y += parent.y;
    }
    return p;
}

// Kept until the next SetWindowPos, which compares the client area with it: only a
// top-level window's frame depends on its style.
void RememberClientBeforeStyleChange(WindowObject& w) {
    if (!w.parent && !w.clientBeforeStyleChange) w.clientBeforeStyleChange = platform::ClientRectOf(w);
}

// Sends the size and position notifications after the geometry or the frame changed.
void AfterGeometryChange(HWND window, const RECT& oldClient) {
    WindowObject* w = Live(window);
    if (!w) return;
    SendMessageW(window, WM_WINDOWPOSCHANGED, 0, 0);
    if (!(w = Live(window))) return;
    RECT client = platform::ClientRectOf(*w);
    if (client.right != oldClient.right || client.bottom != oldClient.bottom) {
        SendMessageW(window, WM_SIZE, 0,
                     static_cast<LPARAM>((static_cast<std::uint32_t>(client.bottom & 0xFFFF) << 16) |
                                         static_cast<std::uint32_t>(client.right & 0xFFFF)));
    }
}
}  // namespace

BOOL SetWindowPos(HWND window, HWND insertAfter, int x, int y, int cx, int cy, UINT flags) {
    WindowObject* w = Live(window);
    if (!w) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    RECT oldClient = w->clientBeforeStyleChange.value_or(platform::ClientRectOf(*w));
    RECT r = w->rect;
    if (!(flags & SWP_NOMOVE)) {
        LONG width = r.right - r.left, height = r.bottom - r.top;
        r = RECT{x, y, x + width, y + height};
    }
    if (!(flags & SWP_NOSIZE)) {
        r.right = r.left + std::max(cx, 0);
        r.bottom = r.top + std::max(cy, 0);
    }
    unsigned changes = 0;
    if (!(r == w->rect)) changes |= platform::kChangeGeometry;
    w->rect = r;
    if (flags & SWP_FRAMECHANGED) changes |= platform::kChangeGeometry | platform::kChangeStyle;
    if ((flags & SWP_SHOWWINDOW) && !(w->style & WS_VISIBLE)) {
        w->style |= WS_VISIBLE;
        changes |= platform::kChangeVisibility;
    }
    if ((flags & SWP_HIDEWINDOW) && (w->style & WS_VISIBLE)) {
        w->style &= ~WS_VISIBLE;
        changes |= platform::kChangeVisibility;
    }
    if (!(flags & SWP_NOZORDER) && w->parent) {
        auto& siblings = w->parent->children;
        siblings.erase(std::remove(siblings.begin(), siblings.end(), window), siblings.end());
        auto at = siblings.begin();
        if (WindowObject* after = Live(insertAfter); after && after->parent == w->parent) {
            at = std::find(siblings.begin(), siblings.end(), after);
            if (at != siblings.end()) ++at;
        }
        siblings.insert(at, window);
    }
    if (changes) Notify(window, changes);
    if (changes & (platform::kChangeGeometry | platform::kChangeStyle)) {
        w->clientBeforeStyleChange.reset();
        AfterGeometryChange(window, oldClient);
    }
    return TRUE;
}

BOOL MoveWindow(HWND window, int x, int y, int width, int height, BOOL repaint) {
    return SetWindowPos(window, nullptr, x, y, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

BOOL GetWindowRect(HWND window, LPRECT rect) {
    WindowObject* w = Live(window);
    if (!w || !rect) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    if (!w->parent) {
        *rect = w->rect;
        return TRUE;
    }
    POINT origin = ClientOrigin(*w->parent);
    *rect = RECT{w->rect.left + origin.x, w->rect.top + origin.y, w->rect.right + origin.x,
                 w->rect.bottom + origin.y};
    return TRUE;
}

BOOL GetClientRect(HWND window, LPRECT rect) {
    WindowObject* w = Live(window);
    if (!w || !rect) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    *rect = platform::ClientRectOf(*w);
    return TRUE;
}

BOOL AdjustWindowRectEx(LPRECT rect, DWORD style, BOOL menu, DWORD exStyle) {
    if (!rect) return FALSE;
    RECT insets = platform::HasBackend() ? platform::CurrentBackend().FrameInsets(style, exStyle, menu != FALSE)
                                         : RECT{};
    rect->left -= insets.left;
    rect->top -= insets.top;
    rect->right += insets.right;
    rect->bottom += insets.bottom;
    return TRUE;
}

BOOL AdjustWindowRect(LPRECT rect, DWORD style, BOOL menu) { return AdjustWindowRectEx(rect, style, menu, 0); }

BOOL ShowWindow(HWND window, int command) {
    WindowObject* w = Live(window);
    if (!w) return FALSE;
    BOOL wasVisible = (w->style & WS_VISIBLE) ? TRUE : FALSE;
    bool show = command != SW_HIDE;
    if (show != (wasVisible == TRUE)) {
        if (show) w->style |= WS_VISIBLE;
        else w->style &= ~WS_VISIBLE;
        Notify(window, platform::kChangeVisibility);
        if (!show && focusWindow) {
            // Hiding a window takes the focus away from it and from everything inside it.
            for (WindowObject* f = Live(focusWindow); f; f = f->parent)
                if (f == w) {
                    focusWindow = nullptr;
                    break;
                }
        }
    }
    return wasVisible;
}

BOOL IsWindowVisible(HWND window) {
    for (WindowObject* w = Live(window); w; w = w->parent)
        if (!(w->style & WS_VISIBLE)) return FALSE;
    return Live(window) ? TRUE : FALSE;
}

LONG GetWindowLongW(HWND window, int index) {
    WindowObject* w = Live(window);
    if (!w) {
        SetLastError(ERROR_INVALID_HANDLE);
        return 0;
    }
    switch (index) {
    case GWL_STYLE: return static_cast<LONG>(w->style);
    case GWL_EXSTYLE: return static_cast<LONG>(w->exStyle);
    case GWL_ID: return w->id;
    default: SetLastError(ERROR_INVALID_PARAMETER); return 0;
    }
}

LONG SetWindowLongW(HWND window, int index, LONG value) {
    WindowObject* w = Live(window);
    if (!w) {
        SetLastError(ERROR_INVALID_HANDLE);
        return 0;
    }
    LONG old = GetWindowLongW(window, index);
    auto v = static_cast<DWORD>(value);
    switch (index) {
    case GWL_STYLE:
        if (w->style != v) {
            RememberClientBeforeStyleChange(*w);
            unsigned changes = platform::kChangeStyle;
            if ((w->style ^ v) & WS_VISIBLE) changes |= platform::kChangeVisibility;
            w->style = v;
            Notify(window, changes);
        }
        break;
    case GWL_EXSTYLE:
        if (w->exStyle != v) {
            RememberClientBeforeStyleChange(*w);
            w->exStyle = v;
            Notify(window, platform::kChangeStyle);
        }
        break;
    case GWL_ID: w->id = value; break;
    default: SetLastError(ERROR_INVALID_PARAMETER); return 0;
    }
    return old;
}

BOOL SetWindowTextW(HWND window, LPCWSTR text) {
    if (!Live(window)) return FALSE;
    return SendMessageW(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text)) ? TRUE : FALSE;
}

int GetWindowTextW(HWND window, LPWSTR buffer, int max) {
    if (!Live(window) || !buffer || max <= 0) return 0;
    return static_cast<int>(SendMessageW(window, WM_GETTEXT, static_cast<WPARAM>(max), reinterpret_cast<LPARAM>(buffer)));
}

int GetWindowTextLengthW(HWND window) {
    return Live(window) ? static_cast<int>(SendMessageW(window, WM_GETTEXTLENGTH, 0, 0)) : 0;
}

HWND GetWindow(HWND window, UINT relation) {
    WindowObject* w = Live(window);
    if (!w) return nullptr;
    switch (relation) {
    case GW_CHILD: return w->children.empty() ? nullptr : w->children.front();
    case GW_OWNER: return w->owner;
    case GW_HWNDNEXT:
    case GW_HWNDFIRST: {
        if (!w->parent) return nullptr;
        auto& siblings = w->parent->children;
        if (relation == GW_HWNDFIRST) return siblings.front();
        auto it = std::find(siblings.begin(), siblings.end(), window);
        return it != siblings.end() && ++it != siblings.end() ? *it : nullptr;
    }
    default: return nullptr;
    }
}

HWND GetParent(HWND window) {
    WindowObject* w = Live(window);
    if (!w) return nullptr;
    return (w->style & WS_CHILD) ? w->parent : w->owner;
}

HWND GetDlgItem(HWND dialog, int id) {
    WindowObject* w = Live(dialog);
    if (!w) return nullptr;
    for (HWND child : w->children)
        if (child->id == id) return child;
    return nullptr;
}

int GetDlgCtrlID(HWND window) {
    WindowObject* w = Live(window);
    return w ? w->id : 0;
}

HWND SetFocus(HWND window) {
    HWND previous = focusWindow;
    if (window && !Live(window)) return nullptr;
    focusWindow = window;
    if (window && platform::HasBackend()) platform::CurrentBackend().FocusWindow(window);
    return previous;
}

void platform::RecordFocus(HWND window) { focusWindow = window; }

HWND GetFocus() {
    if (focusWindow && !Live(focusWindow)) focusWindow = nullptr;
    return focusWindow;
}

HWND GetActiveWindow() {
    WindowObject* w = Live(GetFocus());
    while (w && w->parent) w = w->parent;
    return w;
}

BOOL InvalidateRect(HWND window, const RECT*, BOOL) { return Live(window) ? TRUE : FALSE; }
BOOL UpdateWindow(HWND window) { return Live(window) ? TRUE : FALSE; }

BOOL EnableWindow(HWND window, BOOL enable) {
    WindowObject* w = Live(window);
    if (!w) return FALSE;
    BOOL wasDisabled = (w->style & WS_DISABLED) ? TRUE : FALSE;
    if (enable) w->style &= ~WS_DISABLED;
    else w->style |= WS_DISABLED;
    if (wasDisabled != (enable ? FALSE : TRUE)) Notify(window, platform::kChangeEnabled);
    return wasDisabled;
}

BOOL IsWindowEnabled(HWND window) {
    WindowObject* w = Live(window);
    return w && !(w->style & WS_DISABLED) ? TRUE : FALSE;
}

struct MonitorObject {
    RECT rect;
};

HMONITOR MonitorFromWindow(HWND window, DWORD flags) {
    // One handle per distinct monitor rectangle, kept for the process's life.
    static std::map<std::pair<std::pair<LONG, LONG>, std::pair<LONG, LONG>>, MonitorObject> monitors;
    if (!platform::HasBackend()) return nullptr;
    if (!Live(window) && flags == MONITOR_DEFAULTTONULL) return nullptr;
    RECT r = platform::CurrentBackend().MonitorRect(window);
    auto& m = monitors[{{r.left, r.top}, {r.right, r.bottom}}];
    m.rect = r;
    return &m;
}

BOOL GetMonitorInfoW(HMONITOR monitor, MONITORINFO* info) {
    if (!monitor || !info || info->cbSize != sizeof(MONITORINFO)) return FALSE;
    info->rcMonitor = monitor->rect;
    info->rcWork = monitor->rect;
    info->dwFlags = 1;  // the primary monitor
    return TRUE;
}
