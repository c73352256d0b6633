// The one seam between the layer's core and a desktop. The core keeps the state of every
// window, menu and browser control; a backend makes it visible (or records it, in the
// simulation), runs the native event loop, and reports the user's actions through the
// functions in namespace platform::input.
#pragma once

#include <memory>
#include <string>

#include "backend/engine.h"
#include "backend/proxy.h"
#include "backend/window_object.h"

namespace platform {

// Kinds of stored website data, for Backend::ClearWebsiteData.
enum WebsiteData : unsigned {
    kWebsiteCookies = 1,
    kWebsiteCache = 2,  // cached responses, in memory and on disk
};

class Backend {
public:
    virtual ~Backend() = default;

    // ---- Windows: the core created, destroyed or changed a window or a menu.
    virtual void WindowCreated(HWND window) = 0;
    virtual void WindowDestroyed(HWND window) = 0;  // children first; the object still exists
    virtual void WindowChanged(HWND window, unsigned changes) = 0;  // WindowChange bits
    virtual void MenuChanged(HMENU menu) = 0;                      // items or check marks
    virtual void FocusWindow(HWND window) = 0;                     // keyboard focus moved by the program
    // The full rectangle of the monitor nearest to the window.
    virtual RECT MonitorRect(HWND window) = 0;
    // Sizes of the non-client area (caption, frame, menu bar) for a top-level window of
    // this style: the rectangle's members are the widths on each side.
    virtual RECT FrameInsets(DWORD style, DWORD exStyle, bool hasMenu) = 0;

    // ---- Modal interaction. Both run a nested loop until the user answers.
    virtual int MessageBox(HWND owner, const std::u16string& text, const std::u16string& caption,
                           UINT type) = 0;

    // ---- Event loop: run native events, waiting for one when wait is true. Returns false
    // when the desktop is gone (the program must end).
    virtual bool RunEvents(bool wait) = 0;
    virtual void Wake() = 0;  // a message was posted: make a waiting RunEvents return

    // ---- Keyboard and cursor.
    virtual void SynthesizeKey(int virtualKey, bool up) = 0;
    virtual bool IsKeyDown(int virtualKey) = 0;
    virtual void SetWaitCursor(bool wait) = 0;

    // ---- Shell: hand an address or a host path to the desktop's default application.
    virtual bool OpenWithDesktop(const std::u16string& target) = 0;
    // Clears what the engines keep of the websites the program visited (WebsiteData bits),
    // for every engine of the process. Returns at once; false when it cannot be done.
    virtual bool ClearWebsiteData(unsigned kinds) = 0;
    // The desktop's counterpart of the system's Internet Options: shows the engines'
    // connection and privacy settings, owned by owner, until the user closes it.
    virtual void ShowInternetOptions(HWND owner) = 0;

    // ---- Network proxy of this process's engines, in force for the next request of every
    // engine, present and future; false when the engines cannot use it.
    virtual bool SetProxy(const ProxySettings& settings) = 0;
    // The desktop's proxy configuration for its user; absent when the desktop keeps none.
    virtual std::optional<DesktopProxyConfiguration> DesktopProxy() = 0;

    // ---- Browser engines.
    virtual std::unique_ptr<Engine> CreateEngine(HWND browserWindow, EngineClient& client,
                                                 const EngineOptions& options) = 0;
};

// The backend the process runs on; installed once, before the application starts.
void InstallBackend(std::unique_ptr<Backend> backend);
Backend& CurrentBackend();
bool HasBackend();

// What the user did, reported by the backend on the user-interface thread.
namespace input {
// A key went down or up in target (the focused window). Runs the program's message
// pre-translation and, inside a browser, the host's accelerator handling. Returns true
// when the program consumed the key; the backend then keeps it from the native widget.
bool Key(HWND target, UINT message, int virtualKey, bool repeat);
void MenuCommand(HWND window, UINT id);
void CloseRequested(HWND window);                      // the caption's close button
void Moved(HWND window, const RECT& rect);             // the user moved or resized the window
void FocusChanged(HWND window);                        // the user moved the focus
void TextChanged(HWND window, const std::u16string& text);  // the user typed into an edit field
void ItemChosen(HWND comboBox, int index);             // chosen from a combo box's list
void ButtonClicked(HWND button);
}  // namespace input

}  // namespace platform
