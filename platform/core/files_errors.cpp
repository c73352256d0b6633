#include "files_errors.h"

#include <sys/stat.h>

#include <cerrno>

DWORD Win32ErrorFromErrno(int error, DWORD missingIs) {
    switch (error) {
        case 0: return ERROR_SUCCESS;
        case ENOENT: return missingIs;
        case ENOTDIR: return ERROR_PATH_NOT_FOUND;
        case EEXIST: return ERROR_ALREADY_EXISTS;
        case EACCES:
        case EPERM:
        case EROFS:
        case EISDIR: return ERROR_ACCESS_DENIED;
        case ENAMETOOLONG: return ERROR_FILENAME_EXCED_RANGE;
        case ENOSPC:
        case EDQUOT: return ERROR_DISK_FULL;
        case ENOMEM: return ERROR_NOT_ENOUGH_MEMORY;
        case EINVAL: return ERROR_INVALID_PARAMETER;
        case EBADF: return ERROR_INVALID_HANDLE;
        default: return ERROR_GEN_FAILURE;
    }
}

DWORD MissingFileError(const std::string& hostPath) {
    const auto slash = hostPath.find_last_of('/');
    const std::string folder = slash == std::string::npos ? "." : (slash == 0 ? "/" : hostPath.substr(0, slash));
    struct stat info {};
    return (::stat(folder.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) ? ERROR_FILE_NOT_FOUND : ERROR_PATH_NOT_FOUND;
}
