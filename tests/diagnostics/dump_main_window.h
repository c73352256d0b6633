// The main window on the simulated desktop, in folders of its own, with what the
// diagnostics write read back: the lines of the main log and the dump files.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <map>
#include <regex>
#include <stdexcept>
#include <string>
#include <vector>

#include "afx/app.h"
#include "crt/crt.h"
#include "diagnostics/html_dump.h"
#include "diagnostics/log_folder.h"
#include "diagnostics/log_writer.h"
#include "mainwindow/corvale_dlg.h"
#include "support/scoped_test_folder.h"
#include "sim/desktop.h"
#include "win32/api.h"

namespace diagnostics_test {

namespace fs = std::filesystem;

// The lines of a text file written in text mode, without their CR LF; a last line without
// its line end is kept as it is.
inline std::vector<std::string> FileLines(const fs::path& file) {
    const std::string bytes = testing_support::ReadBytes(file);
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end = bytes.find("\r\n"); end != std::string::npos; end = bytes.find("\r\n", start)) {
        lines.push_back(bytes.substr(start, end - start));
        start = end + 2;
    }
    if (start < bytes.size()) lines.push_back(bytes.substr(start));
    return lines;
}

// Folders and environment of one test: the application data (and with it the log folder)
// lives in a folder of the test's own; logging and the dump index start as in a new process.
class DiagnosticsFolders {
public:
    DiagnosticsFolders() { Reset(); }
    ~DiagnosticsFolders() { Reset(); }
    DiagnosticsFolders(const DiagnosticsFolders&) = delete;
    DiagnosticsFolders& operator=(const DiagnosticsFolders&) = delete;

    fs::path logs() const { return folder_.path() / "config" / "Quendris" / "Pelmarin" / "Logs"; }

    // The text of every message of the main log(s), without the prefix, in order; the
    // header's lines are left out.
    std::vector<std::string> LogMessages(const std::string& startingWith = "") const {
        static const std::regex prefix("^Browser: [^\t]*: \t[A-Za-z0-9]+:\t[0-9A-F]+\t(.*)$");
        std::vector<std::string> messages;
        for (const fs::path& file : Files("-Browser.log")) {
            for (const std::string& line : FileLines(file)) {
                std::smatch match;
                if (!std::regex_match(line, match, prefix)) continue;
                if (match[1].str().rfind(startingWith, 0) == 0) messages.push_back(match[1].str());
            }
        }
        return messages;
    }
    // The whole lines (prefix included) of the main log that contain text.
    std::vector<std::string> LogLinesWith(const std::string& text) const {
        std::vector<std::string> found;
        for (const fs::path& file : Files("-Browser.log"))
            for (const std::string& line : FileLines(file))
                if (line.find(text) != std::string::npos) found.push_back(line);
        return found;
    }
    // The dump files by their index.
    std::map<std::int64_t, fs::path> DumpFiles() const {
        static const std::regex name("^HTML_Document_([0-9]+)\\.log$");
        std::map<std::int64_t, fs::path> dumps;
        for (const fs::path& file : Files(".log")) {
            std::smatch match;
            const std::string leaf = file.filename().string();
            if (std::regex_match(leaf, match, name)) dumps[std::stoll(match[1].str())] = file;
        }
        return dumps;
    }

private:
    void Reset() {
        SetLoggingEnabled(false);
        DestroyActiveLog();
        ForgetLogFolder();
        ResetLastDumpIndex();
        SetDumpClock(nullptr);
    }
    std::vector<fs::path> Files(const std::string& ending) const {
        std::vector<fs::path> files;
        if (!fs::is_directory(logs())) return files;
        for (const fs::directory_entry& entry : fs::directory_iterator(logs()))
            if (entry.path().filename().string().ends_with(ending)) files.push_back(entry.path());
        std::sort(files.begin(), files.end());
        return files;
    }

    testing_support::ScopedTestFolder folder_;

public:
    testing_support::ScopedEnvironment xdg{"XDG_CONFIG_HOME", (folder_.path() / "config").string()};
    testing_support::ScopedEnvironment home{"HOME", folder_.path().string()};
    testing_support::ScopedEnvironment machine{"PELMARIN_MACHINE_REGISTRY", (folder_.path() / "machine").string()};
    testing_support::ScopedEnvironment language{"LC_ALL", std::string("en_US.UTF-8")};
};

inline constexpr char16_t kStartUrl[] = u"https://start.example/";

// The application object of the test process. It lives as long as the process, as the
// program's does: the settings object, made once, keeps the application it was made with.
inline CWinApp& TestApplication() {
    static CWinApp application{u"Pelmarin"};
    return application;
}

// One run of the main window: steps run each time its loop waits; a last step closes it.
class MainWindowRun : public DiagnosticsFolders {
public:
    explicit MainWindowRun(bool logging) {
        app.m_pMainWnd = &window;
        window.startUrl = kStartUrl;
        window.enableLogging = logging;
        sim::Page start;
        start.title = u"Start";
        start.body = u"<p>start</p>";
        desktop.AddPage(kStartUrl, start);
    }
    ~MainWindowRun() { app.m_pMainWnd = nullptr; }

    void Then(std::function<void()> step) { desktop.Then(std::move(step)); }
    void Run() {
        desktop.Then([this] { desktop.ClickClose(window.m_hWnd); });
        window.DoModal();
        EXPECT_FALSE(desktop.ended) << "the window should have closed before the steps ran out";
    }
    sim::Engine& Engine() const {
        sim::Engine* engine = desktop.EngineOf(window.m_wndBrowser.m_hWnd);
        if (!engine) throw std::runtime_error("the main window has no browser engine");
        return *engine;
    }
    // The window's current document, as the main window gets it.
    CComPtr<IHTMLDocument2> Document() {
        CComPtr<IHTMLDocument2> document;
        window.GetDHtmlDocument(&document);
        return document;
    }

    sim::Session session;
    sim::Desktop& desktop = session.desktop;
    CWinApp& app = TestApplication();
    CCorvaleDlg window{false};
};

}  // namespace diagnostics_test
