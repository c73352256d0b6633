// Dialog template 105: the bookmark dialog, whose caption the program always replaces.
#include "win32/constants.h"
#include "win32/templates.h"

namespace {
const bool registered = [] {
    DialogTemplate bookmark;
    bookmark.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SHELLFONT;
    bookmark.cx = 225;
    bookmark.cy = 104;
    bookmark.caption = u"X Bookmark";
    bookmark.fontName = u"MS Shell Dlg";
    bookmark.fontSize = 8;
    bookmark.controls = {
        {1, ControlKind::DefaultButton, u"OK", WS_TABSTOP, 42, 83, 50, 14},
        {2, ControlKind::Button, u"Cancel", WS_TABSTOP, 114, 83, 50, 14},
        {1007, ControlKind::Static, u"Bookmark name : ", 0, 18, 29, 58, 8},
        {1008, ControlKind::Static, u"Bookmark url : ", 0, 18, 53, 61, 13},
        {1006, ControlKind::Edit, u"", WS_BORDER | ES_AUTOHSCROLL | WS_TABSTOP, 75, 29, 117, 14},
        {1005, ControlKind::Edit, u"", WS_BORDER | ES_AUTOHSCROLL | WS_TABSTOP, 75, 53, 118, 14},
    };
    RegisterDialogTemplate(105, bookmark);
    return true;
}();
}  // namespace
