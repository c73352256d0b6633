// The program's own resources at their res: addresses, as the layer serves them to engines.
#include <gtest/gtest.h>

#include <string>

#include "bookmarks/main_window_run.h"
#include "resource_address.h"

namespace {

using pelmarin_test::U8;

std::u16string ModulePath() {
    char16_t module[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, module, MAX_PATH);
    return module;
}

std::u16string FileName(const std::u16string& path) { return path.substr(path.find_last_of(u'\\') + 1); }

// "%XX" for every character of the UTF-8 text.
std::u16string PercentEncodedEntirely(const std::u16string& text) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::u16string out;
    for (unsigned char c : U8(text)) {
        out += u'%';
        out += static_cast<char16_t>(kHex[c >> 4]);
        out += static_cast<char16_t>(kHex[c & 0xF]);
    }
    return out;
}

TEST(ResourceAddressTest, TheBookmarksPageIsFoundAtTheAddressesThatNameIt) {
    const std::u16string module = ModulePath();
    struct Case {
        const char* what;
        std::u16string address;
        bool found;
    };
    const Case cases[] = {
        {"module path and id", u"res://" + module + u"/142", true},
        {"the scheme in capitals", u"RES://" + module + u"/142", true},
        {"the module's file name", u"res://" + FileName(module) + u"/142", true},
        {"the type by number", u"res://" + module + u"/23/142", true},
        {"type and id with #", u"res://" + module + u"/#23/#142", true},
        {"a percent-encoded module path", u"res://" + PercentEncodedEntirely(module) + u"/142", true},
        {"a fragment after the id", u"res://" + module + u"/142#top", true},
        {"another type", u"res://" + module + u"/5/142", false},
        {"an id that is not there", u"res://" + module + u"/143", false},
        {"no id", u"res://" + module + u"/", false},
        {"another module", u"res://Z:\\other\\program.exe/142", false},
        {"no module", u"res:///142", false},
        {"another scheme", u"file://" + module + u"/142", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        auto resource = platform::LoadResourceAtAddress(c.address);
        ASSERT_EQ(resource.has_value(), c.found);
        if (!c.found) continue;
        EXPECT_EQ(resource->mimeType, "text/html");
        std::string bytes(resource->data.begin(), resource->data.end());
        EXPECT_EQ(bytes.rfind("\xEF\xBB\xBF<!DOCTYPE html>", 0), 0u) << "UTF-8 with its byte-order mark";
        EXPECT_NE(bytes.find("<title>Bookmarks</title>"), std::string::npos);
        EXPECT_NE(bytes.find("<meta charset=\"utf-8\">"), std::string::npos);
        EXPECT_NE(bytes.find("content=\"width=device-width, initial-scale=1.0, minimum-scale=1.0\""), std::string::npos);
        EXPECT_NE(bytes.find("<body></body>"), std::string::npos) << "the body is empty";
    }
}

}  // namespace
