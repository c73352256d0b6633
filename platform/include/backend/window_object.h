// The layer's windows and menus. The core owns them and implements the Windows calls over
// them; a backend shows them on a desktop (or records them) and reports what the user did.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "win32/api.h"

class CWnd;

namespace platform {

class BrowserControl;

enum class WindowClass {
    Dialog,      // a top-level dialog (or a dialog inside another window)
    ReBar,       // a band container; its bands hold child windows
    ComboBoxEx,  // an extended combo box with its edit field as child
    Edit,
    Button,
    Static,
    Browser,     // the window of a WebBrowser control
};

struct ReBarBand {
    std::u16string text;
    HWND child = nullptr;
    DWORD style = 0;
};

// What changed, for Backend::WindowChanged.
enum WindowChange : unsigned {
    kChangeGeometry = 1,
    kChangeStyle = 2,
    kChangeVisibility = 4,
    kChangeText = 8,
    kChangeMenu = 16,
    kChangeItems = 32,
    kChangeBands = 64,
    kChangeIcon = 128,
    kChangeEnabled = 256,
    kChangeCheck = 512,
};

struct NativeData {
    virtual ~NativeData() = default;
};

}  // namespace platform

// What an HWND points at.
struct WindowObject {
    platform::WindowClass cls = platform::WindowClass::Dialog;
    int id = 0;
    DWORD style = 0;
    DWORD exStyle = 0;
    RECT rect{};  // top-level: screen coordinates of the whole window; child: in the parent's client area
    std::u16string text;
    HWND parent = nullptr;  // child windows
    HWND owner = nullptr;   // top-level windows
    std::vector<HWND> children;  // in Z order, topmost first
    HMENU menu = nullptr;
    CWnd* wnd = nullptr;  // the framework object attached to the window, if any
    HICON bigIcon = nullptr, smallIcon = nullptr;
    bool destroyed = false;
    // The client area as the window last knew it, kept when a style change alters the frame:
    // the frame takes the new style at the next SetWindowPos, which then reports a changed
    // client area with WM_SIZE.
    std::optional<RECT> clientBeforeStyleChange;
    // Controls
    std::vector<std::u16string> items;  // combo box items
    bool checked = false;               // check boxes and radio buttons
    HWND edit = nullptr;                // combo box's edit field
    std::vector<platform::ReBarBand> bands;
    platform::BrowserControl* browser = nullptr;  // Browser windows
    std::unique_ptr<platform::NativeData> native;  // the backend's own data
};

struct MenuItem {
    UINT id = 0;
    std::u16string text;
    UINT flags = 0;  // MF_CHECKED, MF_GRAYED, MF_SEPARATOR, MF_POPUP
    HMENU popup = nullptr;
};

struct MenuObject {
    std::vector<MenuItem> items;
    std::unique_ptr<platform::NativeData> native;
};
