// Helpers of the window tests: windows made as CreateWindowExW would make them, a window
// procedure that records what it is sent, and a simulated desktop for the frame metrics.
#pragma once

#include <string>
#include <vector>

#include "afx/wnd.h"
#include "sim/desktop.h"
#include "win32/templates.h"
#include "window_manager.h"

namespace windows_test {

constexpr DWORD kFramedStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME;

inline HWND TopLevel(DWORD style, const RECT& rect, HWND owner = nullptr) {
    return platform::CreateWindowObject(platform::WindowClass::Dialog, 0, u"top", style, rect, owner, 0);
}

inline HWND Child(HWND parent, const RECT& rect, int id, DWORD style = WS_VISIBLE) {
    return platform::CreateWindowObject(platform::WindowClass::Static, 0, u"child", style | WS_CHILD, rect, parent, id);
}

struct Received {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

// Attached to a window, keeps every message its procedure receives.
class RecordingWindow : public CWnd {
public:
    explicit RecordingWindow(HWND window, std::vector<std::pair<std::string, UINT>>* log = nullptr,
                             std::string name = {})
        : log_(log), name_(std::move(name)) {
        Attach(window);
    }
    ~RecordingWindow() override {
        if (m_hWnd) ::DestroyWindow(m_hWnd);
    }
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        received.push_back({message, wParam, lParam});
        if (log_) log_->emplace_back(name_, message);
        return CWnd::WindowProc(message, wParam, lParam);
    }
    std::vector<Received> Sizes() const {
        std::vector<Received> sizes;
        for (const auto& r : received)
            if (r.message == WM_SIZE) sizes.push_back(r);
        return sizes;
    }
    std::vector<Received> received;

private:
    std::vector<std::pair<std::string, UINT>>* log_;
    std::string name_;
};

// A menu of the tests' own: a bar with a submenu (two commands and a separator) and a command.
constexpr WORD kTestMenu = 9140;
inline HMENU LoadTestMenu() {
    static const bool registered = [] {
        RegisterMenuTemplate(kTestMenu, {{u"File", 0, false, {{u"Open", 1, false, {}}, {u"", 0, true, {}}, {u"Close", 2, false, {}}}},
                                         {u"Go", 3, false, {}}});
        return true;
    }();
    (void)registered;
    return LoadMenuW(nullptr, MAKEINTRESOURCEW(kTestMenu));
}

inline std::string Describe(const RECT& r) {
    return "{" + std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) + "," +
           std::to_string(r.bottom) + "}";
}

}  // namespace windows_test
