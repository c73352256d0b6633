// The INI reader and writer: any bytes read and written back unchanged, and an edit of one
// key that changes that key alone - every other line kept, every other key reading as before,
// and the written file reading back as the edited document, in the encoding the writer chose.
// Lines are compared as text, so a Windows-1252 file that had to become UTF-16 still shows
// every line it had; in a file that keeps its encoding, the same text is the same bytes.
//
// Input (libFuzzer's data provider): section, key, value, a second section and key to watch,
// then the file's bytes; the last byte chooses the edit.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "crt/crt.h"
#include "fuzz_check.h"
#include "ini_document.h"
#include "ini_text_encoding.h"

namespace {

struct Line {
    std::string content;
    std::string end;
    friend bool operator==(const Line&, const Line&) = default;
};

// A file's lines as text (the document's working form, the same for every encoding), each with
// its line end; tail is what a UTF-16 file of odd length has after its last whole unit.
std::vector<Line> LinesOf(std::string_view fileBytes, ini::TextEncoding encoding, std::string& tail) {
    const std::string text = ini::DecodeFileText(fileBytes, encoding, tail);
    std::string_view bytes = text;
    std::vector<Line> lines;
    while (!bytes.empty()) {
        const std::size_t lineFeed = bytes.find('\n');
        if (lineFeed == std::string_view::npos) {
            lines.push_back(Line{std::string(bytes), ""});
            break;
        }
        std::size_t contentEnd = lineFeed;
        if (contentEnd > 0 && bytes[contentEnd - 1] == '\r') --contentEnd;
        lines.push_back(Line{std::string(bytes.substr(0, contentEnd)),
                             std::string(bytes.substr(contentEnd, lineFeed + 1 - contentEnd))});
        bytes.remove_prefix(lineFeed + 1);
    }
    return lines;
}

// Lines before and after an edit, without the lines both begin and end with.
struct Difference {
    std::vector<Line> removed;
    std::vector<Line> added;
    bool atEnd = false;  // nothing follows the changed lines
};

Difference Compare(const std::vector<Line>& before, const std::vector<Line>& after) {
    std::size_t prefix = 0;
    while (prefix < before.size() && prefix < after.size() && before[prefix] == after[prefix]) ++prefix;
    std::size_t suffix = 0;
    while (suffix < before.size() - prefix && suffix < after.size() - prefix &&
           before[before.size() - 1 - suffix] == after[after.size() - 1 - suffix]) {
        ++suffix;
    }
    Difference difference;
    difference.removed.assign(before.begin() + static_cast<std::ptrdiff_t>(prefix),
                              before.end() - static_cast<std::ptrdiff_t>(suffix));
    difference.added.assign(after.begin() + static_cast<std::ptrdiff_t>(prefix),
                            after.end() - static_cast<std::ptrdiff_t>(suffix));
    difference.atEnd = suffix == 0;
    return difference;
}

bool IsSubsequence(const std::vector<Line>& part, const std::vector<Line>& whole) {
    std::size_t next = 0;
    for (const Line& line : whole) {
        if (next < part.size() && part[next] == line) ++next;
    }
    return next == part.size();
}

// Names are stored as UTF-8 and compared with A-Z folded.
std::string NameKey(std::u16string_view name) {
    std::string bytes = text::ToUtf8(name);
    for (char& c : bytes) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    return bytes;
}

// What Find must give back for a stored value: the text the file can hold (UTF-8 has no room
// for a surrogate without its partner), up to a NUL, without the blanks at its ends.
std::u16string ReadBack(std::u16string_view value, ini::TextEncoding encoding) {
    const bool utf8 = encoding == ini::TextEncoding::Utf8 || encoding == ini::TextEncoding::Utf8WithMark;
    std::u16string stored = utf8 ? text::FromUtf8(text::ToUtf8(value)) : std::u16string(value);
    stored = stored.substr(0, stored.find(u'\0'));
    const std::size_t first = stored.find_first_not_of(u" \t");
    if (first == std::u16string::npos) return {};
    const std::size_t last = stored.find_last_not_of(u" \t");
    return stored.substr(first, last + 1 - first);
}

std::u16string Wide(FuzzedDataProvider& provider, std::size_t maxLength) {
    return text::FromUtf8(provider.ConsumeRandomLengthString(maxLength));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider provider(data, size);
    const std::uint8_t edit = provider.ConsumeIntegral<std::uint8_t>();
    const std::u16string section = Wide(provider, 64);
    const std::u16string key = Wide(provider, 64);
    const std::u16string value = Wide(provider, 256);
    const std::u16string watchedSection = Wide(provider, 64);
    const std::u16string watchedKey = Wide(provider, 64);
    const std::string file = provider.ConsumeRemainingBytesAsString();

    ini::IniDocument document = ini::IniDocument::Parse(file);
    const std::string written = document.Serialize();
    FUZZ_CHECK(written == file);
    const ini::TextEncoding encodingBefore = document.Encoding();
    FUZZ_CHECK(encodingBefore == ini::DetectTextEncoding(file));

    const bool sameSection = NameKey(section) == NameKey(watchedSection);
    const bool sameKey = sameSection && NameKey(key) == NameKey(watchedKey);
    const std::optional<std::u16string> watchedBefore = document.Find(watchedSection, watchedKey);
    std::string tailBefore;
    const std::vector<Line> linesBefore = LinesOf(file, encodingBefore, tailBefore);

    bool changed = true;
    bool watchedMayChange = sameKey;
    switch (edit % 3) {
        case 0: changed = document.Set(section, key, value); break;
        case 1: {
            const bool found = document.Find(section, key).has_value();
            FUZZ_CHECK(document.RemoveKey(section, key) == found);
            break;
        }
        default:
            document.RemoveSection(section);
            watchedMayChange = sameSection;
            break;
    }

    // What a reader makes of the written file: the text the document holds, in the encoding the
    // writer chose (a file of plain ASCII reads as UTF-8 whatever it was written as: the same
    // bytes).
    const std::string after = document.Serialize();
    FUZZ_CHECK(document.Encoding() == encodingBefore || encodingBefore == ini::TextEncoding::Windows1252);
    const ini::TextEncoding encodingAfter = ini::DetectTextEncoding(after);
    const bool ascii = std::all_of(after.begin(), after.end(), [](char c) { return (c & 0x80) == 0; });
    FUZZ_CHECK(encodingAfter == document.Encoding() || ascii);
    std::string tailAfter;
    const std::vector<Line> linesAfter = LinesOf(after, encodingAfter, tailAfter);
    FUZZ_CHECK(tailAfter == (document.Encoding() == encodingBefore ? tailBefore : std::string()));
    const ini::IniDocument reread = ini::IniDocument::Parse(after);
    FUZZ_CHECK(reread.Serialize() == after);

    switch (edit % 3) {
        case 0: {
            const bool storable = ini::IniDocument::CanStore(section, key, value);
            FUZZ_CHECK(changed == storable);
            if (!storable) {
                FUZZ_CHECK(after == written);
                break;
            }
            if (encodingBefore == ini::TextEncoding::Windows1252 &&
                !(ini::FitsWindows1252(section) && ini::FitsWindows1252(key) && ini::FitsWindows1252(value))) {
                FUZZ_CHECK(document.Encoding() == ini::TextEncoding::Utf16LeWithMark);
            }
            FUZZ_CHECK(reread.Find(section, key) == ReadBack(value, encodingAfter));
            // One key line changed in place, or a key line (with its section header when the
            // section is new) added; the line before an addition at the end of a file without a
            // final line end gains one.
            const Difference difference = Compare(linesBefore, linesAfter);
            FUZZ_CHECK(difference.removed.size() <= 1);
            if (difference.removed.size() == 1) {
                const Line& old = difference.removed.front();
                if (difference.added.size() == 1) {
                    const std::size_t equals = old.content.find('=');
                    FUZZ_CHECK(equals != std::string::npos);
                    FUZZ_CHECK(difference.added.front().content ==
                               old.content.substr(0, equals + 1) + ini::Utf16ToText(value, encodingAfter));
                    FUZZ_CHECK(difference.added.front().end == old.end);
                } else {
                    FUZZ_CHECK(difference.atEnd && old.end.empty());
                    FUZZ_CHECK(difference.added.size() == 2 || difference.added.size() == 3);
                    // The last line gets a line end and nothing else, a lone CR it ends in included.
                    const Line& ended = difference.added.front();
                    FUZZ_CHECK(ended.content == old.content);
                    FUZZ_CHECK(!ended.end.empty());
                }
            } else {
                FUZZ_CHECK(difference.added.size() <= 2);
            }
            break;
        }
        case 1:
            FUZZ_CHECK(!reread.Find(section, key).has_value());
            FUZZ_CHECK(IsSubsequence(linesAfter, linesBefore));
            break;
        default:
            FUZZ_CHECK(!reread.Find(section, key).has_value());
            FUZZ_CHECK(!reread.Find(section, watchedKey).has_value());
            FUZZ_CHECK(IsSubsequence(linesAfter, linesBefore));
            break;
    }
    if (!watchedMayChange) FUZZ_CHECK(reread.Find(watchedSection, watchedKey) == watchedBefore);
    return 0;
}
