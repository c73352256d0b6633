// Documented constant values of the Windows API used by the system.
#pragma once

#include "win32/types.h"

// Window messages
constexpr UINT WM_NULL = 0x0000;
constexpr UINT WM_CREATE = 0x0001;
constexpr UINT WM_DESTROY = 0x0002;
constexpr UINT WM_MOVE = 0x0003;
constexpr UINT WM_SIZE = 0x0005;
constexpr UINT WM_ACTIVATE = 0x0006;
constexpr UINT WM_SETFOCUS = 0x0007;
constexpr UINT WM_KILLFOCUS = 0x0008;
constexpr UINT WM_SETTEXT = 0x000C;
constexpr UINT WM_GETTEXT = 0x000D;
constexpr UINT WM_GETTEXTLENGTH = 0x000E;
constexpr UINT WM_CLOSE = 0x0010;
constexpr UINT WM_QUIT = 0x0012;
constexpr UINT WM_SHOWWINDOW = 0x0018;
constexpr UINT WM_SETCURSOR = 0x0020;
constexpr UINT WM_WINDOWPOSCHANGED = 0x0047;
constexpr UINT WM_GETICON = 0x007F;
constexpr UINT WM_SETICON = 0x0080;
constexpr UINT WM_KEYDOWN = 0x0100;
constexpr UINT WM_KEYUP = 0x0101;
constexpr UINT WM_CHAR = 0x0102;
constexpr UINT WM_SYSKEYDOWN = 0x0104;
constexpr UINT WM_SYSKEYUP = 0x0105;
constexpr UINT WM_INITDIALOG = 0x0110;
constexpr UINT WM_COMMAND = 0x0111;
constexpr UINT WM_SYSCOMMAND = 0x0112;
constexpr UINT WM_USER = 0x0400;

// Dialog command identifiers and message box results
constexpr int IDOK = 1;
constexpr int IDCANCEL = 2;
constexpr int IDABORT = 3;
constexpr int IDRETRY = 4;
constexpr int IDIGNORE = 5;
constexpr int IDYES = 6;
constexpr int IDNO = 7;

// Message box types
constexpr UINT MB_OK = 0x00000000;
constexpr UINT MB_OKCANCEL = 0x00000001;
constexpr UINT MB_YESNOCANCEL = 0x00000003;
constexpr UINT MB_YESNO = 0x00000004;
constexpr UINT MB_ICONERROR = 0x00000010;
constexpr UINT MB_ICONQUESTION = 0x00000020;
constexpr UINT MB_ICONWARNING = 0x00000030;
constexpr UINT MB_ICONEXCLAMATION = MB_ICONWARNING;
constexpr UINT MB_ICONINFORMATION = 0x00000040;
constexpr UINT MB_TYPEMASK = 0x0000000F;
constexpr UINT MB_ICONMASK = 0x000000F0;

// Window styles
constexpr DWORD WS_OVERLAPPED = 0x00000000;
constexpr DWORD WS_POPUP = 0x80000000;
constexpr DWORD WS_CHILD = 0x40000000;
constexpr DWORD WS_MINIMIZE = 0x20000000;
constexpr DWORD WS_VISIBLE = 0x10000000;
constexpr DWORD WS_DISABLED = 0x08000000;
constexpr DWORD WS_CLIPSIBLINGS = 0x04000000;
constexpr DWORD WS_CLIPCHILDREN = 0x02000000;
constexpr DWORD WS_MAXIMIZE = 0x01000000;
constexpr DWORD WS_CAPTION = 0x00C00000;
constexpr DWORD WS_BORDER = 0x00800000;
constexpr DWORD WS_DLGFRAME = 0x00400000;
constexpr DWORD WS_VSCROLL = 0x00200000;
constexpr DWORD WS_HSCROLL = 0x00100000;
constexpr DWORD WS_SYSMENU = 0x00080000;
constexpr DWORD WS_THICKFRAME = 0x00040000;
constexpr DWORD WS_GROUP = 0x00020000;
constexpr DWORD WS_TABSTOP = 0x00010000;
constexpr DWORD WS_MINIMIZEBOX = 0x00020000;
constexpr DWORD WS_MAXIMIZEBOX = 0x00010000;

constexpr DWORD WS_EX_DLGMODALFRAME = 0x00000001;
constexpr DWORD WS_EX_TOPMOST = 0x00000008;
constexpr DWORD WS_EX_TOOLWINDOW = 0x00000080;
constexpr DWORD WS_EX_WINDOWEDGE = 0x00000100;
constexpr DWORD WS_EX_CLIENTEDGE = 0x00000200;
constexpr DWORD WS_EX_CONTROLPARENT = 0x00010000;
constexpr DWORD WS_EX_STATICEDGE = 0x00020000;
constexpr DWORD WS_EX_APPWINDOW = 0x00040000;

// Dialog styles
constexpr DWORD DS_MODALFRAME = 0x00000080;
constexpr DWORD DS_SETFONT = 0x00000040;
constexpr DWORD DS_FIXEDSYS = 0x00000008;
constexpr DWORD DS_SHELLFONT = DS_SETFONT | DS_FIXEDSYS;

// Control styles
constexpr DWORD BS_PUSHBUTTON = 0x0000;
constexpr DWORD BS_DEFPUSHBUTTON = 0x0001;
constexpr DWORD BS_CHECKBOX = 0x0002;
constexpr DWORD BS_AUTOCHECKBOX = 0x0003;
constexpr DWORD BS_RADIOBUTTON = 0x0004;
constexpr DWORD BS_3STATE = 0x0005;
constexpr DWORD BS_AUTO3STATE = 0x0006;
constexpr DWORD BS_GROUPBOX = 0x0007;
constexpr DWORD BS_AUTORADIOBUTTON = 0x0009;
constexpr DWORD BS_TYPEMASK = 0x000F;
constexpr UINT BM_GETCHECK = 0x00F0;
constexpr UINT BM_SETCHECK = 0x00F1;
constexpr UINT BM_CLICK = 0x00F5;
constexpr WPARAM BST_UNCHECKED = 0;
constexpr WPARAM BST_CHECKED = 1;
constexpr WPARAM BST_INDETERMINATE = 2;
constexpr WORD BN_CLICKED = 0;
constexpr DWORD CBS_DROPDOWN = 0x0002;
constexpr DWORD ES_AUTOHSCROLL = 0x0080;
constexpr DWORD ES_PASSWORD = 0x0020;
constexpr DWORD RBS_AUTOSIZE = 0x2000;
constexpr DWORD RBBS_NOGRIPPER = 0x00000100;

// GetWindowLong indexes
constexpr int GWL_STYLE = -16;
constexpr int GWL_EXSTYLE = -20;
constexpr int GWL_ID = -12;

// GetWindow relations
constexpr UINT GW_HWNDFIRST = 0;
constexpr UINT GW_HWNDNEXT = 2;
constexpr UINT GW_OWNER = 4;
constexpr UINT GW_CHILD = 5;

// ShowWindow commands
constexpr int SW_HIDE = 0;
constexpr int SW_SHOWNORMAL = 1;
constexpr int SW_SHOW = 5;
constexpr int SW_SHOWDEFAULT = 10;

// SetWindowPos flags
constexpr UINT SWP_NOSIZE = 0x0001;
constexpr UINT SWP_NOMOVE = 0x0002;
constexpr UINT SWP_NOZORDER = 0x0004;
constexpr UINT SWP_NOREDRAW = 0x0008;
constexpr UINT SWP_NOACTIVATE = 0x0010;
constexpr UINT SWP_FRAMECHANGED = 0x0020;
constexpr UINT SWP_SHOWWINDOW = 0x0040;
constexpr UINT SWP_HIDEWINDOW = 0x0080;
inline HWND const HWND_TOP = nullptr;

// Icons
constexpr WPARAM ICON_SMALL = 0;
constexpr WPARAM ICON_BIG = 1;

// Menus
constexpr UINT MF_BYCOMMAND = 0x00000000;
constexpr UINT MF_BYPOSITION = 0x00000400;
constexpr UINT MF_UNCHECKED = 0x00000000;
constexpr UINT MF_CHECKED = 0x00000008;
constexpr UINT MF_GRAYED = 0x00000001;
constexpr UINT MF_DISABLED = 0x00000002;
constexpr UINT MF_POPUP = 0x00000010;
constexpr UINT MF_SEPARATOR = 0x00000800;

// Monitors
constexpr DWORD MONITOR_DEFAULTTONULL = 0;
constexpr DWORD MONITOR_DEFAULTTOPRIMARY = 1;
constexpr DWORD MONITOR_DEFAULTTONEAREST = 2;

// Virtual keys
constexpr int VK_BACK = 0x08;
constexpr int VK_TAB = 0x09;
constexpr int VK_RETURN = 0x0D;
constexpr int VK_SHIFT = 0x10;
constexpr int VK_CONTROL = 0x11;
constexpr int VK_MENU = 0x12;
constexpr int VK_ESCAPE = 0x1B;
constexpr int VK_F4 = 0x73;
constexpr int VK_F5 = 0x74;
constexpr int VK_F11 = 0x7A;
constexpr int VK_OEM_PLUS = 0xBB;
constexpr int VK_OEM_MINUS = 0xBD;
constexpr DWORD KEYEVENTF_KEYUP = 0x0002;

// Shell folders
constexpr int CSIDL_APPDATA = 0x001A;
constexpr DWORD SHGFP_TYPE_CURRENT = 0;

// Registry
inline HKEY const HKEY_CLASSES_ROOT = reinterpret_cast<HKEY>(static_cast<std::uintptr_t>(0x80000000u));
inline HKEY const HKEY_CURRENT_USER = reinterpret_cast<HKEY>(static_cast<std::uintptr_t>(0x80000001u));
inline HKEY const HKEY_LOCAL_MACHINE = reinterpret_cast<HKEY>(static_cast<std::uintptr_t>(0x80000002u));
constexpr REGSAM KEY_QUERY_VALUE = 0x0001;
constexpr REGSAM KEY_SET_VALUE = 0x0002;
constexpr REGSAM KEY_CREATE_SUB_KEY = 0x0004;
constexpr REGSAM KEY_ENUMERATE_SUB_KEYS = 0x0008;
constexpr REGSAM KEY_READ = 0x20019;
constexpr REGSAM KEY_WRITE = 0x20006;
constexpr REGSAM KEY_ALL_ACCESS = 0xF003F;
constexpr DWORD REG_NONE = 0;
constexpr DWORD REG_SZ = 1;
constexpr DWORD REG_DWORD = 4;
constexpr DWORD REG_OPTION_NON_VOLATILE = 0;
constexpr DWORD REG_CREATED_NEW_KEY = 1;
constexpr DWORD REG_OPENED_EXISTING_KEY = 2;

// Resources
inline LPCWSTR RT_ICON_W() { return MAKEINTRESOURCEW(3); }
inline LPCWSTR RT_MENU_W() { return MAKEINTRESOURCEW(4); }
inline LPCWSTR RT_DIALOG_W() { return MAKEINTRESOURCEW(5); }
inline LPCWSTR RT_STRING_W() { return MAKEINTRESOURCEW(6); }
inline LPCWSTR RT_VERSION_W() { return MAKEINTRESOURCEW(16); }
inline LPCWSTR RT_HTML_W() { return MAKEINTRESOURCEW(23); }
#define RT_VERSION RT_VERSION_W()
#define RT_HTML RT_HTML_W()

// Date and time formatting
constexpr DWORD TIME_NOSECONDS = 0x00000002;
constexpr DWORD TIME_FORCE24HOURFORMAT = 0x00000008;
inline constexpr LPCWSTR LOCALE_NAME_USER_DEFAULT = nullptr;

// Common controls
constexpr DWORD ICC_WIN95_CLASSES = 0x000000FF;

// Cursors
inline LPCWSTR IDC_ARROW_W() { return MAKEINTRESOURCEW(32512); }
inline LPCWSTR IDC_WAIT_W() { return MAKEINTRESOURCEW(32514); }

// Combo box and extended combo box messages
constexpr UINT CB_GETCOUNT = 0x0146;
constexpr UINT CB_SETCURSEL = 0x014E;
constexpr UINT CB_GETCURSEL = 0x0147;
constexpr UINT CBEM_INSERTITEMW = WM_USER + 11;
constexpr UINT CBEM_GETEDITCONTROL = WM_USER + 7;
constexpr UINT CBEM_DELETEITEM = 0x0144;  // same value as CB_DELETESTRING
constexpr UINT CBEM_GETITEMW = WM_USER + 13;
constexpr UINT CBEIF_TEXT = 0x00000001;

struct COMBOBOXEXITEMW {
    UINT mask = 0;
    LONG_PTR iItem = 0;
    LPWSTR pszText = nullptr;
    int cchTextMax = 0;
    int iImage = 0;
    int iSelectedImage = 0;
    int iOverlay = 0;
    int iIndent = 0;
    LPARAM lParam = 0;
};
