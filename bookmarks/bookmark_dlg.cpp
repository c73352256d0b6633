#include "bookmarks/bookmark_dlg.h"

#include "settings/bookmark_encoding.h"

const AFX_MSGMAP* CBookmarkDlg::GetThisMessageMap() {
    static const AFX_MSGMAP map{&CDialog::GetThisMessageMap, nullptr, 0};
    return &map;
}
const AFX_MSGMAP* CBookmarkDlg::GetMessageMap() const { return GetThisMessageMap(); }

CBookmarkDlg::CBookmarkDlg(std::u16string caption_, std::u16string name_, std::u16string url_, CWnd* parent)
    : CDialog(kTemplate, parent), caption(std::move(caption_)), name(std::move(name_)), url(std::move(url_)) {}

CBookmarkDlg::~CBookmarkDlg() = default;

void CBookmarkDlg::DoDataExchange(CDataExchange* dx) {
    DDX_Text(dx, kNameEdit, name);
    DDX_Text(dx, kUrlEdit, url);
}

BOOL CBookmarkDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    SetWindowText(caption.c_str());
    return TRUE;
}

void CBookmarkDlg::OnOK() {
    UpdateData(TRUE);
    if (name.empty()) {
        AfxMessageBox(u"Please enter bookmark name", MB_OK);
        return;
    }
    if (url.empty()) {
        AfxMessageBox(u"Please enter bookmark url", MB_OK);
        return;
    }
    // The list is stored as plain text split at the separator: a name or url holding it
    // would come back split, shifting the fields of every entry after it.
    if (name.find(kBookmarkSeparator) != std::u16string::npos || url.find(kBookmarkSeparator) != std::u16string::npos) {
        AfxMessageBox(u"Bookmark name and url must not contain \\-\\", MB_OK);
        return;
    }
    CDialog::OnOK();
}
