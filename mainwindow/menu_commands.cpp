// The main window's own menu commands: About, Exit, Refresh, Internet Options, zoom, clearing
// the browser's cookies and cache, the Logging switch and the logs folder.
#include "app/version_info.h"
#include "crt/crt.h"
#include "diagnostics/log_folder.h"
#include "diagnostics/log_writer.h"
#include "mainwindow/corvale_dlg.h"

using namespace mainwindow;

namespace {
constexpr const char16_t* kAboutCaption = u"Application Info";
constexpr const char16_t* kControlPanelLibrary = u"Shell32.dll";
constexpr const char* kControlPanelEntry = "Control_RunDLLW";
constexpr const char16_t* kInternetOptionsArgument = u"inetcpl.cpl,,0";
constexpr const char16_t* kCacheClearingProgram = u"rundll32.exe";
constexpr const char16_t* kClearCookiesArguments = u"InetCpl.cpl,ClearMyTracksByProcess 2";
constexpr const char16_t* kClearTemporaryFilesArguments = u"InetCpl.cpl,ClearMyTracksByProcess 8";
constexpr BYTE kDigitZero = 0x30;

using ControlRunDllFunction = void (*)(HWND window, HINSTANCE instance, LPCWSTR command, int show);

// Ctrl with the key, as the user would type it: the keys go to whichever window has the
// focus once the menu has closed, and the browser's own handling zooms when it is the page.
void SendControlChord(BYTE key) {
    keybd_event(static_cast<BYTE>(VK_CONTROL), 0, 0, 0);
    keybd_event(key, 0, 0, 0);
    keybd_event(static_cast<BYTE>(VK_CONTROL), 0, KEYEVENTF_KEYUP, 0);
    keybd_event(key, 0, KEYEVENTF_KEYUP, 0);
}
}  // namespace

void CCorvaleDlg::OnAbout() {
    std::u16string version = GetVersionString(u"ProductVersion");
    std::u16string product = GetVersionString(u"ProductName");
    std::u16string text = crt_wformat(u"%s\r\nVersion: %s", product.c_str(), version.c_str());
    MessageBox(text.c_str(), kAboutCaption, MB_ICONINFORMATION | MB_OK);
}

void CCorvaleDlg::OnExit() {
    // At once: the window is not closed first. Every log line is already on disk.
    crt_exit(0);
}

void CCorvaleDlg::OnRefresh() {
    if (m_pBrowserApp) m_pBrowserApp->Refresh();
}

void CCorvaleDlg::OnInternetOptions() {
    // The library stays loaded for the rest of the process.
    HMODULE shell = LoadLibraryW(kControlPanelLibrary);
    if (!shell) return;
    FARPROC entry = GetProcAddress(shell, kControlPanelEntry);
    if (!entry) return;
    auto runControlPanel = reinterpret_cast<ControlRunDllFunction>(entry);
    runControlPanel(m_hWnd, AfxGetInstanceHandle(), kInternetOptionsArgument, SW_SHOW);
}

void CCorvaleDlg::OnZoomIn() { SendControlChord(static_cast<BYTE>(VK_OEM_PLUS)); }
void CCorvaleDlg::OnZoomOut() { SendControlChord(static_cast<BYTE>(VK_OEM_MINUS)); }
void CCorvaleDlg::OnActualSize() { SendControlChord(kDigitZero); }

void CCorvaleDlg::OnLogging() {
    HMENU menu = ::GetMenu(m_hWnd);
    if (!menu) return;
    // The check mark decides the direction of the switch.
    DWORD previous = ::CheckMenuItem(menu, ID_LOGGING, MF_BYCOMMAND | MF_UNCHECKED);
    if (previous == MF_CHECKED) {
        SetLoggingEnabled(false);
        return;
    }
    ::CheckMenuItem(menu, ID_LOGGING, MF_BYCOMMAND | MF_CHECKED);
    SetLoggingEnabled(true);
}

void CCorvaleDlg::OnClearCache() {
    // Cookies first, then the temporary files; neither is waited for.
    ::ShellExecuteW(nullptr, u"open", kCacheClearingProgram, kClearCookiesArguments, nullptr, SW_SHOWNORMAL);
    ::ShellExecuteW(nullptr, u"open", kCacheClearingProgram, kClearTemporaryFilesArguments, nullptr, SW_SHOWNORMAL);
}

void CCorvaleDlg::OnOpenLogsFolder() {
    // Makes the folder chain on first use, whether logging is on or off.
    std::u16string folder = GetLogFolder();
    ::ShellExecuteW(m_hWnd, u"open", folder.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}
