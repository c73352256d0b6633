// The address box: Enter navigates and keeps the seven newest typed addresses; the box
// follows the browser's top-level address.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "crt/crt.h"
#include "mainwindow/main_window_harness.h"

namespace {

using mainwindow_test::kStartUrl;
using mainwindow_test::MainWindowHarness;
using Texts = std::vector<std::u16string>;

std::string Join(const Texts& texts) {
    std::string out;
    for (const auto& t : texts) out += "[" + text::ToUtf8(t) + "]";
    return out;
}

TEST(AddressBoxTest, EnterKeepsTheTypedAddressesNewestFirst) {
    struct Case {
        const char* what;
        Texts typed;
        Texts list;        // the box's items afterwards
        Texts navigated;   // what the browser was asked to load after the start address
    };
    const Case cases[] = {
        {"eight distinct addresses keep the newest seven",
         {u"http://1/", u"http://2/", u"http://3/", u"http://4/", u"http://5/", u"http://6/", u"http://7/", u"http://8/"},
         {u"http://8/", u"http://7/", u"http://6/", u"http://5/", u"http://4/", u"http://3/", u"http://2/"},
         {u"http://1/", u"http://2/", u"http://3/", u"http://4/", u"http://5/", u"http://6/", u"http://7/", u"http://8/"}},
        {"an address further down moves to the top",
         {u"http://a/", u"http://b/", u"http://c/", u"http://a/"},
         {u"http://a/", u"http://c/", u"http://b/"},
         {u"http://a/", u"http://b/", u"http://c/", u"http://a/"}},
        {"the first address again leaves the list and still navigates",
         {u"http://a/", u"http://b/", u"http://b/"},
         {u"http://b/", u"http://a/"},
         {u"http://a/", u"http://b/", u"http://b/"}},
        {"a full list with an address already in it loses nothing",
         {u"http://1/", u"http://2/", u"http://3/", u"http://4/", u"http://5/", u"http://6/", u"http://7/", u"http://1/"},
         {u"http://1/", u"http://7/", u"http://6/", u"http://5/", u"http://4/", u"http://3/", u"http://2/"},
         {u"http://1/", u"http://2/", u"http://3/", u"http://4/", u"http://5/", u"http://6/", u"http://7/", u"http://1/"}},
        {"addresses that differ in case are different",
         {u"http://example.com/a", u"http://example.com/A"},
         {u"http://example.com/A", u"http://example.com/a"},
         {u"http://example.com/a", u"http://example.com/A"}},
        {"empty text does nothing", {u""}, {}, {}},
        {"empty text after an address", {u"http://a/", u""}, {u"http://a/"}, {u"http://a/"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        MainWindowHarness harness;
        for (const auto& address : c.typed) harness.Then([&harness, address] { harness.EnterAddress(address); });
        Texts list, navigated;
        harness.Then([&] {
            list = harness.TypedAddresses();
            navigated = harness.Engine().navigations;
        });
        harness.Run();
        EXPECT_EQ(list, c.list) << Join(list);
        ASSERT_FALSE(navigated.empty());
        EXPECT_EQ(navigated.front(), kStartUrl);
        navigated.erase(navigated.begin());
        EXPECT_EQ(navigated, c.navigated) << Join(navigated);
    }
}

TEST(AddressBoxTest, EnterInTheAddressBoxIsNotPassedOn) {
    MainWindowHarness harness;
    bool taken = false;
    harness.Then([&] {
        harness.SetFocusToEdit();
        harness.desktop.Type(harness.Edit(), u"http://typed/");
        taken = harness.desktop.PressKey(VK_RETURN);
    });
    harness.Run();
    EXPECT_TRUE(taken);
    EXPECT_TRUE(harness.desktop.synthesizedKeys.empty());
}

TEST(AddressBoxTest, TheBoxShowsTheTopLevelAddressAfterEveryNavigation) {
    MainWindowHarness harness;
    sim::Page withFrame;
    withFrame.title = u"Frames";
    withFrame.frames = {u"https://frames.example/inner.html"};
    harness.desktop.AddPage(u"https://frames.example/", withFrame);
    std::u16string atStart, afterLink, afterFrames;
    harness.Then([&] {
        atStart = harness.EditText();
        harness.desktop.Type(harness.Edit(), u"half typed");  // overwritten by the next navigation
        harness.Engine().ClickLink(u"https://link.example/next");
    });
    harness.Then([&] {
        afterLink = harness.EditText();
        harness.Engine().ClickLink(u"https://frames.example/");
    });
    harness.Then([&] { afterFrames = harness.EditText(); });
    harness.Run();
    EXPECT_EQ(atStart, kStartUrl);
    EXPECT_EQ(afterLink, u"https://link.example/next");
    EXPECT_EQ(afterFrames, u"https://frames.example/") << "a frame's navigation shows the top-level address";
}

}  // namespace
