// How a menu item's text reads on the desktop: the Windows text marks its mnemonic with
// "&" and puts the shortcut's description after a tab ("Zoom In\tCtrl+="); GTK wants "_"
// for the mnemonic and shows the shortcut in the item's accelerator label.
#pragma once

#include "gtk_toolkit.h"

#include <string>
#include <string_view>

namespace platform::desktop {

struct MenuItemLabel {
    std::string mnemonicText;  // UTF-8, with "_" before the mnemonic letter and "__" for "_"
    guint acceleratorKey = 0;  // 0: no shortcut is shown
    GdkModifierType acceleratorModifiers = GdkModifierType(0);
};

MenuItemLabel MenuItemLabelFromText(std::u16string_view text);

}  // namespace platform::desktop
