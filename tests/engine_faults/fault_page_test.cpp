// The fault pages' markup: the address is text whatever it holds, the page carries no script
// and forbids every load, and each certificate problem is named.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "crt/crt.h"
#include "engine_fault_page.h"

namespace {

using platform::CertificateErrorPage;
using platform::WebProcessEnd;
using platform::WebProcessGonePage;

std::string U8(const std::u16string& text) { return text::ToUtf8(text); }

TEST(EngineFaultPageTest, TheAddressIsQuotedAsTextInBothPages) {
    struct Case {
        std::u16string address;
        std::u16string quoted;
    };
    const Case cases[] = {
        {u"https://site.example/</span><script>alert(1)</script>",
         u"https://site.example/&lt;/span&gt;&lt;script&gt;alert(1)&lt;/script&gt;"},
        {u"https://site.example/?a=1&b=2", u"https://site.example/?a=1&amp;b=2"},
        {u"https://site.example/\" onmouseover=\"x", u"https://site.example/&quot; onmouseover=&quot;x"},
        {u"https://site.example/'quoted'", u"https://site.example/&#39;quoted&#39;"},
        {std::u16string(u"https://site.example/a\0b", 24), u"https://site.example/a\uFFFDb"},
        {u"https://s\u00EFte.example/\U0001F600", u"https://s\u00EFte.example/\U0001F600"},
    };
    for (const Case& c : cases) {
        for (const std::u16string& page :
             {WebProcessGonePage(c.address, WebProcessEnd::Crashed), CertificateErrorPage(c.address, 1)}) {
            SCOPED_TRACE(U8(c.address));
            EXPECT_NE(page.find(u">" + c.quoted + u"</span>"), std::u16string::npos) << U8(page);
            EXPECT_EQ(page.find(u"<script"), std::u16string::npos);
            EXPECT_EQ(page.find(u"onmouseover=\""), std::u16string::npos);
            EXPECT_NE(page.find(u"content=\"default-src 'none'"), std::u16string::npos) << "no load, no script";
        }
    }
}

TEST(EngineFaultPageTest, EveryCertificateProblemIsNamedAndNoOther) {
    struct Case {
        unsigned problems;
        std::vector<std::u16string> named;
    };
    const std::u16string untrusted = u"The certificate is not trusted", wrongHost = u"for another host",
                         notYet = u"not valid yet", expired = u"has expired", revoked = u"has been revoked",
                         insecure = u"insecure algorithm", unchecked = u"could not be checked";
    const std::vector<std::u16string> all{untrusted, wrongHost, notYet, expired, revoked, insecure, unchecked};
    const Case cases[] = {
        {platform::kCertificateUntrusted, {untrusted}},
        {platform::kCertificateUntrusted | platform::kCertificateWrongHost, {untrusted, wrongHost}},
        {platform::kCertificateExpired | platform::kCertificateUntrusted, {untrusted, expired}},
        {platform::kCertificateNotYetValid, {notYet}},
        {platform::kCertificateRevoked | platform::kCertificateInsecure, {revoked, insecure}},
        {platform::kCertificateUnchecked, {unchecked}},
        {0, {unchecked}},       // the engine gave no reason: still an error, never a pass
        {1u << 20, {unchecked}},  // a reason this program does not know
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.problems);
        const std::u16string page = CertificateErrorPage(u"https://site.example/", c.problems);
        EXPECT_NE(page.find(u"<title>Certificate error</title>"), std::u16string::npos);
        for (const std::u16string& sentence : all) {
            const bool expected = std::find(c.named.begin(), c.named.end(), sentence) != c.named.end();
            EXPECT_EQ(page.find(sentence) != std::u16string::npos, expected) << U8(sentence);
        }
    }
}

TEST(EngineFaultPageTest, TheWebProcessPageSaysWhyItWentAndHowToComeBack) {
    const std::pair<WebProcessEnd, std::u16string> cases[] = {
        {WebProcessEnd::Crashed, u"it crashed"},
        {WebProcessEnd::OutOfMemory, u"it used more memory than it may"},
        {WebProcessEnd::Stopped, u"it was stopped"},
    };
    for (const auto& [why, cause] : cases) {
        const std::u16string page = WebProcessGonePage(u"https://site.example/", why);
        EXPECT_NE(page.find(u"<title>Page stopped</title>"), std::u16string::npos);
        EXPECT_NE(page.find(cause), std::u16string::npos) << U8(cause);
        EXPECT_NE(page.find(u"Press F5, or choose Refresh"), std::u16string::npos);
    }
}

}  // namespace
