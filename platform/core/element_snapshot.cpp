#include "element_snapshot.h"

#include <optional>

#include "dispatch_without_type_info.h"

namespace platform {
namespace {

// getAttribute's flag for a name compared with regard to case.
constexpr LONG kCaseSensitive = 1;

char16_t LowerAscii(char16_t c) { return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c - u'A' + u'a') : c; }

bool SameName(const std::u16string& a, const std::u16string& b, bool caseSensitive) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (caseSensitive ? a[i] != b[i] : LowerAscii(a[i]) != LowerAscii(b[i])) return false;
    return true;
}

HRESULT PutBstr(BSTR* out, const std::u16string& text) {
    if (!out) return E_POINTER;
    *out = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
    return *out ? S_OK : E_OUTOFMEMORY;
}

// Content the engine did not copy cannot be read from the snapshot.
HRESULT PutOptional(BSTR* out, const std::optional<std::u16string>& text) {
    if (!out) return E_POINTER;
    *out = nullptr;
    return text ? PutBstr(out, *text) : E_FAIL;
}

class ElementSnapshot final : public platform::DispatchByInterfaceOnly<IHTMLElement> {
public:
    explicit ElementSnapshot(ElementData element) : element_(std::move(element)) {}

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
    ULONG AddRef() override { return ++refs_; }
    ULONG Release() override {
        ULONG n = --refs_;
        if (!n) delete this;
        return n;
    }

    HRESULT get_innerHTML(BSTR* out) override { return PutOptional(out, element_.innerHtml); }
    HRESULT get_innerText(BSTR* out) override { return PutOptional(out, element_.innerText); }
    HRESULT get_id(BSTR* out) override { return PutBstr(out, element_.id); }
    // The value as text; VT_NULL (and S_OK) when the element has no such attribute.
    HRESULT getAttribute(BSTR name, LONG flags, VARIANT* out) override {
        if (!out) return E_POINTER;
        VariantInit(out);
        out->vt = VT_NULL;
        std::u16string wanted = name ? name : u"";
        for (const auto& [attribute, value] : element_.attributes) {
            if (!SameName(attribute, wanted, (flags & kCaseSensitive) != 0)) continue;
            out->vt = VT_BSTR;
            out->bstrVal = SysAllocStringLen(value.data(), static_cast<UINT>(value.size()));
            return out->bstrVal ? S_OK : E_OUTOFMEMORY;
        }
        return S_OK;
    }
    // The element may have changed or gone since the engine reported it; markup is only
    // inserted into the live body (IHTMLDocument2::get_body).
    HRESULT insertAdjacentHTML(BSTR, BSTR) override { return E_NOTIMPL; }

private:
    ~ElementSnapshot() = default;
    ULONG refs_ = 1;
    ElementData element_;
};

}  // namespace

CComPtr<IHTMLElement> CreateElementSnapshot(ElementData element) {
    CComPtr<IHTMLElement> result;
    result.Attach(new ElementSnapshot(std::move(element)));
    return result;
}

}  // namespace platform
