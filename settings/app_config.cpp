#include "settings/app_config.h"

CCorvaleAppConfig& CCorvaleAppConfig::Instance() {
    // A function-local static is made exactly once even when threads race for it, and is
    // destroyed at process exit.
    static CCorvaleAppConfig instance(AfxGetApp());
    return instance;
}

CCorvaleAppConfig::CCorvaleAppConfig(CWinApp* application) : app(application) {}

CCorvaleAppConfig::~CCorvaleAppConfig() = default;

std::u16string CCorvaleAppConfig::GetBookmarksText() const {
    if (app == nullptr) return {};
    return app->GetProfileStringW(kFeaturesSection, kBookmarksKey, u"");
}

std::u16string CCorvaleAppConfig::GetProxy() const {
    if (app == nullptr) return {};
    return app->GetProfileStringW(kFeaturesSection, kProxyKey, u"");
}

BookmarkList CCorvaleAppConfig::GetBookmarks() const { return ParseBookmarkList(GetBookmarksText()); }

bool CCorvaleAppConfig::AddBookmark(const std::u16string& name, const std::u16string& url) {
    if (app == nullptr) return false;
    const std::optional<std::u16string> updated = AddBookmarkToText(GetBookmarksText(), name, url);
    if (!updated) return false;
    return app->WriteProfileStringW(kFeaturesSection, kBookmarksKey, updated->c_str()) != FALSE;
}

bool CCorvaleAppConfig::RemoveBookmark(const std::u16string& name, const std::u16string& url) {
    if (app == nullptr) return false;
    const std::optional<std::u16string> updated = RemoveBookmarkFromText(GetBookmarksText(), name, url);
    if (!updated) return false;
    return app->WriteProfileStringW(kFeaturesSection, kBookmarksKey, updated->c_str()) != FALSE;
}
