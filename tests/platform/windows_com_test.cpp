// COM basics as documented: BSTR lengths, VARIANT clearing, a connection point's Advise and
// Unadvise on the WebBrowser control's events, and class objects registered by a module.
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

// A class object that counts its references and tells which one made an instance.
class TaggedClassObject final : public IClassFactory {
public:
    explicit TaggedClassObject(int tag) : tag_(tag) {}
    HRESULT QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        if (iid == IID_IUnknown || iid == IID_IClassFactory) {
            *out = static_cast<IClassFactory*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG AddRef() override { return ++references; }
    ULONG Release() override { return --references; }  // lives on the stack
    HRESULT CreateInstance(IUnknown* outer, REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        if (outer) return CLASS_E_NOAGGREGATION;
        lastMadeBy = tag_;
        return iid == IID_IUnknown ? QueryInterface(iid, out) : E_NOINTERFACE;
    }
    HRESULT LockServer(BOOL) override { return S_OK; }
    ULONG references = 0;
    static inline int lastMadeBy = 0;

private:
    int tag_;
};

// A class of no layer's: only what is registered for it exists.
constexpr CLSID kModuleClass{0x5e1f0c3a, 0x2b7d, 0x4c19, {0x9a, 0x41, 0x6d, 0x0e, 0x77, 0x12, 0xc3, 0x58}};

HRESULT MakeInstance() {
    CComPtr<IUnknown> instance;
    return CoCreateInstance(kModuleClass, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown,
                            reinterpret_cast<void**>(&instance));
}

TEST(WindowsComTest, RegisteredClassObjectsServeUntilRevokedTheLatestFirst) {
    TaggedClassObject first(1), second(2);
    EXPECT_EQ(MakeInstance(), REGDB_E_CLASSNOTREG);

    DWORD firstCookie = 0, secondCookie = 0;
    ASSERT_EQ(CoRegisterClassObject(kModuleClass, &first, CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE, &firstCookie), S_OK);
    EXPECT_GE(first.references, 1u) << "the layer holds the class object while it is registered";
    EXPECT_EQ(MakeInstance(), S_OK);
    EXPECT_EQ(TaggedClassObject::lastMadeBy, 1);

    ASSERT_EQ(CoRegisterClassObject(kModuleClass, &second, CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE, &secondCookie), S_OK);
    EXPECT_NE(firstCookie, secondCookie);
    EXPECT_EQ(MakeInstance(), S_OK);
    EXPECT_EQ(TaggedClassObject::lastMadeBy, 2) << "the latest registration serves";

    CComPtr<IClassFactory> found;
    ASSERT_EQ(CoGetClassObject(kModuleClass, CLSCTX_INPROC_SERVER, nullptr, IID_IClassFactory,
                               reinterpret_cast<void**>(&found)), S_OK);
    EXPECT_EQ(found.get(), static_cast<IClassFactory*>(&second));
    found = nullptr;

    EXPECT_EQ(CoRevokeClassObject(secondCookie), S_OK);
    EXPECT_EQ(second.references, 0u) << "revoking releases the class object";
    EXPECT_EQ(MakeInstance(), S_OK);
    EXPECT_EQ(TaggedClassObject::lastMadeBy, 1) << "the registration before is uncovered";
    EXPECT_EQ(CoRevokeClassObject(secondCookie), CO_E_OBJNOTREG);

    EXPECT_EQ(CoRevokeClassObject(firstCookie), S_OK);
    EXPECT_EQ(first.references, 0u);
    EXPECT_EQ(MakeInstance(), REGDB_E_CLASSNOTREG);
}

TEST(WindowsComTest, ASingleUseClassObjectServesOnceAndOnlyInProcess) {
    TaggedClassObject once(3);
    DWORD cookie = 0;
    ASSERT_EQ(CoRegisterClassObject(kModuleClass, &once, CLSCTX_INPROC_SERVER, REGCLS_SINGLEUSE, &cookie), S_OK);
    CComPtr<IClassFactory> found;
    EXPECT_EQ(CoGetClassObject(kModuleClass, CLSCTX_LOCAL_SERVER, nullptr, IID_IClassFactory,
                               reinterpret_cast<void**>(&found)), REGDB_E_CLASSNOTREG);
    EXPECT_EQ(MakeInstance(), S_OK);
    EXPECT_EQ(TaggedClassObject::lastMadeBy, 3);
    EXPECT_EQ(MakeInstance(), REGDB_E_CLASSNOTREG) << "taken out of service after its first use";
    CoRevokeClassObject(cookie);
    EXPECT_EQ(once.references, 0u);
}

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
