// The form in which the desktop engine loads a res: address, and the way back: every
// address the program gives comes back from the engine exactly as it was.
#include <gtest/gtest.h>

#include <string>

#include "crt/crt.h"
#include "resource_scheme.h"

namespace {

TEST(EngineResourceAddressTest, EveryResAddressComesBackAsItWas) {
    const std::u16string cases[] = {
        u"res://Z:\\work\\build\\Pelmarin/142",
        u"res://Z:\\a folder\\with # and ? and %41\\Pelmarin/142",
        u"res://Z:\\d\u00e9j\u00e0 vu\\\u7a0b\u5e8f\U0001F600/23/142",
        u"res:///142",
        u"res:no-slashes",
        u"RES://Z:\\x/1",
    };
    for (const std::u16string& address : cases) {
        SCOPED_TRACE(text::ToUtf8(address));
        std::string engine = platform::desktop::EngineResourceAddress(address);
        // What the engine's address parser would cut or rewrite does not appear.
        EXPECT_EQ(engine.rfind("res:", 0), 0u);
        EXPECT_NE(engine.rfind("res://", 0), 0u) << "a Windows path is no host";
        EXPECT_EQ(engine.find_first_of("#? "), std::string::npos);
        for (unsigned char c : engine) EXPECT_LT(c, 0x80) << "ASCII only";
        std::u16string back = platform::desktop::ProgramAddress(engine.c_str());
        // The scheme comes back in lower case, as engines report schemes.
        std::u16string expected = u"res" + address.substr(3);
        EXPECT_EQ(text::ToUtf8(back), text::ToUtf8(expected));
    }
}

TEST(EngineResourceAddressTest, OtherAddressesPassUnchanged) {
    for (const char* address : {"https://a.example/%2F%2F?q=1#x", "about:blank", "resx:thing"}) {
        EXPECT_EQ(text::ToUtf8(platform::desktop::ProgramAddress(address)), address);
    }
}

}  // namespace
