#include "flash_control.h"

#include <utility>

namespace flash_module {
namespace {

// Reference counts are plain: the control lives in the single-threaded apartment of the
// user-interface thread.
class FlashControl final : public IPagePlayer {
public:
    FlashControl(std::u16string folder, std::u16string loader) : folder_(std::move(folder)), loader_(std::move(loader)) {}

    HRESULT QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        if (iid == IID_IUnknown || iid == IID_IPagePlayer) {
            *out = static_cast<IPagePlayer*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG AddRef() override { return ++references_; }
    ULONG Release() override {
        const ULONG left = --references_;
        if (left == 0) delete this;
        return left;
    }

    HRESULT GetFolder(BSTR* folder) override { return Copy(folder_, folder); }
    HRESULT GetLoader(BSTR* fileName) override { return Copy(loader_, fileName); }

private:
    ~FlashControl() = default;

    static HRESULT Copy(const std::u16string& text, BSTR* out) {
        if (!out) return E_POINTER;
        *out = SysAllocString(text.c_str());
        return *out ? S_OK : E_OUTOFMEMORY;
    }

    std::u16string folder_;
    std::u16string loader_;
    ULONG references_ = 1;
};

class FlashClassObject final : public IClassFactory {
public:
    FlashClassObject(std::u16string folder, std::u16string loader)
        : folder_(std::move(folder)), loader_(std::move(loader)) {}

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
    ULONG AddRef() override { return ++references_; }
    ULONG Release() override {
        const ULONG left = --references_;
        if (left == 0) delete this;
        return left;
    }

    HRESULT CreateInstance(IUnknown* outer, REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        if (outer) return CLASS_E_NOAGGREGATION;
        auto* control = new FlashControl(folder_, loader_);
        const HRESULT hr = control->QueryInterface(iid, out);
        control->Release();
        return hr;
    }
    // The module is never unloaded, so there is nothing to keep loaded.
    HRESULT LockServer(BOOL) override { return S_OK; }

private:
    ~FlashClassObject() = default;

    std::u16string folder_;
    std::u16string loader_;
    ULONG references_ = 1;
};

}  // namespace

IClassFactory* NewFlashClassObject(std::u16string folder, std::u16string loader) {
    return new FlashClassObject(std::move(folder), std::move(loader));
}

}  // namespace flash_module
