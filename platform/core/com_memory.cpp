// BSTRs, VARIANTs and task memory.
#include <cstdlib>
#include <cstring>

#include "com/com.h"

namespace {
// A BSTR is preceded by its length in bytes (without the terminator).
struct BstrHeader {
    std::uint32_t bytes;
};
}  // namespace

BSTR SysAllocStringLen(const char16_t* text, UINT length) {
    auto* block = static_cast<unsigned char*>(
        std::malloc(sizeof(BstrHeader) + (static_cast<std::size_t>(length) + 1) * sizeof(char16_t)));
    if (!block) return nullptr;
    reinterpret_cast<BstrHeader*>(block)->bytes = length * sizeof(char16_t);
    auto* chars = reinterpret_cast<char16_t*>(block + sizeof(BstrHeader));
    if (text && length) std::memcpy(chars, text, length * sizeof(char16_t));
    else if (length) std::memset(chars, 0, length * sizeof(char16_t));
    chars[length] = u'\0';
    return chars;
}

BSTR SysAllocString(const char16_t* text) {
    if (!text) return nullptr;
    UINT length = 0;
    while (text[length]) ++length;
    return SysAllocStringLen(text, length);
}

void SysFreeString(BSTR text) {
    if (text) std::free(reinterpret_cast<unsigned char*>(text) - sizeof(BstrHeader));
}

UINT SysStringLen(BSTR text) {
    if (!text) return 0;
    return reinterpret_cast<const BstrHeader*>(reinterpret_cast<unsigned char*>(text) - sizeof(BstrHeader))
               ->bytes /
           sizeof(char16_t);
}

void VariantInit(VARIANT* v) {
    v->vt = VT_EMPTY;
    v->lVal = 0;
}

HRESULT VariantClear(VARIANT* v) {
    if (!v) return E_INVALIDARG;
    switch (v->vt) {
    case VT_BSTR:
        SysFreeString(v->bstrVal);
        break;
    case VT_UNKNOWN:
        if (v->punkVal) v->punkVal->Release();
        break;
    case VT_DISPATCH:
        if (v->pdispVal) v->pdispVal->Release();
        break;
    default:
        break;
    }
    VariantInit(v);
    return S_OK;
}

void* CoTaskMemAlloc(std::size_t size) { return std::malloc(size ? size : 1); }
void CoTaskMemFree(void* memory) { std::free(memory); }
