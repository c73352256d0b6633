// The main window when the engine cannot show a page: its web process went, or the site's
// certificate failed. The window keeps the address, its document is the engine's page, the
// start-up wait ends, and Refresh brings the site back; no certificate is ever let through.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "crt/crt.h"
#include "engine_fault_page.h"
#include "mainwindow/main_window_harness.h"

namespace {

using mainwindow_test::kStartUrl;
using mainwindow_test::MainWindowHarness;

constexpr UINT kRefreshCommand = 32778;
constexpr char16_t kSite[] = u"https://site.example/page?a=1&b=2";
constexpr char16_t kBadSite[] = u"https://bad.example/";

struct Shown {
    std::u16string address, title, body;
};

// What the main window shows: its address box and the document it reads.
Shown ShownBy(MainWindowHarness& harness) {
    Shown shown{harness.EditText(), {}, {}};
    CComPtr<IHTMLDocument2> document;
    if (FAILED(harness.window.GetDHtmlDocument(&document)) || !document) return shown;
    CComBSTR title;
    if (SUCCEEDED(document->get_title(&title)) && title) shown.title = static_cast<const char16_t*>(title);
    CComPtr<IHTMLElement> body;
    CComBSTR html;
    if (SUCCEEDED(document->get_body(&body)) && body && SUCCEEDED(body->get_innerHTML(&html)) && html)
        shown.body = static_cast<const char16_t*>(html);
    return shown;
}

TEST(MainWindowFaultsTest, AGoneWebProcessShowsTheEnginesPageAndRefreshBringsTheSiteBack) {
    const std::pair<const char*, std::function<void(MainWindowHarness&)>> refreshes[] = {
        {"F5 in the page", [](MainWindowHarness& h) { h.PressInPage(VK_F5); }},
        {"the Refresh command", [](MainWindowHarness& h) { h.desktop.ChooseMenu(h.window.m_hWnd, kRefreshCommand); }},
    };
    for (const auto& [way, refresh] : refreshes) {
        SCOPED_TRACE(way);
        MainWindowHarness harness;
        sim::Page site;
        site.title = u"Site";
        site.body = u"<p>the site</p>";
        harness.desktop.AddPage(kSite, site);
        Shown broken, back;
        harness.Then([&] { harness.EnterAddress(kSite); });
        harness.Then([&] { harness.Engine().WebProcessGone(); });
        harness.Then([&] {
            broken = ShownBy(harness);
            refresh(harness);
        });
        harness.Then([&] { back = ShownBy(harness); });
        harness.Run();

        EXPECT_EQ(broken.address, kSite);
        EXPECT_EQ(broken.title, platform::kWebProcessGoneTitle);
        EXPECT_NE(broken.body.find(platform::EscapeHtml(kSite)), std::u16string::npos) << text::ToUtf8(broken.body);
        EXPECT_EQ(back.address, kSite);
        EXPECT_EQ(back.title, u"Site");
        EXPECT_EQ(back.body, u"<p>the site</p>");
        EXPECT_FALSE(harness.desktop.waitCursor);
        EXPECT_TRUE(harness.desktop.messageBoxes.empty()) << "the engine's page is no dialog";
    }
}

TEST(MainWindowFaultsTest, AFailedCertificateStopsOnTheEnginesPageAtEveryVisit) {
    MainWindowHarness harness;
    sim::Page bad;
    bad.title = u"Bad site";
    bad.body = u"<p>must not show</p>";
    bad.certificateProblems = platform::kCertificateUntrusted | platform::kCertificateWrongHost;
    harness.desktop.AddPage(kBadSite, bad);
    std::vector<Shown> visits;
    for (int visit = 0; visit < 2; ++visit) {
        harness.Then([&] { harness.EnterAddress(kBadSite); });
        harness.Then([&] { visits.push_back(ShownBy(harness)); });
        harness.Then([&] { harness.EnterAddress(kStartUrl); });
        harness.Then([&] { visits.push_back(ShownBy(harness)); });
    }
    harness.Run();

    ASSERT_EQ(visits.size(), 4u);
    for (int visit : {0, 2}) {
        SCOPED_TRACE(visit);
        EXPECT_EQ(visits[visit].address, kBadSite);
        EXPECT_EQ(visits[visit].title, platform::kCertificateErrorTitle);
        EXPECT_NE(visits[visit].body.find(u"The certificate is not trusted"), std::u16string::npos);
        EXPECT_NE(visits[visit].body.find(u"for another host"), std::u16string::npos);
        EXPECT_EQ(visits[visit].body.find(u"must not show"), std::u16string::npos);
        EXPECT_EQ(visits[visit + 1].title, u"Start") << "the next navigation works";
    }
}

}  // namespace
