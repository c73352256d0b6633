// The elements and collections of the document objects: the location, the body with its
// iframes, the document type node, and the script elements.
#include "crt/crt.h"
#include "document_source.h"

namespace platform {
namespace {

// A frame of another origin keeps its document to itself.
constexpr HRESULT kAccessDenied = static_cast<HRESULT>(0x80070005);

}  // namespace

HRESULT AnswerQuery(REFIID iid, void** out, IDispatch* primary,
                    std::initializer_list<std::pair<IID, IDispatch*>> offered) {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (iid == IID_IUnknown || iid == IID_IDispatch) *out = primary;
    for (const auto& [offeredIid, pointer] : offered)
        if (!*out && iid == offeredIid) *out = pointer;
    if (!*out) return E_NOINTERFACE;
    primary->AddRef();
    return S_OK;
}

namespace {

class Location final : public DispatchByInterfaceOnly<IHTMLLocation>, Counted {
public:
    explicit Location(std::u16string url) : url_(std::move(url)) {}
    HRESULT QueryInterface(REFIID iid, void** out) override { return AnswerQuery(iid, out, this, {{IID_IHTMLLocation, this}}); }
    ULONG AddRef() override { return AddRefImpl(); }
    ULONG Release() override { return ReleaseImpl(); }
    HRESULT toString(BSTR* out) override { return PutBstr(out, url_); }

private:
    std::u16string url_;
};

// An element the layer knows nothing more of (an item of a collection that is not of the
// collection's kind).
class OtherElement final : public DispatchByInterfaceOnly<IDispatch>, Counted {
public:
    HRESULT QueryInterface(REFIID iid, void** out) override { return AnswerQuery(iid, out, this, {}); }
    ULONG AddRef() override { return AddRefImpl(); }
    ULONG Release() override { return ReleaseImpl(); }
};

// A script element as it was when its collection was made.
class ScriptElement final : public DispatchByInterfaceOnly<IHTMLScriptElement>, Counted {
public:
    explicit ScriptElement(ScriptData data) : data_(std::move(data)) {}
    HRESULT QueryInterface(REFIID iid, void** out) override { return AnswerQuery(iid, out, this, {{IID_IHTMLScriptElement, this}}); }
    ULONG AddRef() override { return AddRefImpl(); }
    ULONG Release() override { return ReleaseImpl(); }
    // An inline script has no source address: an empty text, as a null BSTR.
    HRESULT get_src(BSTR* out) override { return PutOptional(out, data_.src); }
    HRESULT get_text(BSTR* out) override { return PutOptional(out, data_.text); }

private:
    static HRESULT PutOptional(BSTR* out, const std::optional<std::u16string>& text) {
        if (!out) return E_POINTER;
        *out = nullptr;
        return text ? PutBstr(out, *text) : S_OK;
    }
    ScriptData data_;
};

// The document type node: its text is read from the page on every call.
class DoctypeNode final : public DispatchByInterfaceOnly<IHTMLElement>, Counted {
public:
    explicit DoctypeNode(DocumentSource source) : source_(std::move(source)) {}
    HRESULT QueryInterface(REFIID iid, void** out) override { return AnswerQuery(iid, out, this, {{IID_IHTMLElement, this}}); }
    ULONG AddRef() override { return AddRefImpl(); }
    ULONG Release() override { return ReleaseImpl(); }
    HRESULT get_innerText(BSTR* out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        auto doc = source_.Read(kDocModes);
        if (!doc || !doc->doctype) return E_FAIL;
        return PutBstr(out, *doc->doctype);
    }
    HRESULT get_innerHTML(BSTR* out) override { return NotAnElement(out); }
    HRESULT get_id(BSTR* out) override { return NotAnElement(out); }
    HRESULT getAttribute(BSTR, LONG, VARIANT* out) override {
        if (out) VariantInit(out);
        return E_NOTIMPL;
    }
    HRESULT insertAdjacentHTML(BSTR, BSTR) override { return E_NOTIMPL; }

private:
    static HRESULT NotAnElement(BSTR* out) {
        if (out) *out = nullptr;
        return E_NOTIMPL;
    }
    DocumentSource source_;
};

// The position an item() call asks for: a number in name (or, without a name, in index).
// Named look-ups are not offered.
std::optional<std::size_t> ItemPosition(const VARIANT& name, const VARIANT& index) {
    const VARIANT& which = name.vt == VT_EMPTY ? index : name;
    if (which.vt == VT_I4) return which.lVal < 0 ? std::nullopt : std::optional<std::size_t>(which.lVal);
    if (which.vt == VT_UI4) return which.ulVal;
    return std::nullopt;
}

// A collection as it was when it was made: reading the whole list again for every item
// would make a walk over n items read the page n times. It hands out nothing once the
// control has moved on to another page.
class ElementCollection final : public DispatchByInterfaceOnly<IHTMLElementCollection>, Counted {
public:
    ElementCollection(DocumentSource source, std::vector<CComPtr<IDispatch>> items)
        : source_(std::move(source)), items_(std::move(items)) {}
    HRESULT QueryInterface(REFIID iid, void** out) override {
        return AnswerQuery(iid, out, this, {{IID_IHTMLElementCollection, this}});
    }
    ULONG AddRef() override { return AddRefImpl(); }
    ULONG Release() override { return ReleaseImpl(); }
    HRESULT get_length(LONG* out) override {
        if (!out) return E_POINTER;
        *out = static_cast<LONG>(items_.size());
        return S_OK;
    }
    HRESULT item(VARIANT name, VARIANT index, IDispatch** out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        if (!source_.Current()) return E_FAIL;
        if (name.vt == VT_BSTR || index.vt == VT_BSTR) return E_NOTIMPL;
        std::optional<std::size_t> position = ItemPosition(name, index);
        if (!position || *position >= items_.size()) return E_INVALIDARG;
        *out = items_[*position].get();
        (*out)->AddRef();
        return S_OK;
    }

private:
    DocumentSource source_;
    std::vector<CComPtr<IDispatch>> items_;
};

// An iframe element: its document is handed out while the page shows it and the frame is
// readable (of the same origin).
class IFrameElement final : public DispatchByInterfaceOnly<IHTMLIFrameElement3>, Counted {
public:
    explicit IFrameElement(DocumentSource frame) : frame_(std::move(frame)) {}
    HRESULT QueryInterface(REFIID iid, void** out) override { return AnswerQuery(iid, out, this, {{IID_IHTMLIFrameElement3, this}}); }
    ULONG AddRef() override { return AddRefImpl(); }
    ULONG Release() override { return ReleaseImpl(); }
    HRESULT get_contentDocument(IDispatch** out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        if (!frame_.Current()) return E_FAIL;
        if (!frame_.Read(kDocBasics)) return kAccessDenied;
        *out = CreateDocumentObject(frame_, nullptr).Detach();
        return S_OK;
    }

private:
    DocumentSource frame_;
};

class BodyElement final : public DispatchByInterfaceOnly<IHTMLElement>,
                          public DispatchByInterfaceOnly<IHTMLElement2>,
                          Counted {
public:
    explicit BodyElement(DocumentSource source) : source_(std::move(source)) {}
    HRESULT QueryInterface(REFIID iid, void** out) override {
        IHTMLElement* element = this;
        IHTMLElement2* element2 = this;
        return AnswerQuery(iid, out, element, {{IID_IHTMLElement, element}, {IID_IHTMLElement2, element2}});
    }
    ULONG AddRef() override { return AddRefImpl(); }
    ULONG Release() override { return ReleaseImpl(); }
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
        if (source_.IsFrame()) return E_NOTIMPL;  // the engine edits the top-level document only
        return engine->InsertAdjacentHtml(where ? where : u"", html ? html : u"") ? S_OK : E_INVALIDARG;
    }
    // The iframes of the document, in document order; no other tag names are offered.
    HRESULT getElementsByTagName(BSTR name, IHTMLElementCollection** out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        if (!name || _wcsicmp(name, u"iframe") != 0) return E_NOTIMPL;
        auto doc = source_.Read(kDocFrames);
        if (!doc) return E_FAIL;
        std::vector<CComPtr<IDispatch>> frames;
        for (std::size_t index = 0; index < doc->frames.size(); ++index) {
            CComPtr<IDispatch> frame;
            frame.Attach(new IFrameElement(source_.Frame(index)));
            frames.push_back(std::move(frame));
        }
        *out = new ElementCollection(source_, std::move(frames));
        return S_OK;
    }

private:
    DocumentSource source_;
};

}  // namespace

CComPtr<IHTMLLocation> CreateLocation(std::u16string url) {
    CComPtr<IHTMLLocation> location;
    location.Attach(new Location(std::move(url)));
    return location;
}

CComPtr<IHTMLElement> CreateBodyElement(DocumentSource source) {
    CComPtr<IHTMLElement> body;
    body.Attach(new BodyElement(std::move(source)));
    return body;
}

CComPtr<IDispatch> CreateDoctypeNode(DocumentSource source) {
    CComPtr<IDispatch> node;
    node.Attach(new DoctypeNode(std::move(source)));
    return node;
}

CComPtr<IHTMLElementCollection> CreateScriptCollection(DocumentSource source,
                                                       const std::vector<std::optional<ScriptData>>& scripts) {
    std::vector<CComPtr<IDispatch>> items;
    items.reserve(scripts.size());
    for (const std::optional<ScriptData>& script : scripts) {
        CComPtr<IDispatch> item;
        if (script) item.Attach(new ScriptElement(*script));
        else item.Attach(new OtherElement);
        items.push_back(std::move(item));
    }
    CComPtr<IHTMLElementCollection> collection;
    collection.Attach(new ElementCollection(std::move(source), std::move(items)));
    return collection;
}

}  // namespace platform
