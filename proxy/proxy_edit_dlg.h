// The "Proxy settings" dialog: the system's proxy settings, or a custom HTTP or SOCKS
// server. OK saves the choice; the command that showed the dialog then applies it.
#pragma once

#include <string>

#include "afx/buttons.h"

class ProxyEditDlg : public CDialog {
    DECLARE_MESSAGE_MAP()
public:
    static constexpr UINT kTemplate = 144;
    static constexpr int kServerEdit = 1009;
    static constexpr int kSystemRadio = 1010;
    static constexpr int kCustomRadio = 1011;
    static constexpr int kHttpRadio = 1012;
    static constexpr int kSocksRadio = 1014;

    // The parent is not used: the dialog is owned like every dialog without a parent.
    explicit ProxyEditDlg(CWnd* parent = nullptr);
    ~ProxyEditDlg() override;

    void DoDataExchange(CDataExchange* dx) override;
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnSystemSettingsClicked();
    void OnCustomClicked();

    std::u16string proxyText;  // "Proxy" as read, later the box's text
    UINT mode;                 // "ProxyMode" as read when the dialog was made
    CEdit proxyEdit;
    CButton systemRadio;
    CButton customRadio;
    CButton httpRadio;
    CButton socksRadio;

private:
    // The custom state, with the protocol of the stored mode.
    void SelectCustomProxy();
};
