// Where this module was loaded from, in the host's and in the program's (Windows) form.
#pragma once

#include <string>

namespace flash_module {

// The absolute host path of this module's file; empty when the loader cannot tell.
std::string ModuleHostPath();
// The folder part of a host path, without the trailing separator.
std::string FolderOf(const std::string& hostPath);
// A host path as the program names files: drive Z: is the host's root, "\\" separates.
std::u16string WindowsPath(const std::string& hostPath);

}  // namespace flash_module
