// A document double for what the layer's documents always do right: one that lacks
// interfaces, refuses commands, or fails single reads, and records the commands it gets.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "com/ptr.h"
#include "mshtml/console.h"
#include "mshtml/document.h"
#include "mshtml/host.h"

namespace diagnostics_test {

#define FAKE_DISPATCH_MEMBERS                                                                         \
    HRESULT GetTypeInfoCount(UINT* count) override {                                                  \
        *count = 0;                                                                                   \
        return S_OK;                                                                                  \
    }                                                                                                 \
    HRESULT GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }                       \
    HRESULT GetIDsOfNames(REFIID, char16_t**, UINT, LCID, DISPID*) override { return E_NOTIMPL; }     \
    HRESULT Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override {   \
        return E_NOTIMPL;                                                                             \
    }

inline HRESULT PutText(BSTR* out, const std::optional<std::u16string>& text) {
    *out = nullptr;
    if (!text) return E_FAIL;
    *out = SysAllocStringLen(text->data(), static_cast<UINT>(text->size()));
    return S_OK;
}

// Counts references; the test owns the object on the stack and checks the count at the end.
template <class... Interfaces>
class FakeObject : public Interfaces... {
public:
    virtual ~FakeObject() = default;
    ULONG AddRef() override { return ++refs; }
    ULONG Release() override { return --refs; }
    ULONG refs = 1;
};

class FakeLocation final : public FakeObject<IHTMLLocation> {
public:
    explicit FakeLocation(std::u16string text) : text_(std::move(text)) {}
    HRESULT QueryInterface(REFIID iid, void** out) override {
        *out = iid == IID_IUnknown || iid == IID_IDispatch || iid == IID_IHTMLLocation ? this : nullptr;
        if (!*out) return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    FAKE_DISPATCH_MEMBERS
    HRESULT toString(BSTR* out) override { return PutText(out, text_); }

private:
    std::u16string text_;
};

// An element whose texts are given; an absent text makes its read fail.
class FakeElement final : public FakeObject<IHTMLElement> {
public:
    std::optional<std::u16string> innerHtml, innerText;
    bool offersElement = true;  // false: a node that is no element

    HRESULT QueryInterface(REFIID iid, void** out) override {
        const bool offered = iid == IID_IUnknown || iid == IID_IDispatch || (offersElement && iid == IID_IHTMLElement);
        *out = offered ? this : nullptr;
        if (!*out) return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    FAKE_DISPATCH_MEMBERS
    HRESULT get_innerHTML(BSTR* out) override { return PutText(out, innerHtml); }
    HRESULT get_innerText(BSTR* out) override { return PutText(out, innerText); }
    HRESULT get_id(BSTR* out) override { return PutText(out, std::nullopt); }
    HRESULT getAttribute(BSTR, LONG, VARIANT*) override { return E_NOTIMPL; }
    HRESULT insertAdjacentHTML(BSTR, BSTR) override { return E_NOTIMPL; }
};

struct ExecCall {
    DWORD command = 0;
    VARTYPE inType = VT_EMPTY;
    ULONG inValue = 0;     // a cookie handed in
    bool inIsMe = false;   // the input held the receiver under test
    bool hadOutput = false;
};

class FakeDocument final : public FakeObject<IHTMLDocument2, IHTMLDocument5, IHTMLDocument6, IOleCommandTarget> {
public:
    // What the document offers and answers.
    std::u16string url = u"https://fake.example/page";
    bool offersCommandTarget = true;
    HRESULT addResult = S_OK;
    DWORD cookie = 42;
    std::optional<std::u16string> location = url;  // absent: no location object
    bool offers5 = true;
    std::optional<std::u16string> compatMode = std::u16string(u"CSS1Compat");
    FakeElement* doctype = nullptr;  // null: no document type node
    bool offers6 = true;
    VARIANT documentMode;  // VT_EMPTY: the read fails
    FakeElement* body = nullptr;

    // What it was asked.
    std::vector<ExecCall> calls;
    IUnknown* expectedReceiver = nullptr;
    CComPtr<IUnknown> registered;  // held while registered, as a browser holds it

    HRESULT QueryInterface(REFIID iid, void** out) override {
        *out = nullptr;
        if (iid == IID_IUnknown || iid == IID_IDispatch || iid == IID_IHTMLDocument2)
            *out = static_cast<IHTMLDocument2*>(this);
        else if (iid == IID_IHTMLDocument5 && offers5)
            *out = static_cast<IHTMLDocument5*>(this);
        else if (iid == IID_IHTMLDocument6 && offers6)
            *out = static_cast<IHTMLDocument6*>(this);
        else if (iid == IID_IOleCommandTarget && offersCommandTarget)
            *out = static_cast<IOleCommandTarget*>(this);
        if (!*out) return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    FAKE_DISPATCH_MEMBERS
    HRESULT get_title(BSTR* out) override { return PutText(out, u"Fake"); }
    HRESULT get_body(IHTMLElement** out) override {
        *out = body;
        if (body) body->AddRef();
        return S_OK;
    }
    HRESULT get_URL(BSTR* out) override { return PutText(out, url); }
    HRESULT get_location(IHTMLLocation** out) override {
        *out = nullptr;
        if (!location) return E_FAIL;
        *out = new FakeLocation(*location);  // owned by the caller's reference count
        issuedLocations_.push_back(static_cast<FakeLocation*>(*out));
        return S_OK;
    }
    HRESULT get_scripts(IHTMLElementCollection** out) override {
        *out = nullptr;
        return E_NOTIMPL;
    }
    HRESULT get_compatMode(BSTR* out) override { return PutText(out, compatMode); }
    HRESULT get_doctype(IDispatch** out) override {
        *out = doctype;
        if (doctype) doctype->AddRef();
        return S_OK;
    }
    HRESULT get_documentMode(VARIANT* out) override {
        VariantInit(out);
        if (documentMode.vt == VT_EMPTY) return E_FAIL;
        *out = documentMode;
        return S_OK;
    }
    HRESULT QueryStatus(const GUID*, ULONG, OLECMD*, OLECMDTEXT*) override { return E_NOTIMPL; }
    HRESULT Exec(const GUID* group, DWORD id, DWORD, VARIANT* in, VARIANT* out) override {
        if (!group || *group != CGID_MSHTML) return OLECMDERR_E_UNKNOWNGROUP;
        ExecCall call;
        call.command = id;
        call.hadOutput = out != nullptr;
        if (in) {
            call.inType = in->vt;
            if (in->vt == VT_UNKNOWN) call.inIsMe = in->punkVal != nullptr && in->punkVal == expectedReceiver;
            if (in->vt == VT_UI4) call.inValue = in->ulVal;
        }
        calls.push_back(call);
        if (id == IDM_ADDCONSOLEMESSAGERECEIVER) {
            if (FAILED(addResult)) return addResult;
            registered = in->punkVal;
            out->vt = VT_I4;
            out->lVal = static_cast<LONG>(cookie);
            return addResult;
        }
        if (id == IDM_REMOVECONSOLEMESSAGERECEIVER) {
            if (call.inValue != cookie) return E_INVALIDARG;
            registered.Release();
            return S_OK;
        }
        return OLECMDERR_E_NOTSUPPORTED;
    }

    ~FakeDocument() override {
        for (FakeLocation* issued : issuedLocations_) delete issued;
    }

private:
    std::vector<FakeLocation*> issuedLocations_;  // freed with the document (their count is not watched)
};

}  // namespace diagnostics_test
