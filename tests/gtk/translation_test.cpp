// What the backend translates between the program's Windows terms and the desktop's:
// keys, menu texts, message box types, shell targets and typed addresses.
#include <gtest/gtest.h>

#include "desktop_launcher.h"
#include "key_event_deduplicator.h"
#include "menu_item_label.h"
#include "message_box_dialog.h"
#include "virtual_keys.h"
#include "web_address.h"
#include "window_open_features.h"
#include "win32/constants.h"

namespace platform::desktop {
namespace {

struct KeyCase {
    guint keyval;
    int virtualKey;
};

TEST(GtkVirtualKeys, KeyValuesGiveThePhysicalKeysCode) {
    const KeyCase cases[] = {
        {GDK_KEY_a, 'A'},           {GDK_KEY_Z, 'Z'},           {GDK_KEY_0, '0'},
        {GDK_KEY_9, '9'},           {GDK_KEY_exclam, '1'},      {GDK_KEY_parenright, '0'},
        {GDK_KEY_Return, VK_RETURN}, {GDK_KEY_KP_Enter, VK_RETURN}, {GDK_KEY_Escape, VK_ESCAPE},
        {GDK_KEY_Tab, VK_TAB},      {GDK_KEY_ISO_Left_Tab, VK_TAB}, {GDK_KEY_BackSpace, VK_BACK},
        {GDK_KEY_F1, 0x70},         {GDK_KEY_F11, VK_F11},      {GDK_KEY_F24, 0x87},
        {GDK_KEY_equal, VK_OEM_PLUS}, {GDK_KEY_plus, VK_OEM_PLUS}, {GDK_KEY_minus, VK_OEM_MINUS},
        {GDK_KEY_underscore, VK_OEM_MINUS}, {GDK_KEY_Control_L, VK_CONTROL}, {GDK_KEY_Control_R, VK_CONTROL},
        {GDK_KEY_Shift_R, VK_SHIFT}, {GDK_KEY_Alt_L, VK_MENU},  {GDK_KEY_Left, vk::Left},
        {GDK_KEY_Up, vk::Up},       {GDK_KEY_Right, vk::Right}, {GDK_KEY_Down, vk::Down},
        {GDK_KEY_KP_5, vk::Numpad0 + 5}, {GDK_KEY_KP_Add, vk::Add}, {GDK_KEY_Delete, vk::Delete},
    };
    for (const KeyCase& c : cases)
        EXPECT_EQ(VirtualKeyFromKeyval(c.keyval), c.virtualKey) << gdk_keyval_name(c.keyval);
}

TEST(GtkVirtualKeys, KeysWithoutACodeGiveNone) {
    EXPECT_EQ(VirtualKeyFromKeyval(GDK_KEY_VoidSymbol), 0);
    EXPECT_EQ(VirtualKeyFromKeyval(GDK_KEY_eacute), 0);
    EXPECT_EQ(KeyvalFromVirtualKey(0), 0u);
    EXPECT_EQ(KeyvalFromVirtualKey(0xFF), 0u);
}

TEST(GtkVirtualKeys, EverySynthesizableKeyTypesBackAsItself) {
    // Synthetic keys are made from these key values and routed through the same mapping,
    // so the program must see the code it sent.
    for (int code = 1; code < 0xFF; ++code) {
        guint keyval = KeyvalFromVirtualKey(code);
        if (keyval) {
            EXPECT_EQ(VirtualKeyFromKeyval(keyval), code) << "code " << code;
        }
    }
    EXPECT_EQ(KeyvalFromVirtualKey(VK_OEM_PLUS), static_cast<guint>(GDK_KEY_equal));
    EXPECT_EQ(KeyvalFromVirtualKey('N'), static_cast<guint>(GDK_KEY_n));
}

TEST(GtkKeyEventDeduplicator, TheSecondDeliveryOfAnEventIsRecognisedOnce) {
    KeyEventDeduplicator seen;
    KeyEventIdentity press{true, 1000, GDK_KEY_a, 38, 0};
    KeyEventIdentity release{false, 1000, GDK_KEY_a, 38, 0};
    KeyEventIdentity repeat{true, 1033, GDK_KEY_a, 38, 0};
    EXPECT_FALSE(seen.SeenBefore(press));
    EXPECT_FALSE(seen.SeenBefore(release));  // same time, but a release
    EXPECT_FALSE(seen.SeenBefore(repeat));   // auto-repeat: a new time
    EXPECT_TRUE(seen.SeenBefore(press));     // handed back by the web view
    EXPECT_FALSE(seen.SeenBefore(press));    // a third time is a new key again
}

TEST(GtkKeyEventDeduplicator, OldEventsAreForgottenNotConfused) {
    KeyEventDeduplicator seen;
    for (guint32 t = 1; t <= 40; ++t) EXPECT_FALSE(seen.SeenBefore({true, t, GDK_KEY_b, 56, 0}));
    EXPECT_TRUE(seen.SeenBefore({true, 40, GDK_KEY_b, 56, 0}));
    EXPECT_FALSE(seen.SeenBefore({true, 1, GDK_KEY_b, 56, 0}));
}

struct LabelCase {
    std::u16string text;
    std::string mnemonic;
    guint key;
    unsigned modifiers;
};

TEST(GtkMenuItemLabel, WindowsTextBecomesMnemonicAndShortcut) {
    const LabelCase cases[] = {
        {u"Refresh", "Refresh", 0, 0},
        {u"&File", "_File", 0, 0},
        {u"Save && Quit", "Save & Quit", 0, 0},
        {u"snake_case", "snake__case", 0, 0},
        {u"Zoom In\tCtrl+=", "Zoom In", GDK_KEY_equal, GDK_CONTROL_MASK},
        {u"Zoom Out\tCtrl+-", "Zoom Out", GDK_KEY_minus, GDK_CONTROL_MASK},
        {u"Actual Size\tCtrl+0", "Actual Size", GDK_KEY_0, GDK_CONTROL_MASK},
        {u"Full screen\tF11", "Full screen", GDK_KEY_F11, 0},
        {u"Bigger\tCtrl++", "Bigger", GDK_KEY_plus, GDK_CONTROL_MASK},
        {u"Reload\tCtrl+Shift+R", "Reload", GDK_KEY_r, GDK_CONTROL_MASK | GDK_SHIFT_MASK},
        {u"Odd\tHyper+Q", "Odd", 0, 0},
        {u"Trailing&", "Trailing", 0, 0},
        {u"Caf\u00e9", "Caf\xc3\xa9", 0, 0},
    };
    for (const LabelCase& c : cases) {
        MenuItemLabel label = MenuItemLabelFromText(c.text);
        EXPECT_EQ(label.mnemonicText, c.mnemonic);
        EXPECT_EQ(label.acceleratorKey, c.key) << c.mnemonic;
        EXPECT_EQ(static_cast<unsigned>(label.acceleratorModifiers), c.modifiers) << c.mnemonic;
    }
}

struct MessageBoxCase {
    UINT type;
    GtkMessageType icon;
    std::vector<GtkResponseType> buttons;
    int closedResult;
};

TEST(GtkMessageBoxLayout, TypeBitsChooseButtonsIconAndTheAnswerToClosing) {
    const MessageBoxCase cases[] = {
        {MB_OK, GTK_MESSAGE_OTHER, {GTK_RESPONSE_OK}, IDOK},
        {MB_OK | MB_ICONWARNING, GTK_MESSAGE_WARNING, {GTK_RESPONSE_OK}, IDOK},
        {MB_OKCANCEL | MB_ICONQUESTION, GTK_MESSAGE_QUESTION, {GTK_RESPONSE_OK, GTK_RESPONSE_CANCEL}, IDCANCEL},
        {MB_YESNO | MB_ICONERROR, GTK_MESSAGE_ERROR, {GTK_RESPONSE_YES, GTK_RESPONSE_NO}, IDCANCEL},
        {MB_YESNOCANCEL | MB_ICONINFORMATION, GTK_MESSAGE_INFO,
         {GTK_RESPONSE_YES, GTK_RESPONSE_NO, GTK_RESPONSE_CANCEL}, IDCANCEL},
    };
    for (const MessageBoxCase& c : cases) {
        MessageBoxLayout layout = MessageBoxLayoutFor(c.type);
        EXPECT_EQ(layout.icon, c.icon) << std::hex << c.type;
        std::vector<GtkResponseType> responses;
        for (const auto& button : layout.buttons) responses.push_back(button.second);
        EXPECT_EQ(responses, c.buttons) << std::hex << c.type;
        EXPECT_EQ(MessageBoxResultFor(c.type, GTK_RESPONSE_DELETE_EVENT), c.closedResult) << std::hex << c.type;
    }
}

TEST(GtkMessageBoxLayout, ButtonsAnswerWithTheirOwnResult) {
    EXPECT_EQ(MessageBoxResultFor(MB_OKCANCEL, GTK_RESPONSE_OK), IDOK);
    EXPECT_EQ(MessageBoxResultFor(MB_OKCANCEL, GTK_RESPONSE_CANCEL), IDCANCEL);
    EXPECT_EQ(MessageBoxResultFor(MB_YESNOCANCEL, GTK_RESPONSE_YES), IDYES);
    EXPECT_EQ(MessageBoxResultFor(MB_YESNOCANCEL, GTK_RESPONSE_NO), IDNO);
}

TEST(GtkDesktopArgument, AddressesPassAndWindowsPathsBecomeHostPaths) {
    EXPECT_EQ(DesktopArgumentFor(u"mailto:someone@example.org"), "mailto:someone@example.org");
    EXPECT_EQ(DesktopArgumentFor(u"ms-settings:display"), "ms-settings:display");
    EXPECT_EQ(DesktopArgumentFor(u"https://example.org/a b"), "https://example.org/a b");
    EXPECT_EQ(DesktopArgumentFor(u"Z:\\home\\user\\Logs"), "/home/user/Logs");
    EXPECT_EQ(DesktopArgumentFor(u"Z:\\tmp\\caf\u00e9 folder"), "/tmp/caf\xc3\xa9 folder");
}

TEST(GtkDesktopArgument, NothingForWhatHasNoHostEquivalent) {
    EXPECT_EQ(DesktopArgumentFor(u""), std::nullopt);
    EXPECT_EQ(DesktopArgumentFor(u"C:\\Windows"), std::nullopt);
    EXPECT_EQ(DesktopArgumentFor(u"\\\\server\\share"), std::nullopt);
    EXPECT_EQ(DesktopArgumentFor(std::u16string(u"Z:\\a\0b", 6)), std::nullopt);
}

TEST(GtkDesktopArgument, RelativePathsCannotPassForOptions) {
    std::optional<std::string> argument = DesktopArgumentFor(u"-help");
    ASSERT_TRUE(argument);
    EXPECT_EQ(argument->front(), '/');
    EXPECT_NE(argument->find("/-help"), std::string::npos);
}

TEST(GtkWebAddress, TypedTextBecomesAnAddressTheEngineLoads) {
    const std::pair<std::u16string, std::string> cases[] = {
        {u"https://example.org/x?q=1", "https://example.org/x?q=1"},
        {u"about:blank", "about:blank"},
        {u"mailto:a@b.c", "mailto:a@b.c"},
        {u"example.org", "http://example.org"},
        {u"  example.org/path  ", "http://example.org/path"},
        {u"", "about:blank"},
        {u"Z:\\tmp\\a b.html", "file:///tmp/a%20b.html"},
        {u"/tmp/page.html", "file:///tmp/page.html"},
        {u"C:\\Windows\\x.html", "C:\\Windows\\x.html"},
    };
    for (const auto& [typed, address] : cases) EXPECT_EQ(WebAddressFor(typed), address);
}

TEST(GtkWindowOpenFeatures, OnlyTheGeometryNamedWithAValueCountsAsGiven) {
    const std::pair<const char*, GivenGeometry> cases[] = {
        {"", {}},
        {"left=100,top=50,width=400,height=300", {true, true, true, true}},
        {"width=400, height=300", {false, false, true, true}},
        {"screenX=5;screenY=6", {true, true, false, false}},
        {"innerWidth = 640 innerHeight=480", {false, false, true, true}},
        {"LEFT=1,Top=2", {true, true, false, false}},
        {"menubar=no,toolbar=no,resizable", {}},
        {"width,height", {}},
        {"leftish=1,widths=2", {}},
    };
    for (const auto& [features, given] : cases) EXPECT_EQ(GeometryGivenIn(features), given) << features;
}

}  // namespace
}  // namespace platform::desktop
