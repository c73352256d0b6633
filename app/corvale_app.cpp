// Start-up: command line, settings location, COM, the Flash control, the main window.
#include "app/corvale_app.h"

#include <cstdint>
#include <string>

#include "app/command_line.h"
#include "app/version_info.h"
#include "afx/file.h"
#include "com/com.h"
#include "crt/crt.h"
#include "diagnostics/log_writer.h"
#include "mainwindow/corvale_dlg.h"

using namespace startup;

std::u16string startup::ExeNameOf(const std::u16string& internalName) {
    return internalName.size() > 4 ? internalName.substr(0, internalName.size() - 4) : std::u16string();
}

namespace {
using LocalRegisterFunction = std::int32_t (*)(std::int32_t);
using RegisterServerFunction = std::int32_t (*)();

// Creates one settings directory; an existing one is fine. CreateDirectoryW reports a file
// of that name as existing too, and settings kept under a file would be lost: a path that
// opens as a file is no directory.
bool MakeSettingsDirectory(const std::u16string& path) {
    if (CreateDirectoryW(path.c_str(), nullptr)) return true;
    if (GetLastError() != ERROR_ALREADY_EXISTS) return false;
    std::u16string folder = path;
    while (!folder.empty() && folder.back() == u'\\') folder.pop_back();
    CStdioFile file;
    return !file.Open(folder.c_str(), CStdioFile::modeRead | CStdioFile::shareDenyNone);
}

// The settings file: application data, CompanyName, ExeName, "AppSettings.ini". Returns
// false when there is no such file to use: no application-data folder, a settings folder
// that can neither be made nor exists, or a path that does not fit MAX_PATH. The registry
// then keeps the settings, so that bookmarks and the proxy choice still last.
bool LocateSettings(CWinApp& app) {
    char16_t appData[MAX_PATH] = {};
    if (FAILED(SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, appData))) return false;
    std::u16string path(appData);
    path += u"\\" + GetVersionString(u"CompanyName");
    if (!MakeSettingsDirectory(path)) return false;
    path += u"\\" + ExeNameOf(GetVersionString(u"InternalName")) + u"\\";
    if (!MakeSettingsDirectory(path)) return false;
    path += kSettingsFileName;
    if (path.size() >= MAX_PATH) return false;
    app.SetProfileName(path.c_str());
    return true;
}

// The Flash module's path: the program's own folder (with its backslash) and the module's
// name, in a buffer of MAX_PATH characters. Empty when the path is unknown or does not fit.
std::u16string FlashModulePath() {
    char16_t self[MAX_PATH] = {};
    DWORD length = GetModuleFileNameW(nullptr, self, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return {};
    std::u16string folder(self);
    auto slash = folder.rfind(u'\\');
    folder = slash == std::u16string::npos ? std::u16string() : folder.substr(0, slash + 1);
    char16_t path[MAX_PATH] = {};
    if (swprintf_s(path, MAX_PATH, kFlashModulePattern, folder.c_str()) < 0) return {};
    return path;
}

bool ActivateFlash(const std::u16string& modulePath, bool systemWide) {
    if (modulePath.empty()) return false;
    HMODULE module = LoadLibraryW(modulePath.c_str());  // never unloaded
    if (!module) return false;
    if (systemWide) {
        auto reg = reinterpret_cast<RegisterServerFunction>(GetProcAddress(module, kRegisterServerExport));
        return reg && reg() == S_OK;
    }
    auto local = reinterpret_cast<LocalRegisterFunction>(GetProcAddress(module, kLocalRegisterExport));
    return local && local(0) > 0;
}
}  // namespace

CCorvaleApp::CCorvaleApp() : CWinApp(nullptr) { m_dwRestartManagerSupportFlags = AFX_RESTART_MANAGER_SUPPORT_RESTART; }

CCorvaleApp::~CCorvaleApp() = default;

BOOL CCorvaleApp::InitInstance() {
    INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);
    CWinApp::InitInstance();
    AfxEnableControlContainer();
    auto* shellManager = new CShellManager;
    CMFCVisualManager::SetDefaultManager(RUNTIME_CLASS(CMFCVisualManagerWindows));

    CCmdLineParams params;
    ParseCommandLine(params);

    if (!LocateSettings(*this)) SetRegistryKey(kRegistryFallbackKey);

    if (CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED) != S_OK) {
        delete shellManager;
        DestroyActiveLog();
        return FALSE;
    }

    HKEY flashKey = nullptr;
    bool systemWide = false;
    if (RegOpenKeyExW(HKEY_CLASSES_ROOT, kFlashClassKey, 0, KEY_READ, &flashKey) == ERROR_SUCCESS) {
        char16_t value[MAX_PATH] = {};
        DWORD size = sizeof(value);
        RegQueryValueExW(flashKey, nullptr, nullptr, nullptr, reinterpret_cast<BYTE*>(value), &size);
    } else {
        flashKey = nullptr;
        if (params.registerSystemWide) systemWide = true;
        else MessageBoxW(nullptr, kFlashNotRegisteredWarning, m_pszAppName, MB_ICONWARNING);
    }

    bool activated = ActivateFlash(FlashModulePath(), systemWide);

    if (!params.registerSystemWide) {
        if (!activated) {
            MessageBoxW(nullptr, kFatalMessage, kFatalCaption, MB_ICONERROR);
        } else {
            CCorvaleDlg window(params.fullScreen);
            m_pMainWnd = &window;
            if (params.startUrl) window.startUrl = params.startUrl;
            window.enableLogging = params.enableLogging;
            window.DoModal();
            m_pMainWnd = nullptr;
        }
    }

    delete shellManager;
    ControlBarCleanUp();
    DestroyActiveLog();
    if (flashKey) RegCloseKey(flashKey);
    return FALSE;
}
