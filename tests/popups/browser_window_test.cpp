// The new-window object: its reference balance, its interfaces and the frame members that
// act on the popup window.
#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "browser_control.h"
#include "popups/popup_fixture.h"

namespace {

using testing_support::PopupTest;

// ---- Reference balance ------------------------------------------------------------------------

enum class Step {
    BrowserTakes,     // the NewWindow3 handler's QueryInterface for IDispatch
    OtherHolderTakes, // someone else asks for IWebBrowser2 and keeps it
    ShowByBrowser,    // put_Visible(true)
    HideByBrowser,    // put_Visible(false)
    UserCloses,       // IDCANCEL reaches the popup (close button, window.close, empty download)
    BrowserLetsGo,    // the browser's Release
    OtherHolderLetsGo,
};

struct BalanceCase {
    const char* name;
    std::vector<Step> steps;
    std::vector<LONG> counts;  // after each step; 0: the object, its dialog and window are gone
};

class ReferenceBalanceTest : public PopupTest, public ::testing::WithParamInterface<BalanceCase> {};

TEST_P(ReferenceBalanceTest, CountAfterEachStepAndDestructionAtZero) {
    OpenMainWindow();
    SetLoggingEnabled(true);
    const BalanceCase& c = GetParam();
    ASSERT_EQ(c.steps.size(), c.counts.size());
    auto* object = new CBrowserWindow(window.get());
    HWND popup = object->Dialog()->m_hWnd;
    ASSERT_TRUE(::IsWindow(popup));
    IDispatch* browsersReference = nullptr;
    IWebBrowser2* othersReference = nullptr;

    for (std::size_t i = 0; i < c.steps.size(); ++i) {
        switch (c.steps[i]) {
        case Step::BrowserTakes:
            ASSERT_EQ(object->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&browsersReference)), S_OK);
            break;
        case Step::OtherHolderTakes:
            ASSERT_EQ(object->QueryInterface(IID_IWebBrowser2, reinterpret_cast<void**>(&othersReference)), S_OK);
            break;
        case Step::ShowByBrowser: EXPECT_EQ(object->put_Visible(VARIANT_TRUE), S_OK); break;
        case Step::HideByBrowser: EXPECT_EQ(object->put_Visible(VARIANT_FALSE), S_OK); break;
        case Step::UserCloses: ::SendMessageW(popup, WM_COMMAND, IDCANCEL, 0); break;
        case Step::BrowserLetsGo: browsersReference->Release(); break;
        case Step::OtherHolderLetsGo: othersReference->Release(); break;
        }
        if (c.counts[i] == 0) {
            EXPECT_FALSE(::IsWindow(popup)) << c.name << ": step " << i << " should have destroyed the popup";
            EXPECT_EQ(i + 1, c.steps.size()) << c.name << ": gone before the last step";
            break;
        }
        ASSERT_TRUE(::IsWindow(popup)) << c.name << ": destroyed at step " << i;
        EXPECT_EQ(object->ReferenceCount(), c.counts[i]) << c.name << ": step " << i;
    }
    EXPECT_EQ(Occurrences(LogText(), "CBrowserWindow::~CBrowserWindow()"), 1u) << c.name;
    EXPECT_EQ(Occurrences(LogText(), "CBrowserWindow: Creating browser window"), 1u) << c.name;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ReferenceBalanceTest,
    ::testing::Values(
        BalanceCase{"never shown, the browser lets go", {Step::BrowserTakes, Step::BrowserLetsGo}, {1, 0}},
        BalanceCase{"shown, the browser lets go, then the user closes",
                    {Step::BrowserTakes, Step::ShowByBrowser, Step::BrowserLetsGo, Step::UserCloses},
                    {1, 2, 1, 0}},
        BalanceCase{"closed while the browser still holds it",
                    {Step::BrowserTakes, Step::ShowByBrowser, Step::UserCloses, Step::BrowserLetsGo},
                    {1, 2, 1, 0}},
        BalanceCase{"hidden again by the browser",
                    {Step::BrowserTakes, Step::ShowByBrowser, Step::HideByBrowser, Step::BrowserLetsGo},
                    {1, 2, 1, 0}},
        // put_Visible(false) with no put_Visible(true) before it must not take the other
        // holder's reference: the object lives until both have let go.
        BalanceCase{"hidden without having been shown",
                    {Step::BrowserTakes, Step::OtherHolderTakes, Step::HideByBrowser, Step::BrowserLetsGo,
                     Step::OtherHolderLetsGo},
                    {1, 2, 2, 1, 0}},
        BalanceCase{"hidden twice after one showing",
                    {Step::BrowserTakes, Step::ShowByBrowser, Step::HideByBrowser, Step::HideByBrowser,
                     Step::BrowserLetsGo},
                    {1, 2, 1, 1, 0}},
        // Closed before it was ever shown: the browser's reference stays the browser's, and
        // a later showing neither brings the window back nor counts.
        BalanceCase{"closed before it was shown",
                    {Step::BrowserTakes, Step::UserCloses, Step::ShowByBrowser, Step::BrowserLetsGo},
                    {1, 1, 1, 0}},
        BalanceCase{"closed twice while the browser holds it",
                    {Step::BrowserTakes, Step::ShowByBrowser, Step::UserCloses, Step::UserCloses, Step::BrowserLetsGo},
                    {1, 2, 1, 1, 0}}));

TEST_F(PopupTest, ClosedPopupIsNotShownAgain) {
    OpenMainWindow();
    auto* object = new CBrowserWindow(window.get());
    IDispatch* reference = nullptr;
    object->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&reference));
    HWND popup = object->Dialog()->m_hWnd;
    ::SendMessageW(popup, WM_COMMAND, IDCANCEL, 0);
    object->put_Visible(VARIANT_TRUE);
    EXPECT_FALSE(::IsWindowVisible(popup));
    reference->Release();
}

// ---- Interfaces -------------------------------------------------------------------------------

class BrowserWindowObjectTest : public PopupTest {
protected:
    void SetUp() override {
        PopupTest::SetUp();
        OpenMainWindow();
        object = new CBrowserWindow(window.get());
        object->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&browsersReference));
        popup = object->Dialog()->m_hWnd;
    }
    void TearDown() override {
        if (browsersReference) browsersReference->Release();
        PopupTest::TearDown();
    }
    IWebBrowser2* Inner() const { return object->Dialog()->m_pBrowserApp.get(); }

    CBrowserWindow* object = nullptr;
    IDispatch* browsersReference = nullptr;
    HWND popup = nullptr;
};

TEST_F(BrowserWindowObjectTest, OwnIdentitiesAreCountedOnTheObject) {
    for (const IID* iid : {&IID_IUnknown, &IID_IDispatch, &IID_IWebBrowserApp, &IID_IWebBrowser2}) {
        void* out = nullptr;
        LONG before = object->ReferenceCount();
        ASSERT_EQ(object->QueryInterface(*iid, &out), S_OK);
        EXPECT_EQ(out, static_cast<IWebBrowser2*>(object));
        EXPECT_EQ(object->ReferenceCount(), before + 1);
        static_cast<IUnknown*>(out)->Release();
    }
}

TEST_F(BrowserWindowObjectTest, OtherInterfacesComeFromTheInnerBrowser) {
    // The older IWebBrowser identifier is not one of the object's own.
    for (const IID* iid : {&IID_IConnectionPointContainer, &IID_IWebBrowser, &platform::IID_IBrowserControlPrivate}) {
        void* out = nullptr;
        void* innerOut = nullptr;
        LONG before = object->ReferenceCount();
        ASSERT_EQ(object->QueryInterface(*iid, &out), S_OK);
        ASSERT_EQ(Inner()->QueryInterface(*iid, &innerOut), S_OK);
        EXPECT_EQ(out, innerOut);
        EXPECT_NE(out, static_cast<void*>(static_cast<IWebBrowser2*>(object)));
        EXPECT_EQ(object->ReferenceCount(), before);
        static_cast<IUnknown*>(out)->Release();
        static_cast<IUnknown*>(innerOut)->Release();
    }
}

TEST_F(BrowserWindowObjectTest, UnknownInterfaceAndNullOut) {
    constexpr IID kUnknown{0x12345678, 0x1234, 0x1234, {1, 2, 3, 4, 5, 6, 7, 8}};
    void* out = reinterpret_cast<void*>(0x1);
    EXPECT_EQ(object->QueryInterface(kUnknown, &out), E_NOINTERFACE);
    EXPECT_EQ(out, nullptr);
    EXPECT_EQ(object->QueryInterface(IID_IWebBrowser2, nullptr), E_POINTER);
    EXPECT_EQ(object->QueryInterface(IID_IConnectionPointContainer, nullptr), E_POINTER);
    EXPECT_EQ(object->ReferenceCount(), 1);
}

TEST_F(BrowserWindowObjectTest, ForwardedMembersReachTheInnerBrowser) {
    EXPECT_EQ(object->put_StatusBar(VARIANT_TRUE), S_OK);
    VARIANT_BOOL status = VARIANT_FALSE;
    Inner()->get_StatusBar(&status);
    EXPECT_EQ(status, VARIANT_TRUE);
    EXPECT_EQ(object->put_Resizable(VARIANT_FALSE), S_OK);
    VARIANT_BOOL resizable = VARIANT_TRUE;
    EXPECT_EQ(object->get_Resizable(&resizable), S_OK);
    EXPECT_EQ(resizable, VARIANT_FALSE);
    SHANDLE_PTR handle = 0;
    ASSERT_EQ(object->get_HWND(&handle), S_OK);
    EXPECT_EQ(reinterpret_cast<HWND>(handle), object->Dialog()->m_wndBrowser.m_hWnd);
}

TEST_F(BrowserWindowObjectTest, ShowingBeforeAnHtmlDocumentKeepsThePopupHiddenUntilItsDocumentCompletes) {
    ASSERT_EQ(object->put_Visible(VARIANT_TRUE), S_OK);
    EXPECT_FALSE(::IsWindowVisible(popup));
    EXPECT_EQ(object->ReferenceCount(), 2);
    VARIANT_BOOL visible = VARIANT_FALSE;
    object->get_Visible(&visible);
    EXPECT_EQ(visible, VARIANT_TRUE) << "get_Visible reports the inner browser's state";

    CComBSTR address(kPopupPage);
    object->Navigate(address, nullptr, nullptr, nullptr, nullptr);
    desktop.RunPending();
    EXPECT_TRUE(::IsWindowVisible(popup));
    object->Release();  // the showing's reference
}

TEST_F(BrowserWindowObjectTest, DocumentCompleteWithoutAddressShowsNothing) {
    Inner()->put_Visible(VARIANT_TRUE);
    VARIANT noAddress;
    object->Dialog()->OnDocumentComplete(nullptr, &noAddress);
    EXPECT_FALSE(::IsWindowVisible(popup));
    VARIANT address;
    address.vt = VT_BSTR;
    address.bstrVal = SysAllocString(kPopupPage);
    object->Dialog()->OnDocumentComplete(nullptr, &address);
    EXPECT_TRUE(::IsWindowVisible(popup));
    VariantClear(&address);
}

// ---- The frame ---------------------------------------------------------------------------------

TEST_F(BrowserWindowObjectTest, PlacementMembersActOnTheWholeWindow) {
    ::SetWindowPos(popup, nullptr, 200, 150, 640, 480, SWP_NOZORDER);
    struct Case {
        const char* name;
        std::function<HRESULT()> put;
        RECT expected;
    };
    const Case cases[] = {
        {"put_Left", [&] { return object->put_Left(100); }, {100, 150, 740, 630}},
        {"put_Top", [&] { return object->put_Top(40); }, {100, 40, 740, 520}},
        {"put_Width", [&] { return object->put_Width(500); }, {100, 40, 600, 520}},
        {"put_Height", [&] { return object->put_Height(300); }, {100, 40, 600, 340}},
        {"negative left", [&] { return object->put_Left(-20); }, {-20, 40, 480, 340}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.put(), S_OK) << c.name;
        EXPECT_EQ(RectOf(popup), c.expected) << c.name;
    }
    LONG left = 0, top = 0, width = 0, height = 0;
    EXPECT_EQ(object->get_Left(&left), S_OK);
    EXPECT_EQ(object->get_Top(&top), S_OK);
    EXPECT_EQ(object->get_Width(&width), S_OK);
    EXPECT_EQ(object->get_Height(&height), S_OK);
    EXPECT_EQ((RECT{left, top, left + width, top + height}), (RECT{-20, 40, 480, 340}));
    EXPECT_EQ(object->get_Left(nullptr), E_POINTER);
}

TEST_F(BrowserWindowObjectTest, ClientToWindowAddsFrameCaptionAndTheMenuBarFlag) {
    struct Case {
        bool menuBar;
        int cx, cy;
        int expectedCx, expectedCy;
    };
    const LONG sides = 2 * sim::kThickFrame, vertical = 2 * sim::kThickFrame + sim::kCaptionHeight;
    const Case cases[] = {
        {false, 400, 300, 400 + sides, 300 + vertical},
        {true, 400, 300, 400 + sides, 300 + vertical + sim::kMenuHeight},
        {false, 0, 0, sides, vertical},
    };
    for (const Case& c : cases) {
        object->put_MenuBar(c.menuBar ? VARIANT_TRUE : VARIANT_FALSE);
        VARIANT_BOOL flag = VARIANT_FALSE;
        object->get_MenuBar(&flag);
        EXPECT_EQ(flag, c.menuBar ? VARIANT_TRUE : VARIANT_FALSE);
        int cx = c.cx, cy = c.cy;
        EXPECT_EQ(object->ClientToWindow(&cx, &cy), S_OK);
        EXPECT_EQ(cx, c.expectedCx) << "menu bar " << c.menuBar;
        EXPECT_EQ(cy, c.expectedCy) << "menu bar " << c.menuBar;
    }
    EXPECT_EQ(::GetMenu(popup), nullptr) << "the popup never gets a menu";
    int cx = 1;
    EXPECT_EQ(object->ClientToWindow(&cx, nullptr), E_POINTER);
}

TEST_F(BrowserWindowObjectTest, AnyNonZeroMenuBarValueSetsTheFlag) {
    object->put_MenuBar(static_cast<VARIANT_BOOL>(1));
    VARIANT_BOOL flag = VARIANT_FALSE;
    object->get_MenuBar(&flag);
    EXPECT_EQ(flag, VARIANT_TRUE);
}

}  // namespace
