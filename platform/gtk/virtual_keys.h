// Windows virtual-key codes and their GDK key values. The program's key rules are written
// in virtual keys (the physical key, whatever the shift state), GTK reports key values.
#pragma once

#include "gtk_toolkit.h"

namespace platform::desktop {

namespace vk {
constexpr int Back = 0x08, Tab = 0x09, Return = 0x0D, Shift = 0x10, Control = 0x11, Menu = 0x12;
constexpr int Pause = 0x13, Capital = 0x14, Escape = 0x1B, Space = 0x20;
constexpr int Prior = 0x21, Next = 0x22, End = 0x23, Home = 0x24;
constexpr int Left = 0x25, Up = 0x26, Right = 0x27, Down = 0x28;
constexpr int Snapshot = 0x2C, Insert = 0x2D, Delete = 0x2E;
constexpr int LWin = 0x5B, RWin = 0x5C, Apps = 0x5D;
constexpr int Numpad0 = 0x60, Multiply = 0x6A, Add = 0x6B, Subtract = 0x6D, Decimal = 0x6E,
              Divide = 0x6F;
constexpr int F1 = 0x70, F24 = 0x87;
constexpr int NumLock = 0x90, Scroll = 0x91;
constexpr int Oem1 = 0xBA, OemPlus = 0xBB, OemComma = 0xBC, OemMinus = 0xBD, OemPeriod = 0xBE,
              Oem2 = 0xBF, Oem3 = 0xC0, Oem4 = 0xDB, Oem5 = 0xDC, Oem6 = 0xDD, Oem7 = 0xDE;
}  // namespace vk

// The virtual key of a key value, or 0 when the key has none. Shifted symbols of the US
// layout give their key's code ("+" is VK_OEM_PLUS, "_" VK_OEM_MINUS).
int VirtualKeyFromKeyval(guint keyval);

// The unshifted key value that types the virtual key, or 0 (GDK_KEY_VoidSymbol excluded)
// when there is none.
guint KeyvalFromVirtualKey(int virtualKey);

}  // namespace platform::desktop
