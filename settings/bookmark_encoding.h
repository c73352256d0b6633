// The text form of the bookmark list as the settings file stores it. Each entry is
// " <name> \-\ <url> \-\ " and the entries follow one another with nothing between them;
// nothing is escaped, so a name or url may hold any text, but one holding the separator
// "\-\" itself comes back split at it.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct Bookmark {
    std::u16string name;
    std::u16string url;
    friend bool operator==(const Bookmark&, const Bookmark&) = default;
};

// In the order of the stored text, which is the order the bookmarks were added in.
using BookmarkList = std::vector<Bookmark>;

inline constexpr std::u16string_view kBookmarkSeparator = u"\\-\\";

// " <name> \-\ <url> \-\ ": the text one entry adds to the list.
std::u16string BookmarkEntryText(std::u16string_view name, std::u16string_view url);
// The entry text without its first and last blank: what is searched for to find an entry.
std::u16string BookmarkSearchKey(std::u16string_view name, std::u16string_view url);

struct ParsedBookmarkText {
    BookmarkList bookmarks;
    // Where each entry's text lies, [start, end), the blank that joins it to the next included.
    struct Span {
        std::size_t start = 0;
        std::size_t end = 0;
    };
    std::vector<Span> spans;
    // Where the last entry starts when the text ends inside it (no separator after its url).
    std::optional<std::size_t> unterminatedEntryStart;
};

// Splits the text at the separators. An unterminated last entry - one cut off after its name's
// separator, as a length limit or a hand edit leaves it - is kept: its url is the rest of the
// text, without the one blank that would join it to its separator. Text after the last
// complete entry that holds no separator at all is not an entry and is ignored.
ParsedBookmarkText ParseBookmarkText(std::u16string_view text);
BookmarkList ParseBookmarkList(std::u16string_view text);

// The stored text with the entry appended, or nothing when its search key already occurs in the
// text (a plain, case-sensitive substring search, so the tail of a longer entry counts too) or
// when it is the unterminated last entry. An unterminated last entry is closed with its
// separator first, so that it stays the entry it was read as and the new one starts cleanly.
std::optional<std::u16string> AddBookmarkToText(std::u16string_view text, std::u16string_view name,
                                                std::u16string_view url);

// The stored text without the first entry that reads as name and url, or nothing when none does.
// An entry goes with the one character after it (the blank that joins it to the next entry).
// The entry is found as the list reads, not by searching for its key: the key can also occur
// across two other entries (the tail of one entry's url, then the next entry's name as url),
// and deleting there would merge what is left of them. The unterminated last entry goes with
// the rest of the text from its start.
std::optional<std::u16string> RemoveBookmarkFromText(std::u16string_view text, std::u16string_view name,
                                                     std::u16string_view url);
