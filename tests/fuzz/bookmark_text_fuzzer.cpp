// The stored bookmark list: whatever list any text decodes to, encoding it and reading it back
// through the settings file (which strips the blanks at the value's ends) gives the same list
// and the same text again; adding an entry appends exactly that entry, and removing a listed
// entry removes that entry and changes no other.
//
// Input (libFuzzer's data provider): a name and a url to add, then the stored text as the
// settings file holds it (UTF-8); the last bytes choose the entry to remove.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "crt/crt.h"
#include "fuzz_check.h"
#include "settings/bookmark_encoding.h"

namespace {

// The settings file's reader gives a value back without the blanks at its ends.
std::u16string_view AsRead(std::u16string_view stored) {
    const std::size_t first = stored.find_first_not_of(u" \t");
    if (first == std::u16string_view::npos) return {};
    const std::size_t last = stored.find_last_not_of(u" \t");
    return stored.substr(first, last + 1 - first);
}

// The stored text of a list as the program builds it: each entry's text appended to the value
// as it was read back.
std::u16string Encode(const BookmarkList& list) {
    std::u16string text;
    for (const Bookmark& bookmark : list) {
        text = std::u16string(AsRead(text)) + BookmarkEntryText(bookmark.name, bookmark.url);
    }
    return text;
}

bool HoldsSeparator(std::u16string_view text) { return text.find(kBookmarkSeparator) != std::u16string_view::npos; }

bool StartsWithBlank(std::u16string_view text) { return !text.empty() && (text[0] == u' ' || text[0] == u'\t'); }

// The list as it reads back from the settings file: the first name without its leading blanks.
BookmarkList AsReadBack(BookmarkList list) {
    if (!list.empty()) {
        std::u16string& first = list.front().name;
        first.erase(0, std::min(first.size(), first.find_first_not_of(u" \t")));
    }
    return list;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider provider(data, size);
    const std::size_t removeIndex = provider.ConsumeIntegral<std::uint16_t>();
    const std::u16string name = text::FromUtf8(provider.ConsumeRandomLengthString(128));
    const std::u16string url = text::FromUtf8(provider.ConsumeRandomLengthString(256));
    const std::u16string stored = text::FromUtf8(provider.ConsumeRemainingBytesAsString());

    const std::u16string_view read = AsRead(stored);
    const BookmarkList list = ParseBookmarkList(read);
    for (const Bookmark& bookmark : list) {
        FUZZ_CHECK(!HoldsSeparator(bookmark.name) && !HoldsSeparator(bookmark.url));
    }
    if (!list.empty()) FUZZ_CHECK(!StartsWithBlank(list.front().name));

    // decode -> encode -> decode
    const std::u16string encoded = Encode(list);
    FUZZ_CHECK(ParseBookmarkList(AsRead(encoded)) == list);
    FUZZ_CHECK(Encode(ParseBookmarkList(AsRead(encoded))) == encoded);

    // Adding: refused only for an entry the text already holds; otherwise the list gains that
    // entry at its end. A first name's leading blanks are the settings file's to strip, and a
    // field holding the separator cannot come back whole: both are the format's own limits.
    // So is text after the last entry's separator (as only a hand edit leaves it): the entry
    // appended after it takes it into its name.
    const ParsedBookmarkText parsed = ParseBookmarkText(read);
    const bool endsWithEntry = read.empty() || parsed.unterminatedEntryStart.has_value() ||
                               (!parsed.spans.empty() && parsed.spans.back().end == read.size() &&
                                read.ends_with(kBookmarkSeparator));
    const std::optional<std::u16string> added = AddBookmarkToText(read, name, url);
    if (!added) {
        const bool listed = !list.empty() && list.back() == Bookmark{name, url};
        FUZZ_CHECK(read.find(BookmarkSearchKey(name, url)) != std::u16string_view::npos || listed);
    } else if (endsWithEntry && !HoldsSeparator(name) && !HoldsSeparator(url)) {
        BookmarkList expected = list;
        expected.push_back(Bookmark{name, url});
        FUZZ_CHECK(ParseBookmarkList(AsRead(*added)) == AsReadBack(expected));
    }

    // Removing a listed entry, as the bookmarks page asks for it by the fields it shows.
    if (!list.empty()) {
        const std::size_t index = removeIndex % list.size();
        const std::optional<std::u16string> removed = RemoveBookmarkFromText(read, list[index].name, list[index].url);
        FUZZ_CHECK(removed.has_value());
        // The first entry equal to it goes, which may be an earlier one.
        BookmarkList expected = list;
        expected.erase(std::find(expected.begin(), expected.end(), list[index]));
        FUZZ_CHECK(ParseBookmarkList(AsRead(*removed)) == AsReadBack(expected));
    }
    return 0;
}
