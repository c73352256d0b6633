#include "menu_item_label.h"

#include "gtk_toolkit.h"

#include "crt/crt.h"

namespace platform::desktop {
namespace {

std::u16string MnemonicText(std::u16string_view text) {
    std::u16string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        char16_t c = text[i];
        if (c == u'&') {
            if (i + 1 < text.size() && text[i + 1] == u'&') {
                out += u'&';
                ++i;
            } else if (i + 1 < text.size()) {
                out += u'_';
            }
        } else if (c == u'_') {
            out += u"__";
        } else {
            out += c;
        }
    }
    return out;
}

// "Ctrl+Shift+F5", "Ctrl+=", "F11": the last part is the key, the others modifiers.
void ParseShortcut(std::string_view shortcut, MenuItemLabel& label) {
    if (shortcut.empty()) return;
    // A key that is itself "+" ends in "++"; keep it as the key.
    std::size_t split = shortcut.size() >= 2 && shortcut.back() == '+' ? shortcut.size() - 2
                                                                       : shortcut.rfind('+');
    std::string_view key = split == std::string_view::npos ? shortcut : shortcut.substr(split + 1);
    std::string_view modifiers = split == std::string_view::npos ? std::string_view{} : shortcut.substr(0, split);
    unsigned mask = 0;
    while (!modifiers.empty()) {
        std::size_t plus = modifiers.find('+');
        std::string_view name = modifiers.substr(0, plus);
        std::string lower(name);
        for (char& c : lower) c = static_cast<char>(g_ascii_tolower(c));
        if (lower == "ctrl" || lower == "control") mask |= GDK_CONTROL_MASK;
        else if (lower == "shift") mask |= GDK_SHIFT_MASK;
        else if (lower == "alt") mask |= GDK_MOD1_MASK;
        else return;  // not a shortcut we can show
        if (plus == std::string_view::npos) break;
        modifiers.remove_prefix(plus + 1);
    }
    guint keyval = 0;
    if (key.size() == 1) {
        keyval = gdk_unicode_to_keyval(static_cast<guint32>(g_ascii_tolower(key[0])));
    } else if (!key.empty()) {
        keyval = gdk_keyval_from_name(std::string(key).c_str());
    }
    if (keyval == 0 || keyval == GDK_KEY_VoidSymbol) return;
    label.acceleratorKey = keyval;
    label.acceleratorModifiers = GdkModifierType(mask);
}

}  // namespace

MenuItemLabel MenuItemLabelFromText(std::u16string_view text) {
    MenuItemLabel label;
    std::size_t tab = text.find(u'\t');
    label.mnemonicText = text::ToUtf8(MnemonicText(text.substr(0, tab)));
    if (tab != std::u16string_view::npos) ParseShortcut(text::ToUtf8(text.substr(tab + 1)), label);
    return label;
}

}  // namespace platform::desktop
