// The login dialog.
#include "hosting/login_dlg.h"

#include <cstring>

#include "com/com.h"
#include "crt/crt.h"

void CLoginDlg::DoDataExchange(CDataExchange* dx) {
    DDX_Text(dx, kPasswordEdit, password);
    DDX_Text(dx, kUserNameEdit, userName);
}

namespace {
// A task-memory copy of text, or null when the allocation fails.
char16_t* TaskCopy(const std::u16string& text) {
    std::size_t capacity = text.size() + 1;
    auto* copy = static_cast<char16_t*>(CoTaskMemAlloc(capacity * sizeof(char16_t)));
    if (copy && wcscpy_s(copy, capacity, text.c_str()) != 0) {
        CoTaskMemFree(copy);
        return nullptr;
    }
    return copy;
}
}  // namespace

HRESULT AuthenticateWithLoginDialog(HWND* window, char16_t** userName, char16_t** password) {
    CLoginDlg dialog;
    if (window) *window = nullptr;
    if (userName) *userName = nullptr;
    if (password) *password = nullptr;
    if (dialog.DoModal() != IDOK) return E_FAIL;
    if (dialog.userName.empty() || dialog.password.empty()) return E_FAIL;
    HRESULT result = S_OK;
    char16_t* user = TaskCopy(dialog.userName);
    if (!user) result = E_FAIL;
    char16_t* pass = TaskCopy(dialog.password);
    if (!pass) result = E_FAIL;
    if (userName) *userName = user;
    else CoTaskMemFree(user);
    if (password) *password = pass;
    else CoTaskMemFree(pass);
    return result;
}
