// Dump bench: how long the main window takes from the start of a navigation to the end of
// its DocumentComplete handling (console registration and, with logging on, the document
// dump) for pages of 10 KB, 1 MB and 5 MB of body HTML with 200 script elements, with
// logging off and on; then the log writer's rate in lines per second, flushing each line.
// Runs the real main window on the desktop engine. Not a test: it prints figures.
//
//   dump_bench <page folder> [runs per case (default 5)]
#include "gtk_toolkit.h"  // first: the layer's TRUE and FALSE before GLib's macros

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "afx/app.h"
#include "crt/crt.h"
#include "diagnostics/log_writer.h"
#include "gtk_backend.h"
#include "mainwindow/corvale_dlg.h"
#include "sandbox_folders.h"

namespace {

using Clock = std::chrono::steady_clock;

struct PageCase {
    const char* name;
    std::size_t bodyBytes;
    std::string file;
};

constexpr int kScriptElements = 200;

// A page of 200 script elements in its head and a body of exactly bodyBytes of HTML.
std::string MakePage(std::size_t bodyBytes) {
    std::string page = "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>Bench</title>\n";
    for (int i = 0; i < kScriptElements; ++i) page += "<script>var v" + std::to_string(i) + " = " + std::to_string(i) + ";</script>\n";
    page += "</head><body>";
    const std::string paragraph = "<p>The quick brown fox jumps over the lazy dog, again and again.</p>\n";
    std::string body;
    while (body.size() + paragraph.size() <= bodyBytes) body += paragraph;
    body += std::string(bodyBytes - body.size(), 'x');
    return page + body + "</body></html>\n";
}

// The main window, timing its DocumentComplete handling of top-level documents.
class TimedMainWindow : public CCorvaleDlg {
    DECLARE_EVENTSINK_MAP()
public:
    TimedMainWindow() : CCorvaleDlg(false) {}
    void OnTimedDocumentComplete(IDispatch* disp, VARIANT* url) {
        const Clock::time_point start = Clock::now();
        CCorvaleDlg::OnDocumentComplete(disp, url);
        handlerMs = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
        CComPtr<IUnknown> frame, browser;
        if (disp) disp->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&frame));
        if (m_pBrowserApp) m_pBrowserApp->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&browser));
        if (frame.get() == browser.get() && onTopLevelComplete) onTopLevelComplete();
    }
    std::function<void()> onTopLevelComplete;
    double handlerMs = 0;  // of the last DocumentComplete
};

const AFX_EVENTSINKMAP* TimedMainWindow::GetThisEventSinkMap() {
    static const AFX_EVENTSINKMAP_ENTRY entries[] = {
        afx::OnEvent<AFX_IDC_BROWSER, DISPID_DOCUMENTCOMPLETE, &TimedMainWindow::OnTimedDocumentComplete>(),
    };
    static const AFX_EVENTSINKMAP map{&CCorvaleDlg::GetThisEventSinkMap, entries, std::size(entries)};
    return &map;
}
const AFX_EVENTSINKMAP* TimedMainWindow::GetEventSinkMap() const { return GetThisEventSinkMap(); }

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values.empty() ? 0.0 : values[values.size() / 2];
}

// Runs the cases one navigation at a time, each started from an idle of the loop once the
// one before has completed.
class Bench {
public:
    Bench(TimedMainWindow& window, std::u16string startUrl, std::vector<PageCase> cases, int runs)
        : window_(window), cases_(std::move(cases)), runs_(runs), times_(cases_.size()),
          handlerTimes_(cases_.size()), startUrl_(std::move(startUrl)) {
        window_.onTopLevelComplete = [this] { Completed(); };
    }

    void Report() const {
        std::printf("Navigation start to the end of DocumentComplete handling (median of %d runs each);\n"
                    "in brackets the DocumentComplete handling alone.\n", runs_);
        std::printf("%-6s %24s %24s %8s\n", "page", "logging off", "logging on", "on/off");
        for (std::size_t c = 0; c < cases_.size(); ++c) {
            const double off = Median(times_[c][0]), on = Median(times_[c][1]);
            std::printf("%-6s %10.1f ms (%7.1f ms) %10.1f ms (%7.1f ms) %8.2f\n", cases_[c].name, off,
                        Median(handlerTimes_[c][0]), on, Median(handlerTimes_[c][1]), off > 0 ? on / off : 0.0);
        }
        std::printf("all runs, ms (off | on):\n");
        for (std::size_t c = 0; c < cases_.size(); ++c) {
            std::printf("  %-6s", cases_[c].name);
            for (int kind = 0; kind < 2; ++kind) {
                for (double t : times_[c][kind]) std::printf(" %.0f", t);
                if (kind == 0) std::printf(" |");
            }
            std::printf("\n");
        }
    }

private:
    void ScheduleNext() {
        g_idle_add(
            [](gpointer self) -> gboolean {
                static_cast<Bench*>(self)->Next();
                return G_SOURCE_REMOVE;
            },
            this);
    }
    // Every measured page is loaded from the small start page, so that no measurement pays
    // for taking down the big page before it.
    void Next() {
        if (backToStart_) {
            backToStart_ = false;
            SetLoggingEnabled(false);
            window_.Navigate(startUrl_.c_str());
            return;
        }
        // The runs interleave the cases and logging off and on, so that drift of the machine
        // reaches all of them alike; every other round takes logging on first, so that
        // neither kind always follows the other (a big page leaves the engine work to do).
        const std::size_t kinds = cases_.size() * 2;
        if (step_ == kinds * static_cast<std::size_t>(runs_)) {
            window_.PostMessage(WM_CLOSE, 0, 0);
            return;
        }
        current_ = step_ % kinds;
        if ((step_ / kinds) % 2 == 1) current_ ^= 1;
        SetLoggingEnabled(current_ % 2 == 1);
        const std::string url = "file://" + cases_[current_ / 2].file + "?run=" + std::to_string(step_);
        const std::u16string address = text::FromUtf8(url);
        measuring_ = true;
        started_ = Clock::now();
        window_.Navigate(address.c_str());
    }
    void Completed() {
        if (measuring_) {
            const double ms = std::chrono::duration<double, std::milli>(Clock::now() - started_).count();
            measuring_ = false;
            times_[current_ / 2][current_ % 2].push_back(ms);
            handlerTimes_[current_ / 2][current_ % 2].push_back(window_.handlerMs);
            ++step_;
            backToStart_ = true;
        }
        ScheduleNext();
    }

    TimedMainWindow& window_;
    std::vector<PageCase> cases_;
    int runs_;
    std::vector<std::array<std::vector<double>, 2>> times_;  // per case: logging off, on
    std::vector<std::array<std::vector<double>, 2>> handlerTimes_;  // the DocumentComplete handling alone
    std::size_t step_ = 0, current_ = 0;
    bool measuring_ = false, backToStart_ = false;
    Clock::time_point started_;
    std::u16string startUrl_;
};

// Lines per second of the log writer, each line flushed, rollovers included.
void MeasureWriter(int lines) {
    SetLoggingEnabled(true);
    const Clock::time_point start = Clock::now();
    for (int i = 0; i < lines; ++i)
        LogMessage(LogLevel::Info, nullptr, "Bench line %d: the log writer's rate, one flush a line\n", i);
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    SetLoggingEnabled(false);
    std::printf("log writer: %d lines in %.3f s = %.0f lines per second\n", lines, seconds, lines / seconds);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s PAGE_FOLDER [RUNS]\n", argv[0]);
        return 2;
    }
    const std::string folder = argv[1];
    const int runs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 5;

    std::vector<PageCase> cases = {{"10KB", 10 * 1024, ""}, {"1MB", 1024 * 1024, ""}, {"5MB", 5 * 1024 * 1024, ""}};
    for (PageCase& page : cases) {
        page.file = folder + "/bench-" + page.name + ".html";
        std::ofstream(page.file, std::ios::binary) << MakePage(page.bodyBytes);
    }
    const std::string start = folder + "/bench-start.html";
    std::ofstream(start, std::ios::binary) << "<!DOCTYPE html><title>Start</title><p>start</p>\n";

    platform::desktop::PrepareSandboxFolders();
    gtk_init(&argc, &argv);
    platform::InstallBackend(std::make_unique<platform::desktop::GtkBackend>());
    {
        CWinApp app(u"Pelmarin");
        TimedMainWindow window;
        app.m_pMainWnd = &window;
        const std::u16string startUrl = text::FromUtf8("file://" + start);
        window.startUrl = startUrl.c_str();
        Bench bench(window, startUrl, cases, runs);
        window.DoModal();
        app.m_pMainWnd = nullptr;
        bench.Report();
        MeasureWriter(200000);
    }
    platform::InstallBackend(nullptr);
    return 0;
}
