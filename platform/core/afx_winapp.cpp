// The application object's life and the process entry.
#include "afx/wnd.h"
#include "crt/crt.h"

namespace {
CWinApp* currentApp = nullptr;
int waitCursorCount = 0;

std::u16string ExecutableBaseName() {
    char16_t path[MAX_PATH] = {};
    if (!GetModuleFileNameW(nullptr, path, MAX_PATH)) return {};
    std::u16string name(path);
    auto slash = name.find_last_of(u"\\/");
    if (slash != std::u16string::npos) name.erase(0, slash + 1);
    auto dot = name.rfind(u'.');
    if (dot != std::u16string::npos && dot > 0) name.erase(dot);
    return name;
}
}  // namespace

CWinApp::CWinApp(LPCWSTR appName) {
    currentApp = this;
    exeName_ = ExecutableBaseName();
    appName_ = appName ? std::u16string(appName) : exeName_;
    m_pszAppName = appName_.c_str();
    m_pszExeName = exeName_.c_str();
    m_hInstance = GetModuleHandleW(nullptr);
}

CWinApp::~CWinApp() {
    if (currentApp == this) currentApp = nullptr;
}

// Registration for restart by the system has no counterpart on this desktop; the flags
// are kept for the program to read.
BOOL CWinApp::InitInstance() { return TRUE; }

int CWinApp::ExitInstance() { return m_exitCode; }

CWinApp* AfxGetApp() { return currentApp; }
HINSTANCE AfxGetInstanceHandle() { return GetModuleHandleW(nullptr); }
HINSTANCE AfxGetResourceHandle() { return GetModuleHandleW(nullptr); }

// Hosting of controls is always available in this layer.
void AfxEnableControlContainer() {}

void CMFCVisualManager::SetDefaultManager(const char*) {}
void ControlBarCleanUp() {}

void CCmdTarget::BeginWaitCursor() {
    if (waitCursorCount++ == 0) SetCursor(LoadCursorW(nullptr, IDC_WAIT_W()));
}

void CCmdTarget::EndWaitCursor() {
    if (waitCursorCount == 0) return;
    if (--waitCursorCount == 0) SetCursor(LoadCursorW(nullptr, IDC_ARROW_W()));
}

int AfxWinMain(int argc, char** argv) {
    AfxSetArguments(argc, argv);
    CWinApp* app = AfxGetApp();
    if (!app) return 1;
    if (!app->InitInstance()) return app->ExitInstance();
    // A program that keeps running after InitInstance has no loop of its own to run here:
    // all of this program's windows run their own modal loops.
    return app->ExitInstance();
}
