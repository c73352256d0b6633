// The dialog in which the user confirms or edits a bookmark's name and url.
#pragma once

#include <string>

#include "afx/wnd.h"

class CBookmarkDlg : public CDialog {
    DECLARE_MESSAGE_MAP()
public:
    static constexpr UINT kTemplate = 105;
    static constexpr int kNameEdit = 1006;
    static constexpr int kUrlEdit = 1005;

    CBookmarkDlg(std::u16string caption, std::u16string name, std::u16string url, CWnd* parent = nullptr);
    ~CBookmarkDlg() override;

    void DoDataExchange(CDataExchange* dx) override;
    BOOL OnInitDialog() override;
    // Refuses an empty name, then an empty url, then texts holding the list's separator;
    // the dialog stays open with the typed texts.
    void OnOK() override;

    std::u16string caption;
    std::u16string name;
    std::u16string url;
};
