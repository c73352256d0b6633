// Buttons keep their own check state. A click on an automatic button changes it first (a
// radio button checks itself and clears the other radio buttons of its group, a check box
// toggles), then the parent hears BN_CLICKED, as with the platform's own button class.
#include "button_default_proc.h"

#include <algorithm>

#include "window_manager.h"

namespace platform {
namespace {

DWORD ButtonType(const WindowObject& w) { return w.style & BS_TYPEMASK; }

bool HasCheckState(const WindowObject& w) {
    switch (ButtonType(w)) {
    case BS_CHECKBOX:
    case BS_AUTOCHECKBOX:
    case BS_RADIOBUTTON:
    case BS_3STATE:
    case BS_AUTO3STATE:
    case BS_AUTORADIOBUTTON: return true;
    default: return false;
    }
}

bool IsRadio(const WindowObject& w) {
    return w.cls == WindowClass::Button && (ButtonType(w) == BS_AUTORADIOBUTTON || ButtonType(w) == BS_RADIOBUTTON);
}

void SetChecked(HWND button, bool checked) {
    if (button->checked == checked) return;
    button->checked = checked;
    if (HasBackend()) CurrentBackend().WindowChanged(button, kChangeCheck);
}

// The siblings of a group: from the nearest control at or before the button that has
// WS_GROUP (or the first control) up to the next control with WS_GROUP.
std::vector<HWND> GroupOf(HWND button) {
    if (!button->parent) return {button};
    const std::vector<HWND>& siblings = button->parent->children;
    auto at = std::find(siblings.begin(), siblings.end(), button);
    if (at == siblings.end()) return {button};
    auto first = at;
    while (first != siblings.begin() && !((*first)->style & WS_GROUP)) --first;
    auto last = at + 1;
    while (last != siblings.end() && !((*last)->style & WS_GROUP)) ++last;
    return std::vector<HWND>(first, last);
}

void Click(HWND button) {
    switch (ButtonType(*button)) {
    case BS_AUTORADIOBUTTON:
        for (HWND other : GroupOf(button))
            if (other != button && IsRadio(*other)) SetChecked(other, false);
        SetChecked(button, true);
        break;
    case BS_AUTOCHECKBOX:
    case BS_AUTO3STATE: SetChecked(button, !button->checked); break;
    default: break;
    }
    HWND parent = button->parent;
    if (!parent) return;
    SendMessageW(parent, WM_COMMAND, MAKEWPARAM(static_cast<WORD>(button->id), BN_CLICKED),
                 reinterpret_cast<LPARAM>(button));
}

}  // namespace

LRESULT ButtonProc(HWND button, UINT message, WPARAM wParam, LPARAM, bool* handled) {
    *handled = true;
    switch (message) {
    case BM_GETCHECK: return button->checked ? static_cast<LRESULT>(BST_CHECKED) : static_cast<LRESULT>(BST_UNCHECKED);
    case BM_SETCHECK:
        // Push buttons have no check state; a radio button's neighbours keep theirs.
        if (HasCheckState(*button)) SetChecked(button, wParam == BST_CHECKED);
        return 0;
    case BM_CLICK: Click(button); return 0;
    default: *handled = false; return 0;
    }
}

}  // namespace platform
