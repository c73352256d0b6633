// The Compatibility commands: the document mode the browser engine is to use from the next
// start on. The running browser keeps its mode.
#include "mainwindow/browser_emulation.h"
#include "mainwindow/corvale_dlg.h"

using namespace mainwindow;

namespace {
constexpr const char16_t* kRestartNotice = u"New setting will take affect after restarting the application";
}

void CCorvaleDlg::OnCompatibility(UINT id) {
    DWORD previous = emulationMode;
    emulationMode = EmulationValueOf(id);
    if (emulationMode == previous) return;  // the same choice again changes nothing
    WriteBrowserEmulation(emulationMode);
    if (HMENU menu = ::GetMenu(m_hWnd)) {
        for (UINT command = ID_COMPATIBILITY_FIRST; command <= ID_COMPATIBILITY_LAST; ++command)
            ::CheckMenuItem(menu, command, MF_BYCOMMAND | (command == id ? MF_CHECKED : MF_UNCHECKED));
    }
    CWinApp* app = AfxGetApp();
    ::MessageBoxW(nullptr, kRestartNotice, app ? app->m_pszAppName : nullptr, MB_ICONINFORMATION | MB_OK);
}
