// Window objects, message dispatch and the message loop.
#include "window_manager.h"

#include <algorithm>
#include <deque>
#include <memory>
#include <unordered_map>
#include <utility>

#include "afx/wnd.h"

namespace platform {
namespace {

struct WindowTable {
    std::unordered_map<WindowObject*, std::unique_ptr<WindowObject>> windows;
    std::deque<MSG> posted;
};

WindowTable& Table() {
    static WindowTable table;
    return table;
}

}  // namespace

WindowObject* Live(HWND window) {
    if (!window) return nullptr;
    auto& windows = Table().windows;
    auto it = windows.find(window);
    return it == windows.end() || it->second->destroyed ? nullptr : it->second.get();
}

HWND CreateWindowObject(WindowClass cls, DWORD exStyle, const std::u16string& text, DWORD style,
                        const RECT& rect, HWND parentOrOwner, int id) {
    auto object = std::make_unique<WindowObject>();
    object->cls = cls;
    object->exStyle = exStyle;
    object->text = text;
    object->style = style;
    object->rect = rect;
    object->id = id;
    WindowObject* relative = Live(parentOrOwner);
    if (style & WS_CHILD) {
        if (!relative) {
            SetLastError(ERROR_INVALID_PARAMETER);  // a child needs a parent
            return nullptr;
        }
        object->parent = relative;
        relative->children.push_back(object.get());
    } else {
        // The owner of a top-level window is always a top-level window.
        while (relative && relative->parent) relative = relative->parent;
        object->owner = relative;
    }
    HWND handle = object.get();
    Table().windows.emplace(handle, std::move(object));
    if (HasBackend()) CurrentBackend().WindowCreated(handle);
    return handle;
}

HWND CreateControlWindow(WindowClass cls, DWORD exStyle, const std::u16string& text, DWORD style,
                         const RECT& rect, HWND parent, int id) {
    style |= WS_CHILD;
    if (cls != WindowClass::ComboBoxEx) return CreateWindowObject(cls, exStyle, text, style, rect, parent, id);
    // The edit field exists before the combo box is shown, so the backend sees both.
    HWND box = CreateWindowObject(cls, exStyle, text, style & ~WS_VISIBLE, rect, parent, id);
    if (!box) return nullptr;
    RECT editRect{0, 0, rect.right - rect.left, rect.bottom - rect.top};
    box->edit = CreateWindowObject(WindowClass::Edit, 0, u"", WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL, editRect, box, 1001);
    if (style & WS_VISIBLE) ShowWindow(box, SW_SHOW);
    return box;
}

LRESULT Dispatch(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    WindowObject* w = Live(window);
    if (!w) return 0;
    if (w->wnd) return w->wnd->WindowProc(message, wParam, lParam);
    return DefaultWindowProc(window, message, wParam, lParam);
}

RECT FrameInsetsOf(const WindowObject& window) {
    if (window.parent || !HasBackend()) return RECT{};
    return CurrentBackend().FrameInsets(window.style, window.exStyle, window.menu != nullptr);
}

RECT ClientRectOf(const WindowObject& window) {
    RECT insets = FrameInsetsOf(window);
    LONG width = window.rect.right - window.rect.left - insets.left - insets.right;
    LONG height = window.rect.bottom - window.rect.top - insets.top - insets.bottom;
    return RECT{0, 0, std::max<LONG>(width, 0), std::max<LONG>(height, 0)};
}

bool RunMessageLoop(const std::function<bool()>& done) {
    auto& posted = Table().posted;
    while (!done()) {
        if (!posted.empty()) {
            MSG msg = posted.front();
            posted.pop_front();
            if (msg.hwnd && !Live(msg.hwnd)) continue;
            CWinApp* app = AfxGetApp();
            HWND stop = app && app->m_pMainWnd ? app->m_pMainWnd->m_hWnd : nullptr;
            if (msg.hwnd && CWnd::WalkPreTranslateTree(stop, &msg)) continue;
            if (msg.hwnd) Dispatch(msg.hwnd, msg.message, msg.wParam, msg.lParam);
            continue;
        }
        if (!HasBackend() || !CurrentBackend().RunEvents(true)) return false;
    }
    return true;
}


}  // namespace platform

using platform::Live;

BOOL PostMessageW(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (window && !Live(window)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    platform::Table().posted.push_back(MSG{window, message, wParam, lParam, 0, {}});
    if (platform::HasBackend()) platform::CurrentBackend().Wake();
    return TRUE;
}

LRESULT SendMessageW(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return platform::Dispatch(window, message, wParam, lParam);
}

BOOL IsWindow(HWND window) { return Live(window) ? TRUE : FALSE; }

BOOL DestroyWindow(HWND window) {
    WindowObject* w = Live(window);
    if (!w) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    auto& table = platform::Table();
    // Owned windows and children go first, as on the platform.
    std::vector<HWND> owned;
    for (auto& [handle, object] : table.windows)
        if (!object->destroyed && object->owner == w) owned.push_back(handle);
    for (HWND h : owned) DestroyWindow(h);
    // The window hears WM_DESTROY before its children go.
    platform::Dispatch(window, WM_DESTROY, 0, 0);
    if (!(w = Live(window))) return TRUE;
    std::vector<HWND> children = w->children;
    for (HWND h : children) DestroyWindow(h);

    if (GetFocus() == window) SetFocus(nullptr);
    if (platform::HasBackend()) platform::CurrentBackend().WindowDestroyed(window);
    // A top-level window's menu goes with it, as on the platform; a menu the program took
    // off the window beforehand is the program's to destroy.
    if (!w->parent && w->menu) DestroyMenu(std::exchange(w->menu, nullptr));
    w->destroyed = true;
    if (w->parent) {
        auto& siblings = w->parent->children;
        siblings.erase(std::remove(siblings.begin(), siblings.end(), window), siblings.end());
    }
    CWnd* framework = w->wnd;
    w->wnd = nullptr;
    if (framework) {
        framework->m_hWnd = nullptr;
        framework->PostNcDestroy();
    }
    table.windows.erase(window);
    return TRUE;
}
