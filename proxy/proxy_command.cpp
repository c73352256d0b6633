// The main window's "Proxy settings..." command.
#include "mainwindow/corvale_dlg.h"
#include "proxy/process_proxy.h"
#include "proxy/proxy_edit_dlg.h"

void CCorvaleDlg::OnProxySettings() {
    ProxyEditDlg dialog(this);
    if (dialog.DoModal() == IDOK) ApplyProxySettings();
}
