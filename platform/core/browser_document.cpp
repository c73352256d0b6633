// The document objects of a control: read from the engine when asked, never cached, and
// empty once the control has moved on to another page.
#include <optional>

#include "browser_control.h"

namespace platform {
namespace {

HRESULT PutBstr(BSTR* out, const std::u16string& text) {
    if (!out) return E_POINTER;
    *out = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
    return *out ? S_OK : E_OUTOFMEMORY;
}

// IDispatch plumbing of the document objects: no type information, no names.
#define DOCUMENT_DISPATCH_MEMBERS                                                                          \
    HRESULT GetTypeInfoCount(UINT* count) override {                                                       \
        if (!count) return E_POINTER;                                                                      \
        *count = 0;                                                                                        \
        return S_OK;                                                                                       \
    }                                                                                                      \
    HRESULT GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }                            \
    HRESULT GetIDsOfNames(REFIID, char16_t**, UINT, LCID, DISPID*) override { return E_NOTIMPL; }          \
    HRESULT Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override {        \
        return E_NOTIMPL;                                                                                  \
    }

class Counted {
public:
    virtual ~Counted() = default;
    ULONG AddRefImpl() { return ++refs_; }
    ULONG ReleaseImpl() {
        ULONG n = --refs_;
        if (!n) delete this;
        return n;
    }

private:
    ULONG refs_ = 1;
};

// Reads one document of the engine, if the link still shows the page it was made for.
class DocumentSource {
public:
    DocumentSource(std::shared_ptr<EngineLink> link) : link_(std::move(link)), generation_(link_->generation) {}
    std::optional<DocumentData> Read(unsigned fields) const {
        if (!link_->engine || link_->generation != generation_) return std::nullopt;
        return link_->engine->ReadDocument(fields);
    }
    Engine* Current() const { return link_->engine && link_->generation == generation_ ? link_->engine : nullptr; }

private:
    std::shared_ptr<EngineLink> link_;
    unsigned generation_;
};

class Location final : public IHTMLLocation, Counted {
public:
    explicit Location(std::u16string url) : url_(std::move(url)) {}
    HRESULT QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        if (iid == IID_IUnknown || iid == IID_IDispatch || iid == IID_IHTMLLocation) {
            *out = static_cast<IHTMLLocation*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG AddRef() override { return AddRefImpl(); }
    ULONG Release() override { return ReleaseImpl(); }
    DOCUMENT_DISPATCH_MEMBERS
    HRESULT toString(BSTR* out) override { return PutBstr(out, url_); }

private:
    std::u16string url_;
};

class BodyElement final : public IHTMLElement, Counted {
public:
    explicit BodyElement(DocumentSource source) : source_(std::move(source)) {}
    HRESULT QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        if (iid == IID_IUnknown || iid == IID_IDispatch || iid == IID_IHTMLElement) {
            *out = static_cast<IHTMLElement*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG AddRef() override { return AddRefImpl(); }
    ULONG Release() override { return ReleaseImpl(); }
    DOCUMENT_DISPATCH_MEMBERS
    HRESULT get_innerHTML(BSTR* out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        auto doc = source_.Read(kDocBody);
        if (!doc || !doc->bodyHtml) return E_FAIL;
        return PutBstr(out, *doc->bodyHtml);
    }
    HRESULT get_innerText(BSTR* out) override {
        if (out) *out = nullptr;
        return E_NOTIMPL;
    }
    HRESULT get_id(BSTR* out) override { return PutBstr(out, u""); }
    HRESULT getAttribute(BSTR, LONG, VARIANT* out) override {
        if (!out) return E_POINTER;
        VariantInit(out);
        out->vt = VT_NULL;
        return S_OK;
    }
    HRESULT insertAdjacentHTML(BSTR where, BSTR html) override {
        Engine* engine = source_.Current();
        if (!engine) return E_FAIL;
        return engine->InsertAdjacentHtml(where ? where : u"", html ? html : u"") ? S_OK : E_INVALIDARG;
    }

private:
    DocumentSource source_;
};

class HtmlDocument final : public IHTMLDocument2, public IHTMLDocument5, public IHTMLDocument6, Counted {
public:
    explicit HtmlDocument(std::shared_ptr<EngineLink> link) : source_(std::move(link)) {}
    HRESULT QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        if (iid == IID_IUnknown || iid == IID_IDispatch || iid == IID_IHTMLDocument2)
            *out = static_cast<IHTMLDocument2*>(this);
        else if (iid == IID_IHTMLDocument5)
            *out = static_cast<IHTMLDocument5*>(this);
        else if (iid == IID_IHTMLDocument6)
            *out = static_cast<IHTMLDocument6*>(this);
        if (!*out) return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    ULONG AddRef() override { return AddRefImpl(); }
    ULONG Release() override { return ReleaseImpl(); }
    DOCUMENT_DISPATCH_MEMBERS

    HRESULT get_title(BSTR* out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        auto doc = source_.Read(kDocBasics);
        if (!doc) return E_FAIL;
        return PutBstr(out, doc->title);
    }
    HRESULT get_URL(BSTR* out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        auto doc = source_.Read(kDocBasics);
        if (!doc) return E_FAIL;
        return PutBstr(out, doc->url);
    }
    HRESULT get_body(IHTMLElement** out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        auto doc = source_.Read(kDocBody);
        if (!doc) return E_FAIL;
        if (!doc->bodyHtml) return S_OK;  // a document without a body
        *out = new BodyElement(source_);
        return S_OK;
    }
    HRESULT get_location(IHTMLLocation** out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        auto doc = source_.Read(kDocBasics);
        if (!doc) return E_FAIL;
        *out = new Location(doc->url);
        return S_OK;
    }
    HRESULT get_scripts(IHTMLElementCollection** out) override {
        if (out) *out = nullptr;
        return E_NOTIMPL;
    }
    HRESULT get_compatMode(BSTR* out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        auto doc = source_.Read(kDocModes);
        if (!doc || !doc->compatMode) return E_FAIL;
        return PutBstr(out, *doc->compatMode);
    }
    HRESULT get_doctype(IDispatch** out) override {
        if (out) *out = nullptr;
        return E_NOTIMPL;
    }
    HRESULT get_documentMode(VARIANT* out) override {
        if (!out) return E_POINTER;
        VariantInit(out);
        auto doc = source_.Read(kDocModes);
        if (!doc || !doc->documentMode) return E_FAIL;
        out->vt = VT_R4;
        out->fltVal = *doc->documentMode;
        return S_OK;
    }

private:
    DocumentSource source_;
};

}  // namespace

CComPtr<IDispatch> CreateHtmlDocument(std::shared_ptr<EngineLink> link) {
    CComPtr<IDispatch> document;
    document.Attach(static_cast<IHTMLDocument2*>(new HtmlDocument(std::move(link))));
    return document;
}

}  // namespace platform
