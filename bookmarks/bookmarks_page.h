// The content of the bookmarks page: a table with one row per bookmark, its link and its
// Edit and Delete buttons. Each button carries the bookmark's name and url in attributes
// of those names, for the main window's handlers to find the entry again.
#pragma once

#include <string>

#include "settings/bookmark_encoding.h"

namespace bookmarks {

constexpr char16_t kEditButtonId[] = u"CCVD_Edit";
constexpr char16_t kDeleteButtonId[] = u"CCVD_Delete";

// Names and urls are escaped, so that a page title can neither add markup to the page nor
// change what the buttons carry: the buttons' attributes read back exactly as stored.
std::u16string BookmarksTableMarkup(const BookmarkList& list);

}  // namespace bookmarks
