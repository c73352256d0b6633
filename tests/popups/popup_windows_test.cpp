// Popup windows as pages open them: placement, ownership, captions, closing by the page and
// by downloads, the event tracer's lines, and the keys that reach a popup's page.
#include <gtest/gtest.h>

#include <regex>

#include "popups/popup_fixture.h"

namespace {

using testing_support::PopupTest;

platform::WindowFeatures Geometry(LONG left, LONG top, LONG width, LONG height) {
    platform::WindowFeatures features;
    features.left = left;
    features.top = top;
    features.width = width;
    features.height = height;
    features.menuBar = false;
    return features;
}

TEST_F(PopupTest, WindowOpenPlacesAndShowsAPopupOwnedByTheMainWindow) {
    OpenMainWindow();
    auto* engine = static_cast<sim::Engine*>(MainEngine()->OpenWindow(kPopupPage, Geometry(100, 50, 400, 300)));
    ASSERT_NE(engine, nullptr);
    HWND popup = PopupOf(engine);
    ASSERT_NE(DialogOf(popup), nullptr);
    EXPECT_FALSE(::IsWindowVisible(popup)) << "hidden until the engine shows it";
    EXPECT_EQ(::GetWindow(popup, GW_OWNER), Main());

    desktop.RunPending();
    EXPECT_TRUE(::IsWindowVisible(popup));
    EXPECT_EQ(engine->navigations.size(), 0u) << "the page loads through the new window, not a second navigation";
    // The page's size is that of its page area; the window is larger by its frame and caption.
    EXPECT_EQ(RectOf(popup), (RECT{100, 50, 100 + 400 + 2 * sim::kThickFrame,
                                   50 + 300 + 2 * sim::kThickFrame + sim::kCaptionHeight}));
    EXPECT_EQ(::GetMenu(popup), nullptr);
    // The browser let go after showing it; the showing's reference is what keeps it.
    EXPECT_EQ(ObjectOf(popup)->ReferenceCount(), 1);
    EXPECT_EQ(DialogOf(popup)->GetWindowText(), u"Popup page");
}

TEST_F(PopupTest, PopupTemplateAndHostFlags) {
    OpenMainWindow();
    HWND popup = PopupOf(Open(MainEngine()));
    CDerivedHtmlDialog* dialog = DialogOf(popup);
    ASSERT_NE(dialog, nullptr);
    DWORD style = static_cast<DWORD>(::GetWindowLongW(popup, GWL_STYLE));
    EXPECT_EQ(style & ~WS_VISIBLE, static_cast<DWORD>(0x80CF0048));
    EXPECT_EQ(::GetWindowLongW(popup, GWL_EXSTYLE), 0);
    EXPECT_EQ(dialog->m_dwHostFlags, static_cast<DWORD>(0x40000004));
    EXPECT_NE(dialog->m_nFlags & 0x1000u, 0u);
    EXPECT_EQ(::SendMessageW(popup, WM_GETICON, ICON_BIG, 0), ::SendMessageW(Main(), WM_GETICON, ICON_BIG, 0));
    EXPECT_EQ(::SendMessageW(popup, WM_GETICON, ICON_SMALL, 0), ::SendMessageW(Main(), WM_GETICON, ICON_SMALL, 0));
    VARIANT_BOOL registered = VARIANT_FALSE;
    dialog->m_pBrowserApp->get_RegisterAsBrowser(&registered);
    EXPECT_EQ(registered, VARIANT_TRUE);
    EXPECT_NE(dialog->eventCookie, 0u);
}

TEST_F(PopupTest, APopupOpenedByAPopupIsOwnedByTheMainWindowAndOutlivesItsOpener) {
    OpenMainWindow();
    SetLoggingEnabled(true);
    sim::Engine* first = Open(MainEngine());
    HWND firstPopup = PopupOf(first);
    sim::Engine* second = Open(first);
    ASSERT_NE(second, nullptr);
    HWND secondPopup = PopupOf(second);
    EXPECT_EQ(::GetWindow(secondPopup, GW_OWNER), Main());
    EXPECT_TRUE(::IsWindowVisible(secondPopup));
    EXPECT_EQ(Occurrences(LogText(), "CDerivedHtmlDialog::OnNewWindow3()"), 1u) << "only the popup's handler logs";

    desktop.ClickClose(firstPopup);
    RunLoop();
    EXPECT_FALSE(::IsWindow(firstPopup));
    EXPECT_TRUE(::IsWindowVisible(secondPopup));
    EXPECT_EQ(Occurrences(LogText(), "CBrowserWindow::~CBrowserWindow()"), 1u);

    desktop.ClickClose(secondPopup);
    RunLoop();
    EXPECT_FALSE(::IsWindow(secondPopup));
    EXPECT_EQ(Occurrences(LogText(), "CBrowserWindow::~CBrowserWindow()"), 2u);
    EXPECT_TRUE(::IsWindowVisible(Main()));
}

TEST_F(PopupTest, CaptionFollowsEveryTitleChange) {
    OpenMainWindow();
    sim::Engine* engine = Open(MainEngine());
    HWND popup = PopupOf(engine);
    for (const char16_t* title : {u"First title", u"", u"Ünïcödé ✓ title"}) {
        engine->SetTitle(title);
        EXPECT_EQ(DialogOf(popup)->GetWindowText(), title);
    }
}

TEST_F(PopupTest, WindowCloseHidesThroughThePostedCancelAndDestroysThePopup) {
    OpenMainWindow();
    SetLoggingEnabled(true);
    sim::Engine* engine = Open(MainEngine());
    HWND popup = PopupOf(engine);
    engine->CloseWindow();
    // Deferred: the popup is still there while the event runs and right after it.
    EXPECT_TRUE(::IsWindowVisible(popup));
    RunLoop();
    EXPECT_FALSE(::IsWindow(popup));
    std::string log = LogText();
    EXPECT_EQ(Occurrences(log, "CDerivedHtmlDialog::OnWindowClosing()"), 1u);
    EXPECT_EQ(Occurrences(log, "CDerivedHtmlDialog::OnCancel()"), 1u);
    EXPECT_EQ(Occurrences(log, "CBrowserWindow::~CBrowserWindow()"), 1u);
    EXPECT_LT(log.find("CDerivedHtmlDialog::OnCancel()"), log.find("CBrowserWindow::~CBrowserWindow()"));
}

TEST_F(PopupTest, DownloadsGoAheadAndCloseOnlyAnEmptyPopup) {
    struct Case {
        const char* name;
        const char16_t* page;
        bool activeDocument;
        bool closes;
    };
    const Case cases[] = {
        {"empty page, saved download", kEmptyPage, false, true},
        {"page with content", kPopupPage, false, false},
        {"empty page, shown in the browser", kEmptyPage, true, false},
    };
    OpenMainWindow();
    for (const Case& c : cases) {
        sim::Engine* engine = Open(MainEngine(), c.page);
        HWND popup = PopupOf(engine);
        EXPECT_TRUE(engine->Download(c.activeDocument)) << c.name << ": the download must go ahead";
        RunLoop();
        EXPECT_EQ(!::IsWindow(popup), c.closes) << c.name;
        if (::IsWindow(popup)) {
            EXPECT_TRUE(::IsWindowVisible(popup)) << c.name;
            desktop.ClickClose(popup);
            RunLoop();
        }
    }
}

TEST_F(PopupTest, APopupWhoseFirstPageIsTheDownloadClosesToo) {
    OpenMainWindow();
    auto* object = new CBrowserWindow(window.get());
    IDispatch* reference = nullptr;
    object->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&reference));
    object->put_Visible(VARIANT_TRUE);
    HWND popup = object->Dialog()->m_hWnd;
    VARIANT_BOOL cancel = VARIANT_TRUE;
    object->Dialog()->OnFileDownload(VARIANT_FALSE, &cancel);
    EXPECT_EQ(cancel, VARIANT_FALSE);
    RunLoop();
    ASSERT_TRUE(::IsWindow(popup)) << "the browser still holds it";
    EXPECT_FALSE(::IsWindowVisible(popup));
    EXPECT_EQ(object->ReferenceCount(), 1);
    reference->Release();
    EXPECT_FALSE(::IsWindow(popup));
}

TEST_F(PopupTest, EveryEventOfThePopupsBrowserGivesOneTracerLine) {
    OpenMainWindow();
    SetLoggingEnabled(true);
    sim::Engine* engine = Open(MainEngine());
    HWND popup = PopupOf(engine);
    engine->SetTitle(u"Again");
    std::string log = LogText();
    std::smatch m;
    std::regex invoke("INVOKE -> (\\d+) \\(0x([0-9A-F]{2,})\\), riid = 0, lcid = 0x00000000, flags = 0x00000001\r\n");
    std::map<int, int> byDispid;
    for (auto it = std::sregex_iterator(log.begin(), log.end(), invoke); it != std::sregex_iterator(); ++it) {
        int dispid = std::stoi((*it)[1]);
        EXPECT_EQ(std::stoi((*it)[2], nullptr, 16), dispid);
        ++byDispid[dispid];
    }
    // The popup's page: navigation, its completion, two titles and the completed document.
    EXPECT_EQ(byDispid[DISPID_BEFORENAVIGATE2], 1);
    EXPECT_EQ(byDispid[DISPID_NAVIGATECOMPLETE2], 1);
    EXPECT_EQ(byDispid[DISPID_TITLECHANGE], 2);
    EXPECT_EQ(byDispid[DISPID_DOCUMENTCOMPLETE], 1);
    EXPECT_NE(log.find("INVOKE -> 250 (0xFA), riid = 0, lcid = 0x00000000, flags = 0x00000001"), std::string::npos);
    EXPECT_EQ(Occurrences(log, "CDerivedHtmlDialog::OnTitleChange() : Again"), 1u);
    EXPECT_EQ(Occurrences(log, "CDerivedHtmlDialog::OnDocumentComplete() : http://127.0.0.1/popup.html"), 1u);
    EXPECT_EQ(Occurrences(log, "CDerivedHtmlDialog::OnNavigateComplete() : http://127.0.0.1/popup.html"), 1u);

    // Disconnected when the popup closes: later events of its browser give no line.
    CDerivedHtmlDialog* dialog = DialogOf(popup);
    IDispatch* keep = nullptr;
    ObjectOf(popup)->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&keep));
    ::SendMessageW(popup, WM_COMMAND, IDCANCEL, 0);
    std::size_t before = Occurrences(LogText(), "INVOKE -> ");
    engine->SetTitle(u"After closing");
    EXPECT_EQ(Occurrences(LogText(), "INVOKE -> "), before);
    EXPECT_EQ(dialog->GetWindowText(), u"After closing") << "the dialog still follows its browser";
    keep->Release();
}

TEST_F(PopupTest, NothingIsLoggedWithLoggingOff) {
    OpenMainWindow();
    sim::Engine* engine = Open(MainEngine());
    engine->SetTitle(u"Quiet");
    desktop.ClickClose(PopupOf(engine));
    RunLoop();
    EXPECT_TRUE(LogFiles().empty());
}

TEST_F(PopupTest, ControlNAndControlOReachThePageInAPopupButNotInTheMainWindow) {
    OpenMainWindow();
    sim::Engine* engine = Open(MainEngine());
    for (int key : {'N', 'O'}) {
        desktop.HoldKey(VK_CONTROL, true);
        ::SetFocus(engine->window);
        EXPECT_FALSE(desktop.PressKey(key)) << "popup, key " << key;
        ::SetFocus(window->m_wndBrowser.m_hWnd);
        EXPECT_TRUE(desktop.PressKey(key)) << "main window, key " << key;
        desktop.HoldKey(VK_CONTROL, false);
    }
    EXPECT_EQ(engine->keysReceived, (std::vector<int>{'N', 'O'}));
    EXPECT_TRUE(MainEngine()->keysReceived.empty());
}

TEST_F(PopupTest, ZoomKeysInAPopupZoomThePopupsPage) {
    OpenMainWindow();
    sim::Engine* engine = Open(MainEngine());
    ::SetFocus(engine->window);
    desktop.HoldKey(VK_CONTROL, true);
    EXPECT_TRUE(desktop.PressKey(VK_OEM_PLUS));
    desktop.HoldKey(VK_CONTROL, false);
    EXPECT_EQ(engine->zoomLevel, 1);
    EXPECT_EQ(MainEngine()->zoomLevel, 0);
}

TEST_F(PopupTest, MainWindowAnswersNewWindow3WithAPopupAndNewWindow2IsNotAsked) {
    OpenMainWindow();
    SetLoggingEnabled(true);
    sim::Engine* engine = Open(MainEngine());
    ASSERT_NE(engine, nullptr);
    EXPECT_EQ(Occurrences(LogText(), "CBrowserWindow: Creating browser window"), 1u);
    EXPECT_EQ(Occurrences(LogText(), "CDerivedHtmlDialog::CreateBrowser()"), 1u);
    EXPECT_EQ(Occurrences(LogText(), "CDerivedHtmlDialog::OnNewWindow3()"), 0u);
    VARIANT_BOOL cancel = VARIANT_FALSE;
    window->OnNewWindow2(nullptr, &cancel);
    EXPECT_EQ(cancel, VARIANT_TRUE);
}

}  // namespace
