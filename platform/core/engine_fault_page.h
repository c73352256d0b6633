// The pages an engine shows in place of a page it cannot show: its web process ended, or the
// site's certificate failed the check. Both backends show the same text, so the host sees the
// same document (title, body) whichever engine runs.
//
// The page is the program's own HTML: the address in it is escaped, the page forbids every
// script and every load of its own, and the engine loads it with no address of its own (an
// opaque origin), so no other page can reach into it.
#pragma once

#include <string>
#include <string_view>

namespace platform {

// Why the engine's web process went.
enum class WebProcessEnd { Crashed, OutOfMemory, Stopped };

// What was wrong with a site's certificate; several at once are common (a self-signed
// certificate for another host is both untrusted and for the wrong host).
enum CertificateProblem : unsigned {
    kCertificateUntrusted = 1,     // no known authority signed it
    kCertificateWrongHost = 2,     // it names another host
    kCertificateNotYetValid = 4,
    kCertificateExpired = 8,
    kCertificateRevoked = 16,
    kCertificateInsecure = 32,     // weak algorithm or key
    kCertificateUnchecked = 64,    // the check itself failed
};

inline constexpr char16_t kWebProcessGoneTitle[] = u"Page stopped";
inline constexpr char16_t kCertificateErrorTitle[] = u"Certificate error";

// One sentence per problem, in the order of the bits; an empty set reads as unchecked.
std::u16string CertificateProblemText(CertificateProblem problem);

// Text made safe inside HTML elements and quoted attribute values.
std::u16string EscapeHtml(std::u16string_view text);

// address: the address the window showed (or was loading).
std::u16string WebProcessGonePage(std::u16string_view address, WebProcessEnd why);
// problems: CertificateProblem bits.
std::u16string CertificateErrorPage(std::u16string_view address, unsigned problems);

}  // namespace platform
