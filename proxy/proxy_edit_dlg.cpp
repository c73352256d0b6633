#include "proxy/proxy_edit_dlg.h"

#include "settings/app_config.h"

namespace {
constexpr UINT kSystemSettings = 0;
constexpr UINT kCustomHttp = 1;
constexpr UINT kCustomSocks = 2;
}  // namespace

const AFX_MSGMAP* ProxyEditDlg::GetThisMessageMap() {
    // A radio button's only notification is BN_CLICKED.
    static const AFX_MSGMAP_ENTRY entries[] = {
        afx::OnCommand<kSystemRadio, &ProxyEditDlg::OnSystemSettingsClicked>(),
        afx::OnCommand<kCustomRadio, &ProxyEditDlg::OnCustomClicked>(),
    };
    static const AFX_MSGMAP map{&CDialog::GetThisMessageMap, entries, std::size(entries)};
    return &map;
}
const AFX_MSGMAP* ProxyEditDlg::GetMessageMap() const { return GetThisMessageMap(); }

ProxyEditDlg::ProxyEditDlg(CWnd*) : CDialog(kTemplate, nullptr) {
    CCorvaleAppConfig& config = CCorvaleAppConfig::Instance();
    mode = config.app ? config.app->GetProfileIntW(kFeaturesSection, kProxyModeKey, 0) : kSystemSettings;
    proxyText = config.GetProxy();
}

ProxyEditDlg::~ProxyEditDlg() = default;

void ProxyEditDlg::DoDataExchange(CDataExchange* dx) {
    DDX_Control(dx, kServerEdit, proxyEdit);
    DDX_Control(dx, kSystemRadio, systemRadio);
    DDX_Control(dx, kCustomRadio, customRadio);
    DDX_Control(dx, kHttpRadio, httpRadio);
    DDX_Control(dx, kSocksRadio, socksRadio);
}

BOOL ProxyEditDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    proxyEdit.SetWindowText(proxyText.c_str());
    if (mode == kSystemSettings) {
        systemRadio.SetCheck(BST_CHECKED);
        customRadio.SetCheck(BST_UNCHECKED);
        proxyEdit.EnableWindow(FALSE);
        httpRadio.EnableWindow(FALSE);
        socksRadio.EnableWindow(FALSE);
    } else {
        SelectCustomProxy();
    }
    return TRUE;
}

void ProxyEditDlg::SelectCustomProxy() {
    systemRadio.SetCheck(BST_UNCHECKED);
    customRadio.SetCheck(BST_CHECKED);
    proxyEdit.EnableWindow(TRUE);
    httpRadio.EnableWindow(TRUE);
    socksRadio.EnableWindow(TRUE);
    if (mode == kCustomSocks) {
        socksRadio.SetCheck(BST_CHECKED);
        httpRadio.SetCheck(BST_UNCHECKED);
    } else {
        socksRadio.SetCheck(BST_UNCHECKED);
        httpRadio.SetCheck(BST_CHECKED);
    }
}

void ProxyEditDlg::OnSystemSettingsClicked() {
    systemRadio.SetCheck(BST_CHECKED);
    customRadio.SetCheck(BST_UNCHECKED);
    proxyEdit.EnableWindow(FALSE);
    httpRadio.EnableWindow(FALSE);
    socksRadio.EnableWindow(FALSE);
}

void ProxyEditDlg::OnCustomClicked() {
    if (proxyEdit.IsWindowEnabled()) return;  // already the custom state
    SelectCustomProxy();
}

void ProxyEditDlg::OnOK() {
    GetDlgItemText(kServerEdit, proxyText);
    UINT save = kSystemSettings;
    if (systemRadio.GetCheck() != BST_CHECKED) {
        if (proxyText.empty()) {
            AfxMessageBox(u"Please enter custom proxy ip or choose 'use system settings'", MB_OK);
            return;
        }
        save = socksRadio.GetCheck() == BST_CHECKED ? kCustomSocks : kCustomHttp;
    }
    CCorvaleAppConfig& config = CCorvaleAppConfig::Instance();
    if (config.app) {
        config.app->WriteProfileInt(kFeaturesSection, kProxyModeKey, static_cast<int>(save));
        config.app->WriteProfileStringW(kFeaturesSection, kProxyKey, proxyText.c_str());
    }
    CDialog::OnOK();
}
