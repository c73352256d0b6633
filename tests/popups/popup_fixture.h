// Popups opened by the main window's page on the simulated desktop.
#pragma once

#include "afx/wnd.h"
#include "hosting/browser_window.h"
#include "hosting/derived_html_dialog.h"
#include "popups/main_window_fixture.h"
#include "window_manager.h"

namespace testing_support {

class PopupTest : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        desktop.AddPage(kPopupPage, Page(u"Popup page", u"<p>popup</p>"));
        desktop.AddPage(kEmptyPage, Page(u"Empty", u""));
    }

    // Popups still open are closed, so that each test's objects go with it (the program
    // itself leaves them to the end of the process).
    void TearDown() override {
        for (HWND top : desktop.TopLevelWindows())
            if (DialogOf(top) && ::IsWindow(top)) ::SendMessageW(top, WM_COMMAND, IDCANCEL, 0);
        RunLoop();
        MainWindowTest::TearDown();
    }

    static constexpr const char16_t* kPopupPage = u"http://127.0.0.1/popup.html";
    static constexpr const char16_t* kEmptyPage = u"http://127.0.0.1/empty.html";

    // window.open in the page of opener; the engine's events are run to the end.
    sim::Engine* Open(sim::Engine* opener, const char16_t* url = kPopupPage,
                      const platform::WindowFeatures& features = {}) {
        auto* engine = static_cast<sim::Engine*>(opener->OpenWindow(url, features));
        desktop.RunPending();
        return engine;
    }

    // The popup window of an engine, and its dialog and new-window object.
    static HWND PopupOf(const sim::Engine* engine) { return engine ? ::GetParent(engine->window) : nullptr; }
    static CDerivedHtmlDialog* DialogOf(HWND popup) {
        return dynamic_cast<CDerivedHtmlDialog*>(CWnd::FromHandlePermanent(popup));
    }
    static CBrowserWindow* ObjectOf(HWND popup) {
        CDerivedHtmlDialog* dialog = DialogOf(popup);
        return dialog ? dialog->browserWindow : nullptr;
    }

    // Runs posted messages and engine events until nothing is left to do.
    void RunLoop() {
        desktop.RunPending();
        platform::RunMessageLoop([] { return false; });
        desktop.ended = false;
    }

    static RECT RectOf(HWND window) {
        RECT r{};
        ::GetWindowRect(window, &r);
        return r;
    }
};

}  // namespace testing_support
