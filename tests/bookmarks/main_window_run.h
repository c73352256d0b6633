// The main window on the simulated desktop as start-up runs it, over a settings file of
// the test's own: steps given with Then run each time a loop waits for the user (the
// window's or a dialog's); the last step closes the window.
//
// The settings object of the process is bound to the first application object it sees, so
// every test of a program shares one application object and only its settings file changes.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "afx/app.h"
#include "crt/crt.h"
#include "mainwindow/corvale_dlg.h"
#include "paths.h"
#include "settings/app_config.h"
#include "support/scoped_test_folder.h"
#include "sim/desktop.h"
#include "win32/api.h"

namespace pelmarin_test {

inline constexpr char16_t kStartUrl[] = u"https://start.example/";

inline CWinApp& SharedApp() {
    static CWinApp app{u"Pelmarin"};
    return app;
}

// The res: address of the bookmarks page in this test program.
inline std::u16string BookmarksPageAddress() {
    char16_t module[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, module, MAX_PATH);
    return u"res://" + std::u16string(module) + u"/142";
}

inline std::string U8(const std::u16string& text) { return text::ToUtf8(text); }

inline std::u16string WindowText(HWND window) {
    std::u16string text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, u'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

class MainWindowRun {
public:
    // settings: the bytes of AppSettings.ini before the window starts; none: no file.
    explicit MainWindowRun(const std::string* settings = nullptr) : app(SharedApp()), window(false) {
        if (settings) testing_support::WriteBytes(SettingsFile(), *settings);
        app.SetProfileName(FromHostPath(SettingsFile().string()).c_str());
        CCorvaleAppConfig::Instance();  // bound to the shared application from the first test on
        app.m_pMainWnd = &window;
        window.startUrl = kStartUrl;
        sim::Page start;
        start.title = u"Start";
        start.body = u"<p>start</p>";
        desktop.AddPage(kStartUrl, start);
    }
    ~MainWindowRun() {
        app.m_pMainWnd = nullptr;
        app.SetProfileName(nullptr);
    }
    MainWindowRun(const MainWindowRun&) = delete;
    MainWindowRun& operator=(const MainWindowRun&) = delete;

    void Then(std::function<void()> step) { desktop.Then(std::move(step)); }

    // Runs the window until a last step closes it.
    void Run() {
        desktop.Then([this] { desktop.ClickClose(window.m_hWnd); });
        window.DoModal();
        EXPECT_FALSE(desktop.ended) << "the steps ran out before the window closed";
    }

    sim::Engine& Engine() const {
        sim::Engine* engine = desktop.EngineOf(window.m_wndBrowser.m_hWnd);
        if (!engine) throw std::runtime_error("the main window has no browser engine");
        return *engine;
    }

    // The dialog in front of the main window, or null.
    HWND Dialog() const {
        auto windows = desktop.TopLevelWindows();
        for (auto it = windows.rbegin(); it != windows.rend(); ++it)
            if (*it != window.m_hWnd && IsWindowVisible(*it)) return *it;
        return nullptr;
    }
    void Type(HWND dialog, int id, const std::u16string& text) { desktop.Type(GetDlgItem(dialog, id), text); }
    std::u16string Text(HWND dialog, int id) const { return WindowText(GetDlgItem(dialog, id)); }
    void Click(HWND dialog, int id) { desktop.ClickButton(GetDlgItem(dialog, id)); }

    std::filesystem::path SettingsFile() const { return folder_.path() / "AppSettings.ini"; }
    std::string SettingsBytes() const {
        return std::filesystem::exists(SettingsFile()) ? testing_support::ReadBytes(SettingsFile()) : "<no file>";
    }

private:
    testing_support::ScopedTestFolder folder_;

public:
    testing_support::ScopedEnvironment home{"HOME", folder_.path().string()};
    testing_support::ScopedEnvironment xdg{"XDG_CONFIG_HOME", (folder_.path() / "config").string()};
    testing_support::ScopedEnvironment machine{"PELMARIN_MACHINE_REGISTRY", (folder_.path() / "machine").string()};
    // The user's own proxy comes from the environment too: none unless a test sets one.
    std::vector<std::unique_ptr<testing_support::ScopedEnvironment>> proxyVariables = [] {
        std::vector<std::unique_ptr<testing_support::ScopedEnvironment>> unset;
        for (const char* name : {"http_proxy", "HTTP_PROXY", "https_proxy", "HTTPS_PROXY", "ftp_proxy", "FTP_PROXY",
                                 "all_proxy", "ALL_PROXY", "no_proxy", "NO_PROXY"})
            unset.push_back(std::make_unique<testing_support::ScopedEnvironment>(name, std::nullopt));
        return unset;
    }();
    sim::Session session;
    sim::Desktop& desktop = session.desktop;
    CWinApp& app;
    CCorvaleDlg window;
};

}  // namespace pelmarin_test
