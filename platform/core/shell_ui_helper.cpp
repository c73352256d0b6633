// The shell's helper object that pages see as window.external. This desktop offers pages
// nothing through it; what binds is that a new object is made for every request.
#include "shell_ui_helper.h"

#include "com/com.h"
#include "dispatch_without_type_info.h"
#include "mshtml/host.h"

namespace {
class ShellUIHelper final : public platform::DispatchWithoutTypeInfo<IShellUIHelper> {
public:
    HRESULT QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        if (iid == IID_IUnknown || iid == IID_IDispatch || iid == IID_IShellUIHelper) {
            *out = static_cast<IShellUIHelper*>(this);
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
    HRESULT Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override {
        return DISP_E_MEMBERNOTFOUND;
    }
    HRESULT AddFavorite(BSTR, VARIANT*) override { return E_NOTIMPL; }

private:
    ~ShellUIHelper() = default;
    ULONG refs_ = 0;
};

}  // namespace

HRESULT platform::CreateShellUIHelper(REFIID iid, void** out) {
    auto* helper = new ShellUIHelper;
    helper->AddRef();
    HRESULT hr = helper->QueryInterface(iid, out);
    helper->Release();
    return hr;
}
