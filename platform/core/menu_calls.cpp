// Menus: loaded from the program's menu templates, shown by the backend.
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <unordered_set>

#include "window_manager.h"
#include "win32/templates.h"

namespace {
std::unordered_set<MenuObject*>& Menus() {
    static std::unordered_set<MenuObject*> menus;
    return menus;
}

MenuObject* LiveMenu(HMENU menu) { return menu && Menus().count(menu) ? menu : nullptr; }

HMENU BuildMenu(const std::vector<MenuTemplateItem>& items) {
    auto* menu = new MenuObject;
    Menus().insert(menu);
    for (const auto& t : items) {
        MenuItem item;
        item.text = t.text;
        item.id = t.id;
        if (t.separator) item.flags |= MF_SEPARATOR;
        if (!t.popup.empty()) {
            item.flags |= MF_POPUP;
            item.popup = BuildMenu(t.popup);
        }
        menu->items.push_back(std::move(item));
    }
    return menu;
}

// Finds an item by command id (searching submenus) or by position.
MenuItem* FindItem(MenuObject* menu, UINT item, UINT flags) {
    if (!menu) return nullptr;
    if (flags & MF_BYPOSITION) return item < menu->items.size() ? &menu->items[item] : nullptr;
    for (auto& i : menu->items) {
        if (!(i.flags & (MF_POPUP | MF_SEPARATOR)) && i.id == item) return &i;
        if (i.flags & MF_POPUP)
            if (MenuItem* found = FindItem(LiveMenu(i.popup), item, flags)) return found;
    }
    return nullptr;
}

std::map<WORD, std::vector<MenuTemplateItem>>& MenuTemplates() {
    static std::map<WORD, std::vector<MenuTemplateItem>> templates;
    return templates;
}
std::map<WORD, DialogTemplate>& DialogTemplates() {
    static std::map<WORD, DialogTemplate> templates;
    return templates;
}
}  // namespace

void RegisterMenuTemplate(WORD id, std::vector<MenuTemplateItem> bar) { MenuTemplates()[id] = std::move(bar); }
const std::vector<MenuTemplateItem>* FindMenuTemplate(WORD id) {
    auto it = MenuTemplates().find(id);
    return it == MenuTemplates().end() ? nullptr : &it->second;
}
void RegisterDialogTemplate(WORD id, DialogTemplate dialog) { DialogTemplates()[id] = std::move(dialog); }
const DialogTemplate* FindDialogTemplate(WORD id) {
    auto it = DialogTemplates().find(id);
    return it == DialogTemplates().end() ? nullptr : &it->second;
}
int DialogUnitsToPixelsX(int units) { return (units * 6 + 2) / 4; }
int DialogUnitsToPixelsY(int units) { return (units * 13 + 4) / 8; }

HMENU LoadMenuW(HINSTANCE, LPCWSTR name) {
    if (!IS_INTRESOURCE(name)) return nullptr;
    const auto* bar = FindMenuTemplate(static_cast<WORD>(reinterpret_cast<std::uintptr_t>(name)));
    if (!bar) {
        SetLastError(1814);  // ERROR_RESOURCE_NAME_NOT_FOUND
        return nullptr;
    }
    return BuildMenu(*bar);
}

BOOL DestroyMenu(HMENU menu) {
    if (!LiveMenu(menu)) return FALSE;
    for (auto& item : menu->items)
        if (item.flags & MF_POPUP) DestroyMenu(item.popup);
    Menus().erase(menu);
    delete menu;
    return TRUE;
}

HMENU GetMenu(HWND window) {
    WindowObject* w = platform::Live(window);
    return w ? w->menu : nullptr;
}

BOOL SetMenu(HWND window, HMENU menu) {
    if (!platform::Live(window) || (menu && !LiveMenu(menu))) return FALSE;
    RECT before{};
    GetClientRect(window, &before);
    window->menu = menu;
    if (platform::HasBackend()) platform::CurrentBackend().WindowChanged(window, platform::kChangeMenu);
    RECT after{};
    GetClientRect(window, &after);
    if (after.right != before.right || after.bottom != before.bottom)
        SendMessageW(window, WM_SIZE, 0,
                     static_cast<LPARAM>((static_cast<std::uint32_t>(after.bottom & 0xFFFF) << 16) |
                                         static_cast<std::uint32_t>(after.right & 0xFFFF)));
    return TRUE;
}

DWORD CheckMenuItem(HMENU menu, UINT item, UINT check) {
    MenuItem* i = FindItem(LiveMenu(menu), item, check & MF_BYPOSITION);
    if (!i) return static_cast<DWORD>(-1);
    DWORD previous = i->flags & MF_CHECKED;
    if (check & MF_CHECKED) i->flags |= MF_CHECKED;
    else i->flags &= ~MF_CHECKED;
    if (previous != (i->flags & MF_CHECKED) && platform::HasBackend()) platform::CurrentBackend().MenuChanged(menu);
    return previous;
}

UINT GetMenuState(HMENU menu, UINT item, UINT flags) {
    MenuItem* i = FindItem(LiveMenu(menu), item, flags);
    return i ? i->flags : static_cast<UINT>(-1);
}

int GetMenuItemCount(HMENU menu) { return LiveMenu(menu) ? static_cast<int>(menu->items.size()) : -1; }

UINT GetMenuItemID(HMENU menu, int position) {
    if (!LiveMenu(menu) || position < 0 || static_cast<std::size_t>(position) >= menu->items.size())
        return static_cast<UINT>(-1);
    const MenuItem& i = menu->items[position];
    return (i.flags & MF_POPUP) ? static_cast<UINT>(-1) : (i.flags & MF_SEPARATOR ? 0 : i.id);
}

HMENU GetSubMenu(HMENU menu, int position) {
    if (!LiveMenu(menu) || position < 0 || static_cast<std::size_t>(position) >= menu->items.size()) return nullptr;
    const MenuItem& i = menu->items[position];
    return (i.flags & MF_POPUP) ? i.popup : nullptr;
}

int GetMenuStringW(HMENU menu, UINT item, LPWSTR buffer, int max, UINT flags) {
    MenuItem* i = FindItem(LiveMenu(menu), item, flags);
    if (!i) return 0;
    if (!buffer || max <= 0) return static_cast<int>(i->text.size());
    std::size_t n = std::min<std::size_t>(i->text.size(), static_cast<std::size_t>(max - 1));
    std::copy_n(i->text.data(), n, buffer);
    buffer[n] = u'\0';
    return static_cast<int>(n);
}
