// Dialog template 144: the proxy settings, with two independent groups of radio buttons
// (system or custom, then the custom protocol).
#include "win32/constants.h"
#include "win32/templates.h"

namespace {
const bool registered = [] {
    DialogTemplate proxy;
    proxy.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SHELLFONT;
    proxy.cx = 225;
    proxy.cy = 135;
    proxy.caption = u"Proxy settings";
    proxy.fontName = u"MS Shell Dlg";
    proxy.fontSize = 8;
    proxy.controls = {
        {1, ControlKind::DefaultButton, u"OK", WS_TABSTOP, 57, 116, 50, 14},
        {2, ControlKind::Button, u"Cancel", WS_TABSTOP, 117, 116, 50, 14},
        {-1, ControlKind::Static, u"Enter proxy server IP:port here if needed", 0, 7, 7, 135, 8},
        {-1, ControlKind::Static, u"Proxy server:", 0, 31, 59, 45, 8},
        {1009, ControlKind::Edit, u"", WS_BORDER | ES_AUTOHSCROLL | WS_TABSTOP, 85, 56, 125, 14},
        {1010, ControlKind::RadioButton, u" Use system settings", WS_GROUP, 17, 25, 82, 10},
        {1011, ControlKind::RadioButton, u" Custom", 0, 17, 41, 42, 10},
        {1012, ControlKind::RadioButton, u" HTTP", WS_GROUP, 83, 76, 35, 10},
        {1014, ControlKind::RadioButton, u" SOCKS", 0, 119, 76, 40, 10},
    };
    RegisterDialogTemplate(144, proxy);
    return true;
}();
}  // namespace
