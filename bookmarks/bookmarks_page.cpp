#include "bookmarks/bookmarks_page.h"

#include "bookmarks/html_escaping.h"

namespace bookmarks {

std::u16string BookmarksTableMarkup(const BookmarkList& list) {
    std::u16string markup = u"<table style=\"width:100%\">";
    for (const Bookmark& bookmark : list) {
        const std::u16string url = EscapeHtml(bookmark.url);
        const std::u16string name = EscapeHtml(bookmark.name);
        markup += u"<tr><td>\t\t\t<a href=\"" + url + u"\">" + name + u"</a>&nbsp;\t\t\t<button id=\"" + kEditButtonId +
                  u"\"   type=\"button\" url=\"" + url + u"\" name=\"" + name + u"\">Edit</button>&nbsp;\t\t\t<button id=\"" +
                  kDeleteButtonId + u"\" type=\"button\" url=\"" + url + u"\" name=\"" + name +
                  u"\">Delete</button>\t\t\t</td></tr>";
    }
    markup += u"</table>";
    return markup;
}

}  // namespace bookmarks
