// The "Basic Authentication" dialog, and the answer it gives a browser asking for credentials.
#pragma once

#include <string>

#include "afx/wnd.h"

class CLoginDlg : public CDialog {
public:
    static constexpr UINT kTemplate = 7;
    static constexpr int kUserNameEdit = 1002;
    static constexpr int kPasswordEdit = 1003;

    CLoginDlg() : CDialog(kTemplate, nullptr) {}
    void DoDataExchange(CDataExchange* dx) override;

    std::u16string password;
    std::u16string userName;
};

// Shows the dialog; S_OK with both texts (task memory the caller frees) when the user gave a
// user name and a password and chose OK, else E_FAIL. The window out-parameter stays null so
// that the browser never shows a prompt of its own.
HRESULT AuthenticateWithLoginDialog(HWND* window, char16_t** userName, char16_t** password);
