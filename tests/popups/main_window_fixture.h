// A main window on the simulated desktop, with its own configuration and registry folders,
// for the tests of the menu commands and of the popup windows.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "afx/app.h"
#include "diagnostics/log_folder.h"
#include "diagnostics/log_writer.h"
#include "mainwindow/corvale_dlg.h"
#include "support/scoped_test_folder.h"
#include "sim/desktop.h"

namespace testing_support {

// A page with a title and a body.
inline sim::Page Page(std::u16string title, std::u16string body) {
    sim::Page page;
    page.title = std::move(title);
    page.body = std::move(body);
    return page;
}

class MainWindowTest : public ::testing::Test {
protected:
    static constexpr const char16_t* kStartPage = u"http://127.0.0.1/start.html";

    void SetUp() override {
        ResetLogging();
        std::filesystem::create_directories(config());
        std::filesystem::create_directories(machine());
        desktop.AddPage(kStartPage, Page(u"Start", u"<p>start</p>"));
    }
    void TearDown() override {
        if (window) {
            window->DestroyWindow();
            window.reset();
        }
        app.m_pMainWnd = nullptr;
        ResetLogging();
    }

    static void ResetLogging() {
        SetLoggingEnabled(false);
        DestroyActiveLog();
        ForgetLogFolder();
    }

    // Creates the main window on kStartPage (or url) and runs its first page's events.
    void OpenMainWindow(const char16_t* url = kStartPage) {
        window = std::make_unique<CCorvaleDlg>(false);
        window->startUrl = url;
        app.m_pMainWnd = window.get();
        ASSERT_TRUE(window->Create(mainwindow::kDialogTemplate, nullptr));
        window->ShowWindow(SW_SHOW);
        desktop.RunPending();
    }

    HWND Main() const { return window->m_hWnd; }
    HMENU Menu() const { return ::GetMenu(window->m_hWnd); }
    sim::Engine* MainEngine() const { return desktop.EngineOf(window->m_wndBrowser.m_hWnd); }
    // The command as the menu delivers it.
    void Choose(UINT id) { ::SendMessageW(Main(), WM_COMMAND, id, 0); }
    bool Checked(UINT id) const {
        UINT state = ::GetMenuState(Menu(), id, MF_BYCOMMAND);
        return state != static_cast<UINT>(-1) && (state & MF_CHECKED) != 0;
    }

    std::filesystem::path config() const { return folder_.path() / "config"; }
    std::filesystem::path machine() const { return folder_.path() / "machine"; }
    std::filesystem::path logs() const { return config() / "Quendris" / "Pelmarin" / "Logs"; }

    std::vector<std::filesystem::path> LogFiles() const {
        std::vector<std::filesystem::path> files;
        if (!std::filesystem::exists(logs())) return files;
        for (const auto& entry : std::filesystem::directory_iterator(logs())) files.push_back(entry.path());
        std::sort(files.begin(), files.end());
        return files;
    }
    // Everything logged so far, all files in order.
    std::string LogText() const {
        std::string text;
        for (const auto& file : LogFiles()) text += ReadBytes(file);
        return text;
    }
    static std::size_t Occurrences(const std::string& text, const std::string& part) {
        std::size_t count = 0;
        for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + part.size())) ++count;
        return count;
    }

    ScopedTestFolder folder_;
    ScopedEnvironment home_{"HOME", folder_.path().string()};
    ScopedEnvironment xdg_{"XDG_CONFIG_HOME", (folder_.path() / "config").string()};
    ScopedEnvironment machine_{"PELMARIN_MACHINE_REGISTRY", (folder_.path() / "machine").string()};
    sim::Session session;
    sim::Desktop& desktop = session.desktop;
    // One application object for the whole process, as in the program: process-wide
    // objects (the settings object) keep the first one they see.
    static CWinApp& Application() {
        static CWinApp application;
        return application;
    }
    CWinApp& app = Application();
    std::unique_ptr<CCorvaleDlg> window;
};

}  // namespace testing_support
