// Menu 140, the main window's menu bar. The shortcut texts after the tab are shown only.
#include "win32/templates.h"

namespace {
const bool registered = [] {
    auto command = [](std::u16string text, UINT id) { return MenuTemplateItem{std::move(text), id, false, {}}; };
    MenuTemplateItem separator{u"", 0, true, {}};
    std::vector<MenuTemplateItem> bar{
        {u"File", 0, false,
         {command(u"Internet options", 32774), command(u"Add to bookmarks", 32771), command(u"Bookmarks...", 32772),
          command(u"Proxy settings...", 32775), command(u"Clear cache", 32792), separator, command(u"Logging", 32776),
          command(u"Open logs folder", 32777), separator, command(u"Exit", 32773)}},
        {u"View", 0, false,
         {command(u"Actual Size\tCtrl+0", 32791), command(u"Zoom In\tCtrl+=", 32789),
          command(u"Zoom Out\tCtrl+-", 32790)}},
        command(u"Refresh", 32778),
        {u"Compatibility", 0, false,
         {command(u"IE11 (11001)", 32779), command(u"IE11 (11000)", 32780), command(u"IE10 (10001)", 32781),
          command(u"IE10 (10000)", 32782), command(u"IE9   (9999)", 32783), command(u"IE9   (9000)", 32784),
          command(u"IE8   (8888)", 32785), command(u"IE8   (8000)", 32786), command(u"IE7   (7777)", 32787),
          command(u"IE7   (7000)", 32788)}},
        {u"Help", 0, false, {command(u"About", 32793)}},
    };
    RegisterMenuTemplate(140, std::move(bar));
    return true;
}();
}  // namespace
