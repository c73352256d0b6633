#include "engine_fault_pages.h"

#include <string>

#include "crt/crt.h"
#include "engine_fault_page.h"
#include "resource_scheme.h"

namespace platform::desktop {
namespace {

constexpr char kFaultPageAddress[] = "pelmarin-fault:page";

}  // namespace

bool IsFaultPageAddress(std::string_view documentAddress) { return documentAddress == kFaultPageAddress; }

unsigned CertificateProblemsOf(GTlsCertificateFlags flags) {
    struct Pair {
        GTlsCertificateFlags flag;
        CertificateProblem problem;
    };
    static constexpr Pair kPairs[] = {
        {G_TLS_CERTIFICATE_UNKNOWN_CA, kCertificateUntrusted},
        {G_TLS_CERTIFICATE_BAD_IDENTITY, kCertificateWrongHost},
        {G_TLS_CERTIFICATE_NOT_ACTIVATED, kCertificateNotYetValid},
        {G_TLS_CERTIFICATE_EXPIRED, kCertificateExpired},
        {G_TLS_CERTIFICATE_REVOKED, kCertificateRevoked},
        {G_TLS_CERTIFICATE_INSECURE, kCertificateInsecure},
        {G_TLS_CERTIFICATE_GENERIC_ERROR, kCertificateUnchecked},
    };
    unsigned problems = 0;
    for (const Pair& pair : kPairs)
        if (flags & pair.flag) problems |= pair.problem;
    return problems ? problems : kCertificateUnchecked;
}

void EngineFaultPages::Watch(WebKitWebView* view) {
    Unwatch();
    view_ = view;
    replacing_ = false;
    g_signal_connect(view, "web-process-terminated", G_CALLBACK(OnWebProcessTerminated), this);
    g_signal_connect(view, "load-failed-with-tls-errors", G_CALLBACK(OnTlsErrors), this);
}

void EngineFaultPages::Unwatch() {
    if (view_) g_signal_handlers_disconnect_by_data(view_, this);
    view_ = nullptr;
    replacing_ = false;
}

bool EngineFaultPages::ReportLoadEvent(WebKitLoadEvent event) {
    if (!replacing_) return true;
    if (event == WEBKIT_LOAD_STARTED) {
        replacing_ = false;  // the fault page's own load
        return true;
    }
    return false;  // what is left of the failed load
}

void EngineFaultPages::Show(const char* engineAddress, const std::u16string& html) {
    replacing_ = true;
    // The page's own address is of a scheme of its own, so it shares an origin with no
    // page: without one it would be about:blank, which a popup's opener may script.
    webkit_web_view_load_alternate_html(view_, text::ToUtf8(html).c_str(), engineAddress, kFaultPageAddress);
}

void EngineFaultPages::OnWebProcessTerminated(WebKitWebView* view, WebKitWebProcessTerminationReason reason,
                                              gpointer data) {
    auto* self = static_cast<EngineFaultPages*>(data);
    const char* address = webkit_web_view_get_uri(view);
    WebProcessEnd why = reason == WEBKIT_WEB_PROCESS_EXCEEDED_MEMORY_LIMIT ? WebProcessEnd::OutOfMemory
                        : reason == WEBKIT_WEB_PROCESS_TERMINATED_BY_API   ? WebProcessEnd::Stopped
                                                                           : WebProcessEnd::Crashed;
    g_printerr("Pelmarin: the browser engine's web process ended (%s) while showing %s\n",
               why == WebProcessEnd::Crashed ? "crashed" : why == WebProcessEnd::OutOfMemory ? "out of memory" : "stopped",
               address ? address : "nothing");
    if (!address) return;  // nothing was shown, nothing to bring back
    self->Show(address, WebProcessGonePage(ProgramAddress(address), why));
}

gboolean EngineFaultPages::OnTlsErrors(WebKitWebView*, gchar* failingUri, GTlsCertificate*, GTlsCertificateFlags flags,
                                       gpointer data) {
    auto* self = static_cast<EngineFaultPages*>(data);
    const char* address = failingUri ? failingUri : "";
    // No exception is ever made for the certificate: the load stays failed, and the next
    // visit meets the same check.
    self->Show(address, CertificateErrorPage(ProgramAddress(address), CertificateProblemsOf(flags)));
    return TRUE;
}

}  // namespace platform::desktop
