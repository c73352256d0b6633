// AfxMessageBox: the framework's box for the application's own messages.
#include "afx/wnd.h"

int AfxMessageBox(LPCWSTR text, UINT type, UINT) {
    if ((type & MB_ICONMASK) == 0) {
        UINT buttons = type & MB_TYPEMASK;
        if (buttons == MB_OK || buttons == MB_OKCANCEL) type |= MB_ICONEXCLAMATION;
        else if (buttons == MB_YESNO || buttons == MB_YESNOCANCEL) type |= MB_ICONQUESTION;
    }
    HWND owner = ::GetActiveWindow();
    CWinApp* app = AfxGetApp();
    if (!owner && app && app->m_pMainWnd) owner = app->m_pMainWnd->m_hWnd;
    LPCWSTR caption = app && app->m_pszAppName ? app->m_pszAppName : nullptr;
    return ::MessageBoxW(owner, text, caption, type);
}
