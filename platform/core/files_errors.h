// Translation of host error numbers into the Windows error codes the callers expect.
#pragma once

#include <string>

#include "win32/types.h"

constexpr DWORD ERROR_GEN_FAILURE = 31;
constexpr DWORD ERROR_DISK_FULL = 112;

// missingIs: the code for ENOENT, which Windows splits into a missing file
// (ERROR_FILE_NOT_FOUND) and a missing folder on the way (ERROR_PATH_NOT_FOUND).
DWORD Win32ErrorFromErrno(int error, DWORD missingIs = ERROR_PATH_NOT_FOUND);

// The error for a file that open() did not find: ERROR_PATH_NOT_FOUND when its folder is
// missing as well, else ERROR_FILE_NOT_FOUND.
DWORD MissingFileError(const std::string& hostPath);
