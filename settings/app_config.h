// The program's own settings: the bookmark list and the proxy choice, all in the section
// "Features" of the application's profile. Nothing is cached: every call reads the profile
// anew and every change writes the whole value at once.
#pragma once

#include <string>

#include "afx/app.h"
#include "settings/bookmark_encoding.h"

class CCorvaleAppConfig : public CObject {
public:
    // The one object of the process, made on the first call (safe from several threads) with
    // the running application object.
    static CCorvaleAppConfig& Instance();

    // For a profile other than the running application's, as tests need.
    explicit CCorvaleAppConfig(CWinApp* application);
    ~CCorvaleAppConfig() override;
    CCorvaleAppConfig(const CCorvaleAppConfig&) = delete;
    CCorvaleAppConfig& operator=(const CCorvaleAppConfig&) = delete;

    std::u16string GetBookmarksText() const;
    std::u16string GetProxy() const;
    BookmarkList GetBookmarks() const;

    // False when the entry is already in the list (nothing is written) or the write failed.
    bool AddBookmark(const std::u16string& name, const std::u16string& url);
    // False when the entry is not in the list (nothing is written) or the write failed.
    bool RemoveBookmark(const std::u16string& name, const std::u16string& url);

    // The application whose profile holds the settings; the proxy dialog and the proxy
    // reach "ProxyMode" and "Proxy" through it.
    CWinApp* app;
};

// The settings keys, all in section "Features".
inline constexpr char16_t kFeaturesSection[] = u"Features";
inline constexpr char16_t kBookmarksKey[] = u"Bookmarks";
inline constexpr char16_t kProxyKey[] = u"Proxy";
inline constexpr char16_t kProxyModeKey[] = u"ProxyMode";
