// The program's own page in a view that cannot show its page: the web process ended, or the
// main frame's certificate failed the check (subresources and frames with such a certificate
// simply do not load). The page replaces the failed one under that page's address, so the
// address bar, the document events and Refresh all work on the address.
#pragma once

#include "webkit_toolkit.h"

#include <string>
#include <string_view>

namespace platform::desktop {

// Whether a document's own address is that of one of these pages (their engine address is the
// failed page's; their document's is this).
bool IsFaultPageAddress(std::string_view documentAddress);

// The CertificateProblem bits (engine_fault_page.h) for the engine's TLS error flags.
unsigned CertificateProblemsOf(GTlsCertificateFlags flags);

class EngineFaultPages {
public:
    EngineFaultPages() = default;
    EngineFaultPages(const EngineFaultPages&) = delete;
    EngineFaultPages& operator=(const EngineFaultPages&) = delete;
    ~EngineFaultPages() { Unwatch(); }

    // Hears the view's faults (one view at a time).
    void Watch(WebKitWebView* view);
    void Unwatch();

    // The view's load-changed events, in order. Returns false for the end of the failed
    // load that the fault page replaces, which the host is not told about: it hears of the
    // fault page's load instead.
    bool ReportLoadEvent(WebKitLoadEvent event);

private:
    static void OnWebProcessTerminated(WebKitWebView*, WebKitWebProcessTerminationReason, gpointer);
    static gboolean OnTlsErrors(WebKitWebView*, gchar* failingUri, GTlsCertificate*, GTlsCertificateFlags, gpointer);
    void Show(const char* engineAddress, const std::u16string& html);

    WebKitWebView* view_ = nullptr;
    bool replacing_ = false;  // a fault page was asked for; its load has not started yet
};

}  // namespace platform::desktop
