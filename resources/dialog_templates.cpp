// Dialog templates: the main window (102), the popup window (103) and the login dialog (7).
#include "win32/constants.h"
#include "win32/templates.h"

namespace {
constexpr DWORD kBrowserWindowStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX |
                                      WS_MAXIMIZEBOX | DS_SHELLFONT;

const bool registered = [] {
    DialogTemplate main;
    main.style = kBrowserWindowStyle;
    main.exStyle = WS_EX_APPWINDOW;
    main.x = 50;
    main.y = 50;
    main.cx = 840;
    main.cy = 480;
    main.menu = 140;
    main.caption = u"Pelmarin";
    main.fontName = u"MS Shell Dlg";
    main.fontSize = 8;
    RegisterDialogTemplate(102, main);

    DialogTemplate popup = main;
    popup.exStyle = 0;
    popup.menu = 0;
    RegisterDialogTemplate(103, popup);

    DialogTemplate login;
    login.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SHELLFONT;
    login.cx = 225;
    login.cy = 104;
    login.caption = u"Basic Authentication";
    login.fontName = u"MS Shell Dlg";
    login.controls = {
        {1, ControlKind::DefaultButton, u"OK", WS_TABSTOP, 42, 83, 50, 14},
        {2, ControlKind::Button, u"Cancel", WS_TABSTOP, 114, 83, 50, 14},
        {1000, ControlKind::Static, u"Username : ", WS_GROUP, 18, 29, 40, 8},
        {1001, ControlKind::Static, u"Password : ", WS_GROUP, 18, 53, 38, 13},
        {1002, ControlKind::Edit, u"", WS_BORDER | ES_AUTOHSCROLL | WS_TABSTOP, 66, 29, 126, 14},
        {1003, ControlKind::Edit, u"", WS_BORDER | ES_AUTOHSCROLL | ES_PASSWORD | WS_TABSTOP, 66, 53, 127, 14},
        {-1, ControlKind::Static, u"Please enter the login details for this website", WS_GROUP, 12, 6, 193, 8},
    };
    RegisterDialogTemplate(7, login);
    return true;
}();
}  // namespace
