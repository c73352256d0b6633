// Owning helpers for interface pointers, BSTRs and VARIANTs (the framework's ATL helpers).
#pragma once

#include <memory>
#include <utility>

#include "com/com.h"

template <class T>
class CComPtr {
public:
    CComPtr() = default;
    CComPtr(T* p) : p_(p) {  // NOLINT: implicit like its ATL counterpart
        if (p_) p_->AddRef();
    }
    CComPtr(const CComPtr& o) : CComPtr(o.p_) {}
    CComPtr(CComPtr&& o) noexcept : p_(std::exchange(o.p_, nullptr)) {}
    ~CComPtr() { Release(); }
    CComPtr& operator=(const CComPtr& o) {
        if (this != std::addressof(o)) {
            T* old = p_;
            p_ = o.p_;
            if (p_) p_->AddRef();
            if (old) old->Release();
        }
        return *this;
    }
    CComPtr& operator=(CComPtr&& o) noexcept {
        if (this != std::addressof(o)) {
            Release();
            p_ = std::exchange(o.p_, nullptr);
        }
        return *this;
    }
    void Release() {
        if (T* p = std::exchange(p_, nullptr)) p->Release();
    }
    // Takes over a reference the caller already owns.
    void Attach(T* p) {
        Release();
        p_ = p;
    }
    T* Detach() { return std::exchange(p_, nullptr); }
    T** operator&() {  // for out-parameters: the old pointer is released first
        Release();
        return &p_;
    }
    T* operator->() const { return p_; }
    T* get() const { return p_; }
    operator T*() const { return p_; }  // NOLINT
    explicit operator bool() const { return p_ != nullptr; }
    template <class Q>
    HRESULT QueryInterface(REFIID iid, Q** out) const {
        if (!p_) return E_POINTER;
        return p_->QueryInterface(iid, reinterpret_cast<void**>(out));
    }

private:
    T* p_ = nullptr;
};

class CComBSTR {
public:
    CComBSTR() = default;
    explicit CComBSTR(const char16_t* text) : s_(SysAllocString(text)) {}
    CComBSTR(const CComBSTR&) = delete;
    CComBSTR& operator=(const CComBSTR&) = delete;
    ~CComBSTR() { SysFreeString(s_); }
    BSTR* operator&() {
        SysFreeString(std::exchange(s_, nullptr));
        return &s_;
    }
    operator BSTR() const { return s_; }  // NOLINT
    BSTR get() const { return s_; }
    UINT Length() const { return SysStringLen(s_); }
    BSTR Detach() { return std::exchange(s_, nullptr); }

private:
    BSTR s_ = nullptr;
};

class CComVariant : public VARIANT {
public:
    CComVariant() = default;
    CComVariant(const CComVariant&) = delete;
    CComVariant& operator=(const CComVariant&) = delete;
    ~CComVariant() { VariantClear(this); }
};
