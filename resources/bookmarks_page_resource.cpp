// HTML resource 142: the bookmarks page, UTF-8 with its byte-order mark. Its body is empty;
// the main window fills it with the bookmarks when the page has loaded.
#include <string_view>

#include "win32/constants.h"
#include "win32/resource_registry.h"

namespace {
constexpr std::string_view kBookmarksPage =
    "\xEF\xBB\xBF"
    "<!DOCTYPE html>\r\n"
    "<html>\r\n"
    "<head>\r\n"
    "<meta charset=\"utf-8\">\r\n"
    "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1.0, minimum-scale=1.0\">\r\n"
    "<title>Bookmarks</title>\r\n"
    "</head>\r\n"
    "<body></body>\r\n"
    "</html>\r\n";

const bool registered = [] {
    RegisterResource(RT_HTML, 142, 0x0409, std::vector<BYTE>(kBookmarksPage.begin(), kBookmarksPage.end()));
    return true;
}();
}  // namespace
