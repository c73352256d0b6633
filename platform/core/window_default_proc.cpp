// Default processing of messages, including the built-in control classes.
#include <algorithm>

#include "button_default_proc.h"
#include "window_manager.h"

namespace platform {
namespace {

void Notify(HWND window, unsigned changes) {
    if (HasBackend()) CurrentBackend().WindowChanged(window, changes);
}

LRESULT CopyText(const std::u16string& text, WPARAM max, LPARAM buffer) {
    auto* out = reinterpret_cast<char16_t*>(buffer);
    if (!out || max == 0) return 0;
    std::size_t n = std::min<std::size_t>(text.size(), max - 1);
    std::copy_n(text.data(), n, out);
    out[n] = u'\0';
    return static_cast<LRESULT>(n);
}

LRESULT ComboBoxProc(WindowObject& w, UINT message, WPARAM wParam, LPARAM lParam, bool* handled) {
    *handled = true;
    auto& items = w.items;
    switch (message) {
    case CB_GETCOUNT:
        return static_cast<LRESULT>(items.size());
    case CBEM_GETEDITCONTROL:
        return reinterpret_cast<LRESULT>(w.edit);
    case CBEM_GETITEMW: {
        auto* item = reinterpret_cast<COMBOBOXEXITEMW*>(lParam);
        if (!item) return FALSE;
        const std::u16string* text = nullptr;
        if (item->iItem == -1 && w.edit) text = &w.edit->text;
        else if (item->iItem >= 0 && static_cast<std::size_t>(item->iItem) < items.size()) text = &items[item->iItem];
        if (!text) return FALSE;
        if (item->mask & CBEIF_TEXT) CopyText(*text, static_cast<WPARAM>(std::max(item->cchTextMax, 0)),
                                              reinterpret_cast<LPARAM>(item->pszText));
        return TRUE;
    }
    case CBEM_DELETEITEM: {
        if (wParam >= items.size()) return -1;  // CB_ERR
        items.erase(items.begin() + static_cast<std::ptrdiff_t>(wParam));
        Notify(&w, kChangeItems);
        return static_cast<LRESULT>(items.size());
    }
    case CBEM_INSERTITEMW: {
        auto* item = reinterpret_cast<const COMBOBOXEXITEMW*>(lParam);
        if (!item) return -1;
        std::u16string text = (item->mask & CBEIF_TEXT) && item->pszText ? std::u16string(item->pszText) : u"";
        std::size_t at = item->iItem < 0 || static_cast<std::size_t>(item->iItem) > items.size()
                             ? items.size()
                             : static_cast<std::size_t>(item->iItem);
        items.insert(items.begin() + static_cast<std::ptrdiff_t>(at), std::move(text));
        Notify(&w, kChangeItems);
        return static_cast<LRESULT>(at);
    }
    default:
        *handled = false;
        return 0;
    }
}

}  // namespace

LRESULT DefaultWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    WindowObject* w = Live(window);
    if (!w) return 0;
    if (w->cls == WindowClass::ComboBoxEx) {
        bool handled = false;
        LRESULT result = ComboBoxProc(*w, message, wParam, lParam, &handled);
        if (handled) return result;
    }
    if (w->cls == WindowClass::Button) {
        bool handled = false;
        LRESULT result = ButtonProc(window, message, wParam, lParam, &handled);
        if (handled) return result;
    }
    switch (message) {
    case WM_SETTEXT: {
        auto* text = reinterpret_cast<const char16_t*>(lParam);
        w->text = text ? std::u16string(text) : std::u16string();
        Notify(window, kChangeText);
        return TRUE;
    }
    case WM_GETTEXT:
        return CopyText(w->text, wParam, lParam);
    case WM_GETTEXTLENGTH:
        return static_cast<LRESULT>(w->text.size());
    case WM_SETICON: {
        HICON& slot = wParam == ICON_BIG ? w->bigIcon : w->smallIcon;
        HICON previous = slot;
        slot = reinterpret_cast<HICON>(lParam);
        Notify(window, kChangeIcon);
        return reinterpret_cast<LRESULT>(previous);
    }
    case WM_GETICON:
        return reinterpret_cast<LRESULT>(wParam == ICON_BIG ? w->bigIcon : w->smallIcon);
    case WM_CLOSE:
        // The dialog manager turns a close into the Cancel command; other windows go away.
        if (w->cls == WindowClass::Dialog) SendMessageW(window, WM_COMMAND, IDCANCEL, 0);
        else DestroyWindow(window);
        return 0;
    default:
        return 0;
    }
}

}  // namespace platform
