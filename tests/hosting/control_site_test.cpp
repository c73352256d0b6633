// The control site's interfaces: one identity and count, the services, script errors,
// window.external, host flags and the log line of its factory.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "hosting/site_access.h"
#include "support/scoped_test_folder.h"

namespace {

using hosting_test::ReferenceCount;
using hosting_test::SiteInterface;
using mainwindow_test::MainWindowHarness;

struct NamedIid {
    const char* name;
    IID iid;
};

TEST(ControlSiteTest, TheHookedInterfacesShareOneIdentityAndOneCount) {
    MainWindowHarness harness;
    harness.Then([&] {
        IUnknown* site = harness.window.controlSite->GetControllingUnknown();
        CComPtr<IUnknown> identity;
        ASSERT_EQ(site->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&identity)), S_OK);
        const ULONG base = ReferenceCount(identity);
        const NamedIid hooked[] = {{"IDocHostUIHandler", IID_IDocHostUIHandler},
                                   {"IServiceProvider", IID_IServiceProvider},
                                   {"IOleCommandTarget", IID_IOleCommandTarget}};
        ULONG held = 0;
        std::vector<IUnknown*> pointers;
        for (const NamedIid& n : hooked) {
            SCOPED_TRACE(n.name);
            IUnknown* p = nullptr;
            ASSERT_EQ(site->QueryInterface(n.iid, reinterpret_cast<void**>(&p)), S_OK);
            ASSERT_NE(p, nullptr);
            pointers.push_back(p);
            ++held;
            EXPECT_EQ(ReferenceCount(p), base + held) << "one count for every interface";
            CComPtr<IUnknown> back;
            ASSERT_EQ(p->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&back)), S_OK);
            EXPECT_EQ(back.get(), identity.get()) << "one identity";
            CComPtr<IUnknown> same;
            EXPECT_EQ(p->QueryInterface(n.iid, reinterpret_cast<void**>(&same)), S_OK);
            EXPECT_EQ(same.get(), p);
        }
        for (IUnknown* p : pointers) p->Release();
        EXPECT_EQ(ReferenceCount(identity), base);

        // Reached only as services, or not at all.
        const NamedIid notByQuery[] = {{"IAuthenticate", IID_IAuthenticate},
                                       {"IHTMLOMWindowServices", IID_IHTMLOMWindowServices},
                                       {"IDownloadManager", IID_IDownloadManager},
                                       {"IWebBrowser2", IID_IWebBrowser2}};
        for (const NamedIid& n : notByQuery) {
            int sentinel = 0;
            void* p = &sentinel;  // must be cleared
            EXPECT_EQ(site->QueryInterface(n.iid, &p), E_NOINTERFACE) << n.name;
            EXPECT_EQ(p, nullptr) << n.name;
        }
        EXPECT_EQ(ReferenceCount(identity), base);
    });
    harness.Run();
}

TEST(ControlSiteTest, QueryServiceLooksAtTheServiceIdentifierOnly) {
    struct Case {
        const char* what;
        GUID service;
        IID iid;
        bool found;
        bool authenticate;  // which of the two services
    };
    const Case cases[] = {
        {"IAuthenticate as IAuthenticate", IID_IAuthenticate, IID_IAuthenticate, true, true},
        {"IAuthenticate as IUnknown", IID_IAuthenticate, IID_IUnknown, true, true},
        {"IAuthenticate as IDispatch", IID_IAuthenticate, IID_IDispatch, true, true},
        {"IHTMLOMWindowServices", IID_IHTMLOMWindowServices, IID_IHTMLOMWindowServices, true, false},
        {"IHTMLOMWindowServices as IUnknown", IID_IHTMLOMWindowServices, IID_IUnknown, true, false},
        {"a download manager", IID_IDownloadManager, IID_IDownloadManager, false, false},
        {"the handler as a service", IID_IDocHostUIHandler, IID_IDocHostUIHandler, false, false},
        {"no service", GUID_NULL, IID_IUnknown, false, false},
    };
    MainWindowHarness harness;
    harness.Then([&] {
        auto provider = SiteInterface<IServiceProvider>(harness, IID_IServiceProvider);
        ASSERT_TRUE(provider);
        const ULONG base = ReferenceCount(provider);
        for (const Case& c : cases) {
            SCOPED_TRACE(c.what);
            int sentinel = 0;
            void* out = &sentinel;  // must be overwritten
            HRESULT hr = provider->QueryService(c.service, c.iid, &out);
            if (!c.found) {
                EXPECT_EQ(hr, E_FAIL);
                EXPECT_EQ(out, nullptr);
                EXPECT_EQ(ReferenceCount(provider), base);
                continue;
            }
            ASSERT_EQ(hr, S_OK);
            ASSERT_NE(out, nullptr);
            EXPECT_EQ(ReferenceCount(provider), base + 1) << "the caller holds a reference";
            auto* unknown = c.authenticate ? static_cast<IUnknown*>(static_cast<IAuthenticate*>(out))
                                           : static_cast<IUnknown*>(static_cast<IHTMLOMWindowServices*>(out));
            {
                CComPtr<IUnknown> identity, siteIdentity;
                unknown->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&identity));
                provider->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&siteIdentity));
                EXPECT_EQ(identity.get(), siteIdentity.get()) << "the site itself";
            }
            unknown->Release();
            EXPECT_EQ(ReferenceCount(provider), base);
        }
    });
    harness.Run();
}

TEST(ControlSiteTest, ScriptErrorsAreNeverShownAndOtherCommandsAreUnknown) {
    MainWindowHarness harness;
    harness.Then([&] {
        auto target = SiteInterface<IOleCommandTarget>(harness, IID_IOleCommandTarget);
        ASSERT_TRUE(target);
        for (const GUID* group : {static_cast<const GUID*>(nullptr), &CGID_MSHTML, &IID_IUnknown}) {
            VARIANT out;
            out.vt = VT_I4;
            out.lVal = 1234;
            EXPECT_EQ(target->Exec(group, OLECMDID_SHOWSCRIPTERROR, 0, nullptr, &out), S_OK);
            EXPECT_EQ(out.vt, VT_BOOL);
            EXPECT_EQ(out.boolVal, VARIANT_TRUE) << "go on running the page's scripts";
            EXPECT_EQ(target->Exec(group, OLECMDID_SHOWSCRIPTERROR, 0, nullptr, nullptr), S_OK);
        }
        for (DWORD id : {0u, 39u, 41u, 63u, 3800u}) {
            VARIANT out;
            out.vt = VT_I4;
            out.lVal = 1234;
            EXPECT_EQ(target->Exec(nullptr, id, 0, nullptr, &out), OLECMDERR_E_UNKNOWNGROUP) << id;
            EXPECT_EQ(out.vt, VT_I4) << id;
            EXPECT_EQ(out.lVal, 1234) << id;
        }
        OLECMD commands[2];
        commands[0].cmdID = OLECMDID_SHOWSCRIPTERROR;
        commands[0].cmdf = 77;
        EXPECT_EQ(target->QueryStatus(nullptr, 1, commands, nullptr), OLECMDERR_E_UNKNOWNGROUP);
        EXPECT_EQ(commands[0].cmdf, 77u) << "arguments untouched";

        harness.Engine().ScriptError(u"'x' is undefined", mainwindow_test::kStartUrl, 12);
    });
    harness.Run();
    EXPECT_TRUE(harness.desktop.messageBoxes.empty()) << "a page's script error shows no message box";
}

TEST(ControlSiteTest, EveryGetExternalMakesANewShellHelper) {
    MainWindowHarness harness;
    harness.Then([&] {
        auto handler = SiteInterface<IDocHostUIHandler>(harness, IID_IDocHostUIHandler);
        ASSERT_TRUE(handler);
        CComPtr<IDispatch> first, second;
        ASSERT_EQ(handler->GetExternal(&first), S_OK);
        ASSERT_EQ(handler->GetExternal(&second), S_OK);
        ASSERT_TRUE(first);
        ASSERT_TRUE(second);
        EXPECT_NE(first.get(), second.get());
        for (IDispatch* external : {first.get(), second.get()}) {
            CComPtr<IShellUIHelper> helper;
            EXPECT_EQ(external->QueryInterface(IID_IShellUIHelper, reinterpret_cast<void**>(&helper)), S_OK);
        }
        EXPECT_EQ(handler->GetExternal(nullptr), E_NOTIMPL);
    });
    harness.Run();
}

TEST(ControlSiteTest, TheHandlerAnswersAsTheMainWindowDoes) {
    MainWindowHarness harness;
    harness.Then([&] {
        auto handler = SiteInterface<IDocHostUIHandler>(harness, IID_IDocHostUIHandler);
        ASSERT_TRUE(handler);
        DOCHOSTUIINFO info;
        info.dwDoubleClick = 5;
        EXPECT_EQ(handler->GetHostInfo(&info), S_OK);
        EXPECT_EQ(info.dwFlags, 0x40000004u) << "no 3-D border, DPI-aware, scroll bars allowed";
        EXPECT_EQ(info.dwDoubleClick, 5u) << "the other fields are left as they were";

        EXPECT_EQ(handler->ShowContextMenu(0, nullptr, nullptr, nullptr), S_FALSE);
        EXPECT_EQ(handler->ShowUI(0, nullptr, nullptr, nullptr, nullptr), S_FALSE);
        EXPECT_EQ(handler->HideUI(), E_NOTIMPL);
        EXPECT_EQ(handler->UpdateUI(), E_NOTIMPL);
        EXPECT_EQ(handler->EnableModeless(TRUE), E_NOTIMPL);
        EXPECT_EQ(handler->ResizeBorder(nullptr, nullptr, FALSE), E_NOTIMPL);
        IDropTarget* drop = reinterpret_cast<IDropTarget*>(&info);
        EXPECT_EQ(handler->GetDropTarget(nullptr, &drop), E_NOTIMPL);
        EXPECT_EQ(drop, nullptr);
        auto* translated = reinterpret_cast<char16_t*>(&info);
        EXPECT_EQ(handler->TranslateUrl(0, nullptr, &translated), S_FALSE);
        EXPECT_EQ(translated, nullptr);
        EXPECT_EQ(handler->TranslateUrl(0, nullptr, nullptr), E_POINTER);

        MSG key{};
        key.message = WM_KEYDOWN;
        key.wParam = 'N';
        EXPECT_EQ(handler->TranslateAccelerator(&key, nullptr, 0), S_FALSE) << "N alone goes to the browser";
        harness.desktop.HoldKey(VK_CONTROL, true);
        EXPECT_EQ(handler->TranslateAccelerator(&key, nullptr, 0), S_OK) << "Ctrl+N is the main window's";
        key.wParam = 'P';
        EXPECT_EQ(handler->TranslateAccelerator(&key, nullptr, 0), S_FALSE);
        harness.desktop.HoldKey(VK_CONTROL, false);
    });
    harness.Run();
}

TEST(ControlSiteTest, TheFactoryLogsItsCallWhileLoggingIsOn) {
    MainWindowHarness harness;
    SetLoggingEnabled(true);  // as when a window is made after logging was switched on
    harness.window.enableLogging = true;
    harness.Run();
    DestroyActiveLog();
    std::string log;
    const auto logs = harness.folder() / "config" / "Quendris" / "Pelmarin" / "Logs";
    ASSERT_TRUE(std::filesystem::is_directory(logs));
    for (const auto& entry : std::filesystem::directory_iterator(logs)) log += testing_support::ReadBytes(entry.path());
    const auto at = log.find("CDerivedHtmlDialog::CreateControlSite()\r\n");
    ASSERT_NE(at, std::string::npos) << log;
    const std::size_t lineEnd = log.rfind('\n', at);
    const std::size_t start = lineEnd == std::string::npos ? 0 : lineEnd + 1;
    const std::string line = log.substr(start, at - start);
    EXPECT_NE(line.find("\tInfo:\t"), std::string::npos) << line;
}

}  // namespace
