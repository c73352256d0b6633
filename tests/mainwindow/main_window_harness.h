// One run of the main window on the simulated desktop, as start-up runs it: the window is
// the application's main window and DoModal runs its loop. Steps given with Then run each
// time the loop waits for the user; the last step closes the window.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "afx/app.h"
#include "afx/ole.h"
#include "diagnostics/log_folder.h"
#include "diagnostics/log_writer.h"
#include "mainwindow/corvale_dlg.h"
#include "support/scoped_test_folder.h"
#include "sim/desktop.h"
#include "win32/api.h"

namespace mainwindow_test {

inline constexpr char16_t kStartUrl[] = u"https://start.example/";

// The main window, remembering the control site its own factory made (valid while the
// browser control lives, that is while the window is open).
class ObservedMainWindow : public CCorvaleDlg {
public:
    using CCorvaleDlg::CCorvaleDlg;
    BOOL CreateControlSite(COleControlContainer* container, COleControlSite** site, UINT id,
                           REFCLSID clsid) override {
        BOOL made = CCorvaleDlg::CreateControlSite(container, site, id, clsid);
        if (made && site) controlSite = *site;
        return made;
    }
    COleControlSite* controlSite = nullptr;
};

// Where a child window lies in its parent's client area, from the documented calls only.
inline RECT RectInParentClient(HWND child) {
    HWND parent = GetParent(child);
    RECT outer{}, frame{}, rect{};
    GetWindowRect(child, &outer);
    GetWindowRect(parent, &frame);
    RECT insets{};  // the parent's frame: an empty client rectangle grown to the window
    AdjustWindowRectEx(&insets, static_cast<DWORD>(GetWindowLongW(parent, GWL_STYLE)), GetMenu(parent) != nullptr,
                       static_cast<DWORD>(GetWindowLongW(parent, GWL_EXSTYLE)));
    const LONG originX = frame.left - insets.left, originY = frame.top - insets.top;
    rect = RECT{outer.left - originX, outer.top - originY, outer.right - originX, outer.bottom - originY};
    return rect;
}

inline std::string Describe(const RECT& r) {
    return "{" + std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) + "," +
           std::to_string(r.bottom) + "}";
}

// The process's one application object. The settings object binds itself to the
// application it first finds and keeps it for the process's life, as the program has a
// single global application: every run shares this one.
inline CWinApp& SharedApplication() {
    static CWinApp application{u"Pelmarin"};
    return application;
}

class MainWindowHarness {
public:
    explicit MainWindowHarness(bool fullScreen = false) : window(fullScreen) {
        app.m_pMainWnd = &window;
        window.startUrl = kStartUrl;
        sim::Page start;
        start.title = u"Start";
        desktop.AddPage(kStartUrl, start);
    }
    ~MainWindowHarness() {
        app.m_pMainWnd = nullptr;
        SetLoggingEnabled(false);
        DestroyActiveLog();
        ForgetLogFolder();
    }
    MainWindowHarness(const MainWindowHarness&) = delete;
    MainWindowHarness& operator=(const MainWindowHarness&) = delete;

    void Then(std::function<void()> step) { desktop.Then(std::move(step)); }

    // Runs the window; a last step closes it. Returns DoModal's result.
    INT_PTR Run() {
        desktop.Then([this] { desktop.ClickClose(window.m_hWnd); });
        INT_PTR result = window.DoModal();
        EXPECT_FALSE(desktop.ended) << "the window should have closed before the steps ran out";
        return result;
    }

    sim::Engine& Engine() const {
        sim::Engine* engine = desktop.EngineOf(window.m_wndBrowser.m_hWnd);
        if (!engine) throw std::runtime_error("the main window has no browser engine (is it still open?)");
        return *engine;
    }
    HWND Edit() const { return window.addressBox.GetEditCtrlHandle(); }
    std::u16string EditText() const {
        char16_t text[2048] = {};
        GetWindowTextW(Edit(), text, 2048);
        return text;
    }
    std::vector<std::u16string> TypedAddresses() const {
        std::vector<std::u16string> items;
        const int count = static_cast<int>(SendMessageW(window.addressBox.m_hWnd, CB_GETCOUNT, 0, 0));
        for (int i = 0; i < count; ++i) {
            char16_t text[2048] = {};
            COMBOBOXEXITEMW item;
            item.mask = CBEIF_TEXT;
            item.iItem = i;
            item.pszText = text;
            item.cchTextMax = 2048;
            SendMessageW(window.addressBox.m_hWnd, CBEM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item));
            items.emplace_back(text);
        }
        return items;
    }
    void SetFocusToEdit() const { SetFocus(Edit()); }
    // Types into the address box and presses Enter there, as the user does.
    void EnterAddress(const std::u16string& text) {
        SetFocusToEdit();
        desktop.Type(Edit(), text);
        desktop.PressKey(VK_RETURN);
    }
    // Presses a key with the focus in the page, optionally with Ctrl held.
    bool PressInPage(int key, bool control = false) {
        SetFocus(window.m_wndBrowser.m_hWnd);
        if (control) desktop.HoldKey(VK_CONTROL, true);
        bool taken = desktop.PressKey(key);
        if (control) desktop.HoldKey(VK_CONTROL, false);
        return taken;
    }

private:
    testing_support::ScopedTestFolder folder_;

public:
    testing_support::ScopedEnvironment xdg{"XDG_CONFIG_HOME", (folder_.path() / "config").string()};
    testing_support::ScopedEnvironment home{"HOME", folder_.path().string()};
    testing_support::ScopedEnvironment machine{"PELMARIN_MACHINE_REGISTRY", (folder_.path() / "machine").string()};
    testing_support::ScopedEnvironment language{"LC_ALL", std::string("en_US.UTF-8")};
    sim::Session session;
    sim::Desktop& desktop = session.desktop;
    CWinApp& app = SharedApplication();
    ObservedMainWindow window;

    const std::filesystem::path& folder() const { return folder_.path(); }
};

}  // namespace mainwindow_test
