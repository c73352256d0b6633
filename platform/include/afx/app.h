// The application framework's object model: objects, command targets, the application
// object with its command line and profile, and the process entry.
#pragma once

#include <memory>
#include <string>

#include "win32/api.h"

class CWnd;

class CObject {
public:
    virtual ~CObject() = default;
};

// Base of everything that receives commands; carries the wait cursor.
class CCmdTarget : public CObject {
public:
    void BeginWaitCursor();
    void EndWaitCursor();
};

// The framework's command-line parser. The application's own parser derives from it and
// sees every argument through ParseParam; the base records only what the framework uses.
class CCommandLineInfo : public CObject {
public:
    CCommandLineInfo() = default;
    ~CCommandLineInfo() override = default;
    virtual void ParseParam(const WCHAR* param, BOOL isFlag, BOOL isLast);

    // What the base parser kept (the program does not read it).
    std::u16string m_strFileName;
    bool m_bRestart = false;
    int m_nUnknownSwitches = 0;
};

class CWinApp : public CCmdTarget {
public:
    explicit CWinApp(LPCWSTR appName = nullptr);
    ~CWinApp() override;
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;

    virtual BOOL InitInstance();
    virtual int ExitInstance();

    // Walks the process arguments (argument 0 skipped); "/x" and "-x" reach ParseParam as
    // flag "x".
    void ParseCommandLine(CCommandLineInfo& info);

    // Profile: an INI file when m_pszProfileName is set, else the registry key chosen with
    // SetRegistryKey (HKEY_CURRENT_USER\Software\<key>\<application>\<section>).
    void SetRegistryKey(LPCWSTR key);
    void SetProfileName(LPCWSTR path);  // keeps a private copy
    UINT GetProfileIntW(LPCWSTR section, LPCWSTR entry, int defaultValue);
    BOOL WriteProfileInt(LPCWSTR section, LPCWSTR entry, int value);
    std::u16string GetProfileStringW(LPCWSTR section, LPCWSTR entry, LPCWSTR defaultValue = nullptr);
    BOOL WriteProfileStringW(LPCWSTR section, LPCWSTR entry, LPCWSTR value);

    LPCWSTR m_pszAppName = nullptr;      // the executable's name without extension by default
    LPCWSTR m_pszExeName = nullptr;
    LPCWSTR m_pszProfileName = nullptr;  // the INI file, or null
    LPCWSTR m_pszRegistryKey = nullptr;  // the registry fallback, or null
    CWnd* m_pMainWnd = nullptr;
    HINSTANCE m_hInstance = nullptr;
    DWORD m_dwRestartManagerSupportFlags = 0;
    int m_exitCode = 0;

private:
    std::u16string appName_, exeName_, profileName_, registryKey_;
};

constexpr DWORD AFX_RESTART_MANAGER_SUPPORT_RESTART = 0x01;

CWinApp* AfxGetApp();
HINSTANCE AfxGetInstanceHandle();
HINSTANCE AfxGetResourceHandle();
void AfxEnableControlContainer();

// Runs the application object: InitInstance, then ExitInstance when it returns FALSE.
// argv is the process's own argument vector in the host encoding.
int AfxWinMain(int argc, char** argv);

// The process arguments as UTF-16, kept for the life of the process (the C runtime's
// wide argument vector).
int AfxGetArgc();
const WCHAR* const* AfxGetArgv();
void AfxSetArguments(int argc, char** argv);

// Shell manager and visual manager: the framework's theming helpers. On this platform the
// desktop's own theme applies; the objects exist so that start-up reads as on any platform.
class CShellManager {
public:
    CShellManager() = default;
};
class CMFCVisualManager {
public:
    virtual ~CMFCVisualManager() = default;
    static void SetDefaultManager(const char* managerClass);
};
class CMFCVisualManagerWindows : public CMFCVisualManager {};
#define RUNTIME_CLASS(name) #name
void ControlBarCleanUp();
