#include "settings/bookmark_encoding.h"

#include <algorithm>

namespace {

constexpr std::size_t kSeparatorAndBlank = kBookmarkSeparator.size() + 1;

// Text of length end - start - 1 from start (the character before end is the blank that joins
// a field to its separator); empty when that length is not positive.
std::u16string_view FieldBefore(std::u16string_view text, std::size_t start, std::size_t end) {
    if (end <= start + 1) return {};
    return text.substr(start, end - start - 1);
}

}  // namespace

std::u16string BookmarkEntryText(std::u16string_view name, std::u16string_view url) {
    std::u16string entry;
    entry.reserve(name.size() + url.size() + 2 * kBookmarkSeparator.size() + 5);
    entry += u' ';
    entry += name;
    entry += u' ';
    entry += kBookmarkSeparator;
    entry += u' ';
    entry += url;
    entry += u' ';
    entry += kBookmarkSeparator;
    entry += u' ';
    return entry;
}

std::u16string BookmarkSearchKey(std::u16string_view name, std::u16string_view url) {
    const std::u16string entry = BookmarkEntryText(name, url);
    return entry.substr(1, entry.size() - 2);
}

ParsedBookmarkText ParseBookmarkText(std::u16string_view text) {
    ParsedBookmarkText result;
    std::size_t start = 0;
    std::size_t separator = text.find(kBookmarkSeparator);
    while (separator != std::u16string_view::npos) {
        const std::u16string_view name = FieldBefore(text, start, separator);
        const std::size_t urlStart = separator + kSeparatorAndBlank;
        const std::size_t urlEnd = text.find(kBookmarkSeparator, urlStart);  // npos past the end
        if (urlEnd == std::u16string_view::npos) {
            std::u16string_view url = urlStart < text.size() ? text.substr(urlStart) : std::u16string_view{};
            if (!url.empty() && url.back() == u' ') url.remove_suffix(1);
            result.bookmarks.push_back(Bookmark{std::u16string(name), std::u16string(url)});
            result.spans.push_back({start, text.size()});
            result.unterminatedEntryStart = start;
            break;
        }
        result.bookmarks.push_back(
            Bookmark{std::u16string(name), std::u16string(FieldBefore(text, urlStart, urlEnd))});
        result.spans.push_back({start, std::min(urlEnd + kSeparatorAndBlank, text.size())});
        start = urlEnd + kSeparatorAndBlank;
        separator = text.find(kBookmarkSeparator, start);
    }
    return result;
}

BookmarkList ParseBookmarkList(std::u16string_view text) { return ParseBookmarkText(text).bookmarks; }

namespace {

bool IsUnterminatedLastEntry(const ParsedBookmarkText& parsed, std::u16string_view name, std::u16string_view url) {
    return parsed.unterminatedEntryStart.has_value() && parsed.bookmarks.back().name == name &&
           parsed.bookmarks.back().url == url;
}

}  // namespace

std::optional<std::u16string> AddBookmarkToText(std::u16string_view text, std::u16string_view name,
                                                std::u16string_view url) {
    if (text.find(BookmarkSearchKey(name, url)) != std::u16string_view::npos) return std::nullopt;
    const ParsedBookmarkText parsed = ParseBookmarkText(text);
    if (IsUnterminatedLastEntry(parsed, name, url)) return std::nullopt;

    std::u16string result(text);
    if (parsed.unterminatedEntryStart) {
        if (result.empty() || result.back() != u' ') result += u' ';
        result += kBookmarkSeparator;
    }
    result += BookmarkEntryText(name, url);
    return result;
}

std::optional<std::u16string> RemoveBookmarkFromText(std::u16string_view text, std::u16string_view name,
                                                     std::u16string_view url) {
    const ParsedBookmarkText parsed = ParseBookmarkText(text);
    for (std::size_t i = 0; i < parsed.bookmarks.size(); ++i) {
        if (parsed.bookmarks[i].name != name || parsed.bookmarks[i].url != url) continue;
        std::u16string result(text);
        result.erase(parsed.spans[i].start, parsed.spans[i].end - parsed.spans[i].start);
        return result;
    }
    return std::nullopt;
}
