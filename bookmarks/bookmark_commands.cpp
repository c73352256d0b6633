// The main window's bookmark commands, the filling of the bookmarks page, and its Edit and
// Delete buttons.
#include "bookmarks/bookmark_dlg.h"
#include "bookmarks/bookmarks_page.h"
#include "mainwindow/corvale_dlg.h"
#include "settings/app_config.h"

using namespace mainwindow;

namespace {

constexpr LONG kAttributeAsText = 2;

// An attribute of the element as text; empty when it has none.
std::u16string AttributeText(IHTMLElement* element, const char16_t* name, LONG flags) {
    CComBSTR attribute(name);
    VARIANT value;
    VariantInit(&value);
    std::u16string text;
    if (SUCCEEDED(element->getAttribute(attribute, flags, &value)) && value.vt == VT_BSTR && value.bstrVal)
        text.assign(value.bstrVal, SysStringLen(value.bstrVal));
    VariantClear(&value);
    return text;
}

std::u16string BstrText(const CComBSTR& text) {
    return text.get() ? std::u16string(text.get(), text.Length()) : std::u16string();
}

}  // namespace

void CCorvaleDlg::OnShowBookmarks() {
    LoadFromResource(kBookmarksPage);
    m_nHtmlResID = kBookmarksPage;
}

void CCorvaleDlg::OnAddToBookmarks() {
    std::u16string url;
    GetCurrentUrl(url);
    CComPtr<IHTMLDocument2> document;
    if (FAILED(GetDHtmlDocument(&document)) || !document) return;
    CComBSTR titleText;
    document->get_title(&titleText);
    const std::u16string title = BstrText(titleText);

    CBookmarkDlg dialog(u"Add bookmark?", title, url, nullptr);
    if (dialog.DoModal() != IDOK) return;
    if (!CCorvaleAppConfig::Instance().AddBookmark(dialog.name, dialog.url))
        AfxMessageBox(u"Bookmark already exist", MB_OK);
    // Shown on the bookmarks page (or on a page of that title): the list shows the change.
    if (title == u"Bookmarks") OnShowBookmarks();
}

void CCorvaleDlg::FillBookmarksPage(IHTMLElement* body) {
    if (!body) return;  // a document without a body has nowhere to put the table
    std::u16string markup = bookmarks::BookmarksTableMarkup(CCorvaleAppConfig::Instance().GetBookmarks());
    CComBSTR where(u"afterBegin");
    CComBSTR html(markup.c_str());
    body->insertAdjacentHTML(where, html);
}

HRESULT CCorvaleDlg::OnBookmarkEdit(IHTMLElement* element) {
    if (!element) return S_OK;
    const std::u16string oldName = AttributeText(element, u"name", kAttributeAsText);
    const std::u16string oldUrl = AttributeText(element, u"url", kAttributeAsText);
    // An entry already stored is refused and the dialog opens again with the old texts,
    // until the user gives a new entry, leaves the texts unchanged or cancels.
    for (;;) {
        CBookmarkDlg dialog(u"Edit bookmark", oldName, oldUrl, nullptr);
        if (dialog.DoModal() != IDOK) return S_OK;
        if (dialog.name == oldName && dialog.url == oldUrl) return S_OK;
        CCorvaleAppConfig& config = CCorvaleAppConfig::Instance();
        if (config.AddBookmark(dialog.name, dialog.url)) {
            config.RemoveBookmark(oldName, oldUrl);
            OnShowBookmarks();
            return S_OK;
        }
        AfxMessageBox(u"Bookmark already exist", MB_OK);
    }
}

HRESULT CCorvaleDlg::OnBookmarkDelete(IHTMLElement* element) {
    if (!element) return S_OK;
    const std::u16string name = AttributeText(element, u"name", 0);
    const std::u16string url = AttributeText(element, u"url", 0);
    if (AfxMessageBox(u"Delete bookmark?", MB_OKCANCEL) != IDOK) return S_OK;
    CCorvaleAppConfig::Instance().RemoveBookmark(name, url);
    OnShowBookmarks();
    return S_OK;
}
