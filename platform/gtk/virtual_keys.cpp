#include "virtual_keys.h"

#include "gtk_toolkit.h"

#include <array>
#include <utility>

namespace platform::desktop {
namespace {

// Keys whose code is not a letter, a digit or a function key. The first entry for a
// virtual key is the one KeyvalFromVirtualKey gives back.
constexpr std::pair<guint, int> kKeyTable[] = {
    {GDK_KEY_BackSpace, vk::Back},     {GDK_KEY_Tab, vk::Tab},
    {GDK_KEY_ISO_Left_Tab, vk::Tab},   {GDK_KEY_KP_Tab, vk::Tab},
    {GDK_KEY_Return, vk::Return},      {GDK_KEY_KP_Enter, vk::Return},
    {GDK_KEY_ISO_Enter, vk::Return},   {GDK_KEY_Shift_L, vk::Shift},
    {GDK_KEY_Shift_R, vk::Shift},      {GDK_KEY_Control_L, vk::Control},
    {GDK_KEY_Control_R, vk::Control},  {GDK_KEY_Alt_L, vk::Menu},
    {GDK_KEY_Alt_R, vk::Menu},         {GDK_KEY_ISO_Level3_Shift, vk::Menu},
    {GDK_KEY_Meta_L, vk::Menu},        {GDK_KEY_Meta_R, vk::Menu},
    {GDK_KEY_Pause, vk::Pause},        {GDK_KEY_Caps_Lock, vk::Capital},
    {GDK_KEY_Escape, vk::Escape},      {GDK_KEY_space, vk::Space},
    {GDK_KEY_KP_Space, vk::Space},     {GDK_KEY_Page_Up, vk::Prior},
    {GDK_KEY_KP_Page_Up, vk::Prior},   {GDK_KEY_Page_Down, vk::Next},
    {GDK_KEY_KP_Page_Down, vk::Next},  {GDK_KEY_End, vk::End},
    {GDK_KEY_KP_End, vk::End},         {GDK_KEY_Home, vk::Home},
    {GDK_KEY_KP_Home, vk::Home},       {GDK_KEY_Left, vk::Left},
    {GDK_KEY_KP_Left, vk::Left},       {GDK_KEY_Up, vk::Up},
    {GDK_KEY_KP_Up, vk::Up},           {GDK_KEY_Right, vk::Right},
    {GDK_KEY_KP_Right, vk::Right},     {GDK_KEY_Down, vk::Down},
    {GDK_KEY_KP_Down, vk::Down},       {GDK_KEY_Print, vk::Snapshot},
    {GDK_KEY_Insert, vk::Insert},      {GDK_KEY_KP_Insert, vk::Insert},
    {GDK_KEY_Delete, vk::Delete},      {GDK_KEY_KP_Delete, vk::Delete},
    {GDK_KEY_Super_L, vk::LWin},       {GDK_KEY_Super_R, vk::RWin},
    {GDK_KEY_Menu, vk::Apps},          {GDK_KEY_KP_Multiply, vk::Multiply},
    {GDK_KEY_KP_Add, vk::Add},         {GDK_KEY_KP_Subtract, vk::Subtract},
    {GDK_KEY_KP_Decimal, vk::Decimal}, {GDK_KEY_KP_Divide, vk::Divide},
    {GDK_KEY_Num_Lock, vk::NumLock},   {GDK_KEY_Scroll_Lock, vk::Scroll},
    {GDK_KEY_semicolon, vk::Oem1},     {GDK_KEY_colon, vk::Oem1},
    {GDK_KEY_equal, vk::OemPlus},      {GDK_KEY_plus, vk::OemPlus},
    {GDK_KEY_comma, vk::OemComma},     {GDK_KEY_less, vk::OemComma},
    {GDK_KEY_minus, vk::OemMinus},     {GDK_KEY_underscore, vk::OemMinus},
    {GDK_KEY_period, vk::OemPeriod},   {GDK_KEY_greater, vk::OemPeriod},
    {GDK_KEY_slash, vk::Oem2},         {GDK_KEY_question, vk::Oem2},
    {GDK_KEY_grave, vk::Oem3},         {GDK_KEY_asciitilde, vk::Oem3},
    {GDK_KEY_bracketleft, vk::Oem4},   {GDK_KEY_braceleft, vk::Oem4},
    {GDK_KEY_backslash, vk::Oem5},     {GDK_KEY_bar, vk::Oem5},
    {GDK_KEY_bracketright, vk::Oem6},  {GDK_KEY_braceright, vk::Oem6},
    {GDK_KEY_apostrophe, vk::Oem7},    {GDK_KEY_quotedbl, vk::Oem7},
};

// The shifted symbols on the US digit row, in the order of their digits 0 to 9.
constexpr std::array<guint, 10> kShiftedDigits{
    GDK_KEY_parenright, GDK_KEY_exclam,      GDK_KEY_at,       GDK_KEY_numbersign,
    GDK_KEY_dollar,     GDK_KEY_percent,     GDK_KEY_asciicircum, GDK_KEY_ampersand,
    GDK_KEY_asterisk,   GDK_KEY_parenleft};

}  // namespace

int VirtualKeyFromKeyval(guint keyval) {
    if (keyval >= GDK_KEY_a && keyval <= GDK_KEY_z) return 'A' + static_cast<int>(keyval - GDK_KEY_a);
    if (keyval >= GDK_KEY_A && keyval <= GDK_KEY_Z) return 'A' + static_cast<int>(keyval - GDK_KEY_A);
    if (keyval >= GDK_KEY_0 && keyval <= GDK_KEY_9) return '0' + static_cast<int>(keyval - GDK_KEY_0);
    if (keyval >= GDK_KEY_KP_0 && keyval <= GDK_KEY_KP_9)
        return vk::Numpad0 + static_cast<int>(keyval - GDK_KEY_KP_0);
    if (keyval >= GDK_KEY_F1 && keyval <= GDK_KEY_F24) return vk::F1 + static_cast<int>(keyval - GDK_KEY_F1);
    for (std::size_t digit = 0; digit < kShiftedDigits.size(); ++digit)
        if (kShiftedDigits[digit] == keyval) return '0' + static_cast<int>(digit);
    for (const auto& [key, code] : kKeyTable)
        if (key == keyval) return code;
    return 0;
}

guint KeyvalFromVirtualKey(int virtualKey) {
    if (virtualKey >= 'A' && virtualKey <= 'Z') return GDK_KEY_a + static_cast<guint>(virtualKey - 'A');
    if (virtualKey >= '0' && virtualKey <= '9') return GDK_KEY_0 + static_cast<guint>(virtualKey - '0');
    if (virtualKey >= vk::Numpad0 && virtualKey <= vk::Numpad0 + 9)
        return GDK_KEY_KP_0 + static_cast<guint>(virtualKey - vk::Numpad0);
    if (virtualKey >= vk::F1 && virtualKey <= vk::F24) return GDK_KEY_F1 + static_cast<guint>(virtualKey - vk::F1);
    for (const auto& [key, code] : kKeyTable)
        if (code == virtualKey) return key;
    return 0;
}

}  // namespace platform::desktop
