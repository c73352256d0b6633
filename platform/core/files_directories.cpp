// CreateDirectoryW over the host's mkdir.
#include <sys/stat.h>

#include <cerrno>

#include "crt/crt.h"
#include "files_errors.h"
#include "paths.h"
#include "win32/api.h"

BOOL CreateDirectoryW(LPCWSTR path, LPSECURITY_ATTRIBUTES) {
    if (path == nullptr) {
        SetLastError(ERROR_PATH_NOT_FOUND);
        return FALSE;
    }
    const std::size_t length = wcslen(path);
    if (length >= MAX_PATH) {
        SetLastError(ERROR_FILENAME_EXCED_RANGE);
        return FALSE;
    }
    const auto hostPath = ToHostPath(std::u16string_view(path, length));
    if (!hostPath) {
        SetLastError(ERROR_PATH_NOT_FOUND);
        return FALSE;
    }
    if (::mkdir(hostPath->c_str(), 0777) != 0) {
        SetLastError(Win32ErrorFromErrno(errno));
        return FALSE;
    }
    return TRUE;
}
