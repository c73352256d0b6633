// What the document objects of a control share: where a document is read from (the engine,
// the page it was made for, and for a frame's document its place among the frames), and the
// COM plumbing common to them.
#pragma once

#include <initializer_list>
#include <memory>
#include <optional>
#include <vector>

#include "browser_control.h"

namespace platform {

// Reads one document of the engine, if the control still shows the page it was made for.
class DocumentSource {
public:
    explicit DocumentSource(std::shared_ptr<EngineLink> link)
        : link_(std::move(link)), generation_(link_->generation) {}

    // The document of the index-th iframe of this document.
    DocumentSource Frame(std::size_t index) const {
        DocumentSource frame = *this;
        frame.framePath_.push_back(index);
        return frame;
    }
    bool IsFrame() const { return !framePath_.empty(); }

    // Absent when the page has gone, or when the frame is not there or not readable.
    std::optional<DocumentData> Read(unsigned fields) const {
        Engine* engine = Current();
        if (!engine) return std::nullopt;
        std::optional<DocumentData> document = engine->ReadDocument(IsFrame() ? fields | kDocFrames : fields);
        for (std::size_t index : framePath_) {
            if (!document || index >= document->frames.size() || !document->frames[index]) return std::nullopt;
            std::optional<DocumentData> frame = std::move(document->frames[index]);
            document = std::move(frame);
        }
        return document;
    }
    // The engine while the page is shown, else null.
    Engine* Current() const { return link_->engine && link_->generation == generation_ ? link_->engine : nullptr; }
    const std::shared_ptr<EngineLink>& Link() const { return link_; }

private:
    std::shared_ptr<EngineLink> link_;
    unsigned generation_;
    std::vector<std::size_t> framePath_;  // iframe positions from the top-level document down
};

inline HRESULT PutBstr(BSTR* out, const std::u16string& text) {
    if (!out) return E_POINTER;
    *out = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
    return *out ? S_OK : E_OUTOFMEMORY;
}

// Reference counting of the document objects: one thread, plain arithmetic.
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

// QueryInterface of a document object: primary answers IUnknown and IDispatch (and holds
// the reference count); offered lists the other interfaces with their pointers.
HRESULT AnswerQuery(REFIID iid, void** out, IDispatch* primary,
                    std::initializer_list<std::pair<IID, IDispatch*>> offered);

// The document object of a source: the top-level one also offers the command target that
// registers console receivers (with receivers, the set of its own); a frame's document
// (receivers null) does not.
CComPtr<IDispatch> CreateDocumentObject(DocumentSource source, std::shared_ptr<ConsoleReceiverSet> receivers);

// The elements the document objects hand out.
CComPtr<IHTMLLocation> CreateLocation(std::u16string url);
CComPtr<IHTMLElement> CreateBodyElement(DocumentSource source);
CComPtr<IDispatch> CreateDoctypeNode(DocumentSource source);
// The document's script elements as they are now (absent item: not a script element).
CComPtr<IHTMLElementCollection> CreateScriptCollection(DocumentSource source,
                                                       const std::vector<std::optional<ScriptData>>& scripts);

}  // namespace platform
