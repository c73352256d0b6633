// The mapping between Windows-style paths and the host's file system, used by every file
// call of the layer. Drive Z: is the host root ("Z:\\home\\u\\.config" is
// "/home/u/.config"); "\\" and "/" both separate; a path without a drive is relative to the
// working directory, and "\\x" without a drive starts at the root of the current drive,
// which is Z:. Other drives and network paths have no host equivalent.
#pragma once

#include <optional>
#include <string>
#include <string_view>

// The host path (UTF-8), or nullopt when the path names another drive, a network share,
// is empty or holds a null character. Repeated separators collapse; a trailing one is
// dropped except for the root itself.
std::optional<std::string> ToHostPath(std::u16string_view windowsPath);

// The Windows-style path: absolute host paths gain the drive Z:, separators become "\\".
std::u16string FromHostPath(std::string_view hostPath);
