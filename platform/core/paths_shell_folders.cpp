// SHGetFolderPathW: the roaming application-data folder is the user's configuration folder.
#include <sys/stat.h>

#include <cerrno>
#include <filesystem>
#include <system_error>

#include "paths.h"
#include "paths_config_home.h"
#include "win32/api.h"

namespace {

constexpr int kFolderFlagsMask = 0xFF00;  // CSIDL_FLAG_CREATE and its siblings

// On Windows the folder always exists; a fresh host account may not have it yet. The
// base-directory rules ask for mode 0700 when it is made.
bool EnsureFolder(const std::string& hostPath) {
    std::error_code error;
    if (std::filesystem::is_directory(hostPath, error)) return true;
    std::filesystem::create_directories(hostPath, error);
    if (error) return false;
    ::chmod(hostPath.c_str(), 0700);
    return std::filesystem::is_directory(hostPath, error);
}

}  // namespace

HRESULT SHGetFolderPathW(HWND, int folder, void*, DWORD, LPWSTR path) {
    if (path == nullptr || (folder & ~kFolderFlagsMask) != CSIDL_APPDATA) return E_INVALIDARG;
    path[0] = u'\0';

    const auto hostFolder = UserConfigHome();
    if (!hostFolder) return E_FAIL;
    const std::u16string windowsPath = FromHostPath(*hostFolder);
    if (windowsPath.size() >= MAX_PATH || !EnsureFolder(*hostFolder)) return E_FAIL;
    windowsPath.copy(path, windowsPath.size());
    path[windowsPath.size()] = u'\0';
    return S_OK;
}
