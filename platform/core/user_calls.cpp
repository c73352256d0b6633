// Message boxes, the keyboard, the cursor and the shell's "open".
#include <string>

#include "crt/crt.h"
#include "shell_rundll.h"
#include "window_manager.h"

using platform::CurrentBackend;
using platform::HasBackend;

int MessageBoxW(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type) {
    if (!HasBackend()) return 0;
    std::u16string message = text ? text : u"";
    std::u16string title = caption ? caption : u"Error";
    return CurrentBackend().MessageBox(platform::Live(owner), message, title, type);
}

void keybd_event(BYTE key, BYTE, DWORD flags, std::uintptr_t) {
    if (HasBackend()) CurrentBackend().SynthesizeKey(key, (flags & KEYEVENTF_KEYUP) != 0);
}

short GetAsyncKeyState(int key) {
    return HasBackend() && CurrentBackend().IsKeyDown(key) ? static_cast<short>(0x8000) : 0;
}

struct CursorObject {
    bool wait;
};

HCURSOR LoadCursorW(HINSTANCE, LPCWSTR name) {
    static CursorObject arrow{false}, wait{true};
    return name == IDC_WAIT_W() ? &wait : &arrow;
}

HCURSOR SetCursor(HCURSOR cursor) {
    static HCURSOR current = nullptr;
    HCURSOR previous = current;
    current = cursor;
    if (HasBackend()) CurrentBackend().SetWaitCursor(cursor && cursor->wait);
    return previous;
}

BOOL InitCommonControlsEx(const INITCOMMONCONTROLSEX* init) {
    // The controls are built in; the call only checks its argument, as on the platform.
    return init && init->dwSize == sizeof(INITCOMMONCONTROLSEX) ? TRUE : FALSE;
}

namespace {
constexpr std::uintptr_t kShellSuccess = 42;    // any value above 32
constexpr std::uintptr_t kShellFileNotFound = 2;
HINSTANCE ShellResult(std::uintptr_t code) { return reinterpret_cast<HINSTANCE>(code); }
}  // namespace

HINSTANCE ShellExecuteW(HWND, LPCWSTR verb, LPCWSTR file, LPCWSTR parameters, LPCWSTR, int) {
    std::u16string target = file ? file : u"";
    std::u16string action = verb ? verb : u"open";
    if (!HasBackend() || target.empty() || (action != u"open" && action != u"explore"))
        return ShellResult(kShellFileNotFound);
    if (platform::IsRunDllProgram(target)) {
        // No rundll32.exe here: the entries with a counterpart run in the layer, the others
        // are not found.
        auto kinds = platform::ClearTracksKinds(parameters ? parameters : u"");
        if (!kinds) return ShellResult(kShellFileNotFound);
        if (*kinds == 0) return ShellResult(kShellSuccess);
        return ShellResult(CurrentBackend().ClearWebsiteData(*kinds) ? kShellSuccess : kShellFileNotFound);
    }
    return ShellResult(CurrentBackend().OpenWithDesktop(target) ? kShellSuccess : kShellFileNotFound);
}
