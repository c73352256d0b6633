// The document objects of a control: read from the engine when asked, never cached, and
// empty once the control has moved on to another page. The top-level document's command
// target registers the console receivers that get the page's console messages.
#include <optional>

#include "console_receiver_set.h"
#include "document_source.h"

namespace platform {
namespace {

class HtmlDocument final : public DispatchByInterfaceOnly<IHTMLDocument2>,
                           public DispatchByInterfaceOnly<IHTMLDocument5>,
                           public DispatchByInterfaceOnly<IHTMLDocument6>,
                           public IOleCommandTarget,
                           Counted {
public:
    HtmlDocument(DocumentSource source, std::shared_ptr<ConsoleReceiverSet> receivers)
        : source_(std::move(source)), receivers_(std::move(receivers)) {}
    HRESULT QueryInterface(REFIID iid, void** out) override {
        IHTMLDocument2* document2 = this;
        IHTMLDocument5* document5 = this;
        IHTMLDocument6* document6 = this;
        if (out && iid == IID_IOleCommandTarget) {
            *out = nullptr;
            if (!receivers_) return E_NOINTERFACE;
            *out = static_cast<IOleCommandTarget*>(this);
            AddRef();
            return S_OK;
        }
        return AnswerQuery(iid, out, document2,
                           {{IID_IHTMLDocument2, document2}, {IID_IHTMLDocument5, document5}, {IID_IHTMLDocument6, document6}});
    }
    ULONG AddRef() override { return AddRefImpl(); }
    ULONG Release() override { return ReleaseImpl(); }

    // ---- IHTMLDocument2
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
        // Whether there is a body, not its HTML: a dump reads a large body once, not twice.
        auto doc = source_.Read(kDocBasics);
        if (!doc) return E_FAIL;
        if (!doc->hasBody) return S_OK;  // a document without a body
        *out = CreateBodyElement(source_).Detach();
        return S_OK;
    }
    HRESULT get_location(IHTMLLocation** out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        auto doc = source_.Read(kDocBasics);
        if (!doc) return E_FAIL;
        *out = CreateLocation(doc->url).Detach();
        return S_OK;
    }
    HRESULT get_scripts(IHTMLElementCollection** out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        auto doc = source_.Read(kDocScripts);
        if (!doc) return E_FAIL;
        *out = CreateScriptCollection(source_, doc->scripts).Detach();
        return S_OK;
    }

    // ---- IHTMLDocument5
    HRESULT get_compatMode(BSTR* out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        auto doc = source_.Read(kDocModes);
        if (!doc || !doc->compatMode) return E_FAIL;
        return PutBstr(out, *doc->compatMode);
    }
    // No node (S_OK with null) when the document declares no document type.
    HRESULT get_doctype(IDispatch** out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        auto doc = source_.Read(kDocModes);
        if (!doc) return E_FAIL;
        if (doc->doctype) *out = CreateDoctypeNode(source_).Detach();
        return S_OK;
    }

    // ---- IHTMLDocument6: fails where the engine knows no document mode.
    HRESULT get_documentMode(VARIANT* out) override {
        if (!out) return E_POINTER;
        VariantInit(out);
        auto doc = source_.Read(kDocModes);
        if (!doc || !doc->documentMode) return E_FAIL;
        out->vt = VT_R4;
        out->fltVal = *doc->documentMode;
        return S_OK;
    }

    // ---- IOleCommandTarget: the console receiver commands of CGID_MSHTML.
    HRESULT QueryStatus(const GUID* group, ULONG count, OLECMD* commands, OLECMDTEXT*) override {
        if (!group || *group != CGID_MSHTML) return OLECMDERR_E_UNKNOWNGROUP;
        if (count && !commands) return E_POINTER;
        for (ULONG i = 0; i < count; ++i) {
            const bool known = commands[i].cmdID == IDM_ADDCONSOLEMESSAGERECEIVER ||
                               commands[i].cmdID == IDM_REMOVECONSOLEMESSAGERECEIVER;
            commands[i].cmdf = known ? OLECMDF_SUPPORTED | OLECMDF_ENABLED : 0;
        }
        return S_OK;
    }
    HRESULT Exec(const GUID* group, DWORD id, DWORD, VARIANT* in, VARIANT* out) override {
        if (!group || *group != CGID_MSHTML) return OLECMDERR_E_UNKNOWNGROUP;
        if (id == IDM_ADDCONSOLEMESSAGERECEIVER) return AddReceiver(in, out);
        if (id == IDM_REMOVECONSOLEMESSAGERECEIVER) return RemoveReceiver(in);
        return OLECMDERR_E_NOTSUPPORTED;
    }

private:
    // in: the receiver (VT_UNKNOWN or VT_DISPATCH); out: the cookie (VT_UI4). A document
    // the control has left would never deliver a message: the registration fails.
    HRESULT AddReceiver(VARIANT* in, VARIANT* out) {
        if (!in || !out) return E_POINTER;
        IUnknown* given = in->vt == VT_UNKNOWN ? in->punkVal : in->vt == VT_DISPATCH ? in->pdispVal : nullptr;
        if (!given) return E_INVALIDARG;
        CComPtr<IDeveloperConsoleMessageReceiver> receiver;
        if (FAILED(given->QueryInterface(IID_IDeveloperConsoleMessageReceiver, reinterpret_cast<void**>(&receiver))) ||
            !receiver)
            return E_INVALIDARG;
        if (!source_.Current()) return E_FAIL;
        const DWORD cookie = receivers_->Add(std::move(receiver));
        VariantClear(out);
        out->vt = VT_UI4;
        out->ulVal = cookie;
        return S_OK;
    }
    // in: the cookie of an earlier registration with this document.
    HRESULT RemoveReceiver(VARIANT* in) {
        if (!in) return E_POINTER;
        if (in->vt != VT_UI4 && in->vt != VT_I4) return E_INVALIDARG;
        return receivers_->Remove(in->ulVal) ? S_OK : E_INVALIDARG;
    }

    DocumentSource source_;
    std::shared_ptr<ConsoleReceiverSet> receivers_;  // null for a frame's document
};

}  // namespace

CComPtr<IDispatch> CreateDocumentObject(DocumentSource source, std::shared_ptr<ConsoleReceiverSet> receivers) {
    CComPtr<IDispatch> document;
    document.Attach(static_cast<IHTMLDocument2*>(new HtmlDocument(std::move(source), std::move(receivers))));
    return document;
}

CComPtr<IDispatch> CreateHtmlDocument(std::shared_ptr<EngineLink> link) {
    // Each document has receivers of its own; the control delivers to the current one's.
    link->consoleReceivers = std::make_shared<ConsoleReceiverSet>();
    std::shared_ptr<ConsoleReceiverSet> receivers = link->consoleReceivers;
    return CreateDocumentObject(DocumentSource(std::move(link)), std::move(receivers));
}

}  // namespace platform
