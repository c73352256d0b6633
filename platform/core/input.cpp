// What the user did, as the backend reports it, turned into the messages a program sees.
#include "afx/wnd.h"
#include "window_manager.h"

namespace platform::input {

bool Key(HWND target, UINT message, int virtualKey, bool repeat) {
    if (!Live(target)) return false;
    MSG msg{target, message, static_cast<WPARAM>(virtualKey), repeat ? (LPARAM{1} << 30) | 1 : 1, 0, {}};
    CWinApp* app = AfxGetApp();
    HWND stop = app && app->m_pMainWnd ? app->m_pMainWnd->m_hWnd : nullptr;
    return CWnd::WalkPreTranslateTree(stop, &msg) != FALSE;
}

void MenuCommand(HWND window, UINT id) {
    PostMessageW(window, WM_COMMAND, MAKEWPARAM(static_cast<WORD>(id), 0), 0);
}

void CloseRequested(HWND window) { PostMessageW(window, WM_CLOSE, 0, 0); }

void Moved(HWND window, const RECT& rect) {
    WindowObject* w = Live(window);
    if (!w || w->rect == rect) return;
    RECT oldClient = ClientRectOf(*w);
    w->rect = rect;
    SendMessageW(window, WM_WINDOWPOSCHANGED, 0, 0);
    if (!(w = Live(window))) return;
    RECT client = ClientRectOf(*w);
    if (client.right != oldClient.right || client.bottom != oldClient.bottom)
        SendMessageW(window, WM_SIZE, 0,
                     static_cast<LPARAM>((static_cast<std::uint32_t>(client.bottom & 0xFFFF) << 16) |
                                         static_cast<std::uint32_t>(client.right & 0xFFFF)));
}

void FocusChanged(HWND window) {
    // The desktop already moved the focus; only the core's record follows.
    if (!window || Live(window)) RecordFocus(window);
}

void TextChanged(HWND window, const std::u16string& text) {
    if (WindowObject* w = Live(window)) w->text = text;
}

void ItemChosen(HWND comboBox, int index) {
    WindowObject* w = Live(comboBox);
    if (!w || index < 0 || static_cast<std::size_t>(index) >= w->items.size() || !w->edit) return;
    // Choosing from the list only puts the item's text into the edit field.
    w->edit->text = w->items[static_cast<std::size_t>(index)];
    if (HasBackend()) CurrentBackend().WindowChanged(w->edit, kChangeText);
}

void ButtonClicked(HWND button) {
    WindowObject* w = Live(button);
    if (!w || !w->parent || !IsWindowEnabled(button)) return;
    // The click reaches the button first, which updates its check state and tells its parent.
    PostMessageW(button, BM_CLICK, 0, 0);
}

}  // namespace platform::input
