#include "engine_fault_page.h"

namespace platform {
namespace {

// No script, no frame, no image, no form target: only the page's own inline style.
constexpr char16_t kHead[] =
    u"<!DOCTYPE html><html><head><meta charset=\"utf-8\">"
    u"<meta http-equiv=\"Content-Security-Policy\" content=\"default-src 'none'; style-src 'unsafe-inline'; "
    u"form-action 'none'; base-uri 'none'\">"
    u"<style>body{font-family:sans-serif;margin:2em;color:#222}h1{font-size:1.4em}"
    u".address{font-family:monospace;word-break:break-all;background:#f3f3f3;padding:.2em .4em}</style>";

std::u16string Document(std::u16string_view title, std::u16string_view body) {
    std::u16string html = kHead;
    html += u"<title>";
    html += title;
    html += u"</title></head><body>";
    html += body;
    html += u"</body></html>";
    return html;
}

std::u16string AddressParagraph(std::u16string_view lead, std::u16string_view address, std::u16string_view tail) {
    std::u16string text = u"<p>";
    text += lead;
    text += u" <span class=\"address\" id=\"address\">";
    text += EscapeHtml(address);
    text += u"</span>";
    text += tail;
    text += u"</p>";
    return text;
}

}  // namespace

std::u16string CertificateProblemText(CertificateProblem problem) {
    switch (problem) {
    case kCertificateUntrusted: return u"The certificate is not trusted: no known authority has signed it.";
    case kCertificateWrongHost: return u"The certificate is for another host, not for this address.";
    case kCertificateNotYetValid: return u"The certificate is not valid yet.";
    case kCertificateExpired: return u"The certificate has expired.";
    case kCertificateRevoked: return u"The certificate has been revoked.";
    case kCertificateInsecure: return u"The certificate uses an insecure algorithm.";
    case kCertificateUnchecked: break;
    }
    return u"The certificate could not be checked.";
}

std::u16string EscapeHtml(std::u16string_view text) {
    std::u16string out;
    out.reserve(text.size());
    for (char16_t c : text) {
        switch (c) {
        case u'&': out += u"&amp;"; break;
        case u'<': out += u"&lt;"; break;
        case u'>': out += u"&gt;"; break;
        case u'"': out += u"&quot;"; break;
        case u'\'': out += u"&#39;"; break;
        case u'\0': out += u"\uFFFD"; break;  // a parser would drop it and join what surrounds it
        default: out += c;
        }
    }
    return out;
}

std::u16string WebProcessGonePage(std::u16string_view address, WebProcessEnd why) {
    std::u16string_view cause = why == WebProcessEnd::OutOfMemory ? u"it used more memory than it may"
                                : why == WebProcessEnd::Stopped   ? u"it was stopped"
                                                                  : u"it crashed";
    std::u16string body = u"<h1>This page stopped working</h1>";
    body += AddressParagraph(u"The browser engine's process that showed", address,
                             std::u16string(u" has ended: ") + std::u16string(cause) + u".");
    body += u"<p>Press F5, or choose Refresh on the menu bar, to load the page again.</p>";
    return Document(kWebProcessGoneTitle, body);
}

std::u16string CertificateErrorPage(std::u16string_view address, unsigned problems) {
    std::u16string body = u"<h1>This site's certificate failed the check</h1>";
    body += AddressParagraph(u"The secure connection to", address,
                             u" was stopped before anything was sent or shown, because:");
    body += u"<ul id=\"problems\">";
    unsigned known = 0;
    for (unsigned bit = kCertificateUntrusted; bit <= kCertificateUnchecked; bit <<= 1) {
        if (!(problems & bit)) continue;
        known |= bit;
        body += u"<li>";
        body += CertificateProblemText(static_cast<CertificateProblem>(bit));
        body += u"</li>";
    }
    if (!known) {
        body += u"<li>";
        body += CertificateProblemText(kCertificateUnchecked);
        body += u"</li>";
    }
    body += u"</ul><p>No exception is kept: each visit checks the certificate again.</p>";
    return Document(kCertificateErrorTitle, body);
}

}  // namespace platform
