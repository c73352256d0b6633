// COM basics as documented: BSTR lengths, VARIANT clearing, and a connection point's
// Advise and Unadvise on the WebBrowser control's events.
#include <gtest/gtest.h>

#include <vector>

#include "browser_control.h"
#include "com/connection_points.h"
#include "com/ptr.h"
#include "windows_test_support.h"

namespace {

// Counts its references and records the events it is sent.
class CountingSink final : public IDispatch {
public:
    HRESULT QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        if (iid == IID_IUnknown || (dispatch && (iid == IID_IDispatch || iid == DIID_DWebBrowserEvents2))) {
            *out = static_cast<IDispatch*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG AddRef() override { return ++references; }
    ULONG Release() override { return --references; }  // lives on the stack
    HRESULT GetTypeInfoCount(UINT* count) override {
        *count = 0;
        return S_OK;
    }
    HRESULT GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT GetIDsOfNames(REFIID, char16_t**, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    HRESULT Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override {
        events.push_back(id);
        if (order) order->push_back(this);
        return S_OK;
    }
    ULONG references = 0;
    bool dispatch = true;  // false: a sink that cannot receive the events
    std::vector<DISPID> events;
    std::vector<CountingSink*>* order = nullptr;
};

TEST(WindowsComTest, BstrLengthsCountCharactersAndKeepEmbeddedNulls) {
    BSTR plain = SysAllocString(u"abc");
    ASSERT_NE(plain, nullptr);
    EXPECT_EQ(SysStringLen(plain), 3u);
    EXPECT_EQ(std::u16string(plain), u"abc");
    const char16_t withNull[] = {u'a', u'\0', u'b'};
    BSTR embedded = SysAllocStringLen(withNull, 3);
    EXPECT_EQ(SysStringLen(embedded), 3u);
    EXPECT_EQ(embedded[1], u'\0');
    EXPECT_EQ(embedded[3], u'\0') << "terminated after its length";
    BSTR blank = SysAllocStringLen(nullptr, 4);
    EXPECT_EQ(SysStringLen(blank), 4u);
    BSTR empty = SysAllocString(u"");
    ASSERT_NE(empty, nullptr);
    EXPECT_EQ(SysStringLen(empty), 0u);
    EXPECT_EQ(SysAllocString(nullptr), nullptr);
    EXPECT_EQ(SysStringLen(nullptr), 0u);
    for (BSTR b : {plain, embedded, blank, empty}) SysFreeString(b);
    SysFreeString(nullptr);
}

TEST(WindowsComTest, VariantClearFreesWhatTheVariantOwnsAndNothingElse) {
    VARIANT v;
    v.vt = VT_I4;
    v.lVal = 5;
    VariantInit(&v);
    EXPECT_EQ(v.vt, VT_EMPTY);

    v.vt = VT_BSTR;
    v.bstrVal = SysAllocString(u"owned");  // freed by the clear (the sanitizer build sees a leak otherwise)
    EXPECT_EQ(VariantClear(&v), S_OK);
    EXPECT_EQ(v.vt, VT_EMPTY);

    CountingSink object;
    object.AddRef();
    for (VARTYPE type : {VT_UNKNOWN, VT_DISPATCH}) {
        object.AddRef();
        v.vt = type;
        v.pdispVal = &object;
        EXPECT_EQ(VariantClear(&v), S_OK);
        EXPECT_EQ(object.references, 1u) << "released once, vt " << type;
        EXPECT_EQ(v.vt, VT_EMPTY);
    }

    BSTR kept = SysAllocString(u"kept");
    v.vt = VT_BSTR | VT_BYREF;
    v.pbstrVal = &kept;
    EXPECT_EQ(VariantClear(&v), S_OK);
    EXPECT_EQ(std::u16string(kept), u"kept") << "a reference does not own what it points at";
    SysFreeString(kept);
    EXPECT_EQ(VariantClear(nullptr), E_INVALIDARG);
}

TEST(WindowsComTest, AdviseAndUnadviseOnTheBrowsersEvents) {
    sim::Session session;
    HWND host = windows_test::TopLevel(windows_test::kFramedStyle, {0, 0, 300, 200});
    HWND window = platform::CreateControlWindow(platform::WindowClass::Browser, 0, u"", WS_VISIBLE, {0, 0, 300, 200},
                                                host, 102);
    auto* control = new platform::BrowserControl(window, nullptr);
    control->Start();
    IUnknown* source = static_cast<IWebBrowser2*>(control);
    std::vector<CountingSink*> order;
    CountingSink first, second, deaf;
    first.order = second.order = &order;
    deaf.dispatch = false;

    DWORD cookieFirst = 0, cookieSecond = 0, cookieDeaf = 0;
    ASSERT_EQ(AtlAdvise(source, &first, DIID_DWebBrowserEvents2, &cookieFirst), S_OK);
    ASSERT_EQ(AtlAdvise(source, &second, DIID_DWebBrowserEvents2, &cookieSecond), S_OK);
    EXPECT_NE(cookieFirst, 0u);
    EXPECT_NE(cookieFirst, cookieSecond);
    EXPECT_EQ(first.references, 1u) << "the point holds one reference to each sink";
    EXPECT_EQ(AtlAdvise(source, &deaf, DIID_DWebBrowserEvents2, &cookieDeaf), CONNECT_E_CANNOTCONNECT);
    EXPECT_EQ(deaf.references, 0u);
    EXPECT_EQ(AtlAdvise(source, &first, IID_IDispatch, &cookieDeaf), CONNECT_E_NOCONNECTION) << "no such point";

    CComBSTR address(u"https://events.example/");
    ASSERT_EQ(control->Navigate(address, nullptr, nullptr, nullptr, nullptr), S_OK);
    session.desktop.RunPending();
    ASSERT_FALSE(first.events.empty());
    EXPECT_EQ(first.events.front(), DISPID_BEFORENAVIGATE2);
    EXPECT_EQ(first.events.back(), DISPID_DOCUMENTCOMPLETE);
    EXPECT_EQ(second.events, first.events);
    ASSERT_GE(order.size(), 2u);
    EXPECT_EQ(order[0], &first) << "sinks hear each event in the order they connected";
    EXPECT_EQ(order[1], &second);

    EXPECT_EQ(AtlUnadvise(source, DIID_DWebBrowserEvents2, cookieFirst), S_OK);
    EXPECT_EQ(first.references, 0u);
    EXPECT_EQ(AtlUnadvise(source, DIID_DWebBrowserEvents2, cookieFirst), CONNECT_E_NOCONNECTION);
    const auto heardBefore = first.events.size();
    control->Navigate(address, nullptr, nullptr, nullptr, nullptr);
    session.desktop.RunPending();
    EXPECT_EQ(first.events.size(), heardBefore) << "a disconnected sink hears nothing";
    EXPECT_GT(second.events.size(), heardBefore);

    control->Release();  // the last reference: the control closes and lets go of its sinks
    EXPECT_EQ(second.references, 0u);
    DestroyWindow(host);
}

}  // namespace
