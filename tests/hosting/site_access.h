// Reaching the main window's control site as the browser does: through the site's own
// IUnknown, and the service provider that QueryInterface hands out.
#pragma once

#include <gtest/gtest.h>

#include "com/ptr.h"
#include "mainwindow/main_window_harness.h"
#include "mshtml/host.h"

namespace hosting_test {

// The interface iid of the main window's site, counted for the caller; null when the site
// does not hand it out.
template <class I>
CComPtr<I> SiteInterface(const mainwindow_test::MainWindowHarness& harness, REFIID iid) {
    CComPtr<I> result;
    if (!harness.window.controlSite) {
        ADD_FAILURE() << "the main window made no control site";
        return result;
    }
    harness.window.controlSite->GetControllingUnknown()->QueryInterface(iid, reinterpret_cast<void**>(&result));
    return result;
}

template <class I>
CComPtr<I> SiteService(const mainwindow_test::MainWindowHarness& harness, REFGUID service) {
    CComPtr<I> result;
    if (auto provider = SiteInterface<IServiceProvider>(harness, IID_IServiceProvider))
        provider->QueryService(service, service, reinterpret_cast<void**>(&result));
    return result;
}

// The site's reference count, read by an AddRef and Release pair through any interface.
inline ULONG ReferenceCount(IUnknown* any) {
    any->AddRef();
    return any->Release();
}

}  // namespace hosting_test
